#include "web/CodePageDecoding.h"

#include "web/Gb18030Tables.h"

#include <QByteArray>

#include <windows.h>

#include <algorithm>
#include <climits>

namespace friendlinks {
namespace {

bool in(unsigned char c, unsigned char low, unsigned char high)
{
    return c >= low && c <= high;
}

// How a code page's characters are built from bytes. MultiByteToWideChar is
// only given whole, well-formed characters: what it does with malformed ones
// differs between Windows versions (and Wine), ours does not. GB18030 goes
// through code page 936 rather than 54936, which Wine lacks: the one reads
// GB18030's one- and two-byte codes but for a few (Gb18030Tables), and the
// four-byte codes are worked out here; so Windows and Wine read alike.
enum class Shape { SingleByte, Gb18030, Big5, ShiftJis, EucKr };

struct CodePage {
    UINT id;
    Shape shape;
};

struct Name {
    const char *name;
    CodePage page;
};

// Lower-case names as pages declare them; browsers read GB2312 and GBK as
// GB18030 before they get here.
constexpr Name kNames[] = {
    {"gb18030", {936, Shape::Gb18030}},
    {"big5", {950, Shape::Big5}},
    {"big5-hkscs", {950, Shape::Big5}},
    {"x-x-big5", {950, Shape::Big5}},
    {"cn-big5", {950, Shape::Big5}},
    {"csbig5", {950, Shape::Big5}},
    {"shift_jis", {932, Shape::ShiftJis}},
    {"shift-jis", {932, Shape::ShiftJis}},
    {"sjis", {932, Shape::ShiftJis}},
    {"x-sjis", {932, Shape::ShiftJis}},
    {"ms_kanji", {932, Shape::ShiftJis}},
    {"csshiftjis", {932, Shape::ShiftJis}},
    {"windows-31j", {932, Shape::ShiftJis}},
    {"euc-kr", {949, Shape::EucKr}},
    {"cseuckr", {949, Shape::EucKr}},
    {"ks_c_5601-1987", {949, Shape::EucKr}},
    {"windows-949", {949, Shape::EucKr}},
    {"korean", {949, Shape::EucKr}},
    {"windows-1250", {1250, Shape::SingleByte}},
    {"windows-1251", {1251, Shape::SingleByte}},
    {"windows-1252", {1252, Shape::SingleByte}},
    {"windows-1253", {1253, Shape::SingleByte}},
    {"windows-1254", {1254, Shape::SingleByte}},
    {"windows-1255", {1255, Shape::SingleByte}},
    {"windows-1256", {1256, Shape::SingleByte}},
    {"windows-1257", {1257, Shape::SingleByte}},
    {"windows-1258", {1258, Shape::SingleByte}},
    {"koi8-r", {20866, Shape::SingleByte}},
    {"koi8-u", {21866, Shape::SingleByte}},
    {"iso-8859-2", {28592, Shape::SingleByte}},
    {"iso-8859-5", {28595, Shape::SingleByte}},
    {"iso-8859-7", {28597, Shape::SingleByte}},
    {"iso-8859-15", {28605, Shape::SingleByte}},
};

const CodePage *codePageFor(QByteArrayView charset)
{
    const QByteArray name = charset.toByteArray().toLower();
    for (const Name &entry : kNames) {
        if (name == entry.name)
            return &entry.page;
    }
    return nullptr;
}

struct Unit {
    enum Kind { ByCodePage, Direct, Malformed };
    qsizetype length; // bytes it spans
    Kind kind;
    char32_t direct = 0; // the character of a Direct unit
};

bool isLead(Shape shape, unsigned char c)
{
    return shape == Shape::ShiftJis ? in(c, 0x81, 0x9F) || in(c, 0xE0, 0xFC) : in(c, 0x81, 0xFE);
}

bool isTrail(Shape shape, unsigned char c)
{
    switch (shape) {
    case Shape::Gb18030:
        return in(c, 0x40, 0x7E) || in(c, 0x80, 0xFE);
    case Shape::Big5:
        return in(c, 0x40, 0x7E) || in(c, 0xA1, 0xFE);
    case Shape::ShiftJis:
        return in(c, 0x40, 0x7E) || in(c, 0x80, 0xFC);
    case Shape::EucKr:
        return in(c, 0x41, 0x5A) || in(c, 0x61, 0x7A) || in(c, 0x81, 0xFE);
    case Shape::SingleByte:
        break;
    }
    return false;
}

// The character that starts at b[i] (i < n) of a multi-byte code page.
Unit unitAt(Shape shape, const unsigned char *b, qsizetype n, qsizetype i)
{
    const unsigned char c = b[i];
    if (c < 0x80)
        return {1, Unit::ByCodePage};
    if (!isLead(shape, c)) // half-width katakana stand alone
        return {1, shape == Shape::ShiftJis && in(c, 0xA1, 0xDF) ? Unit::ByCodePage : Unit::Malformed};
    if (i + 1 == n)
        return {1, Unit::Malformed};
    const unsigned char second = b[i + 1];
    if (isTrail(shape, second)) {
        if (shape == Shape::Gb18030) {
            if (const char16_t changed = gb18030::twoByteChange(c, second))
                return {2, Unit::Direct, changed};
        }
        return {2, Unit::ByCodePage};
    }
    if (shape == Shape::Gb18030 && in(second, 0x30, 0x39)) {
        if (i + 3 < n && in(b[i + 2], 0x81, 0xFE) && in(b[i + 3], 0x30, 0x39)) {
            const char32_t character = gb18030::fourByte(b + i);
            return {4, character ? Unit::Direct : Unit::Malformed, character};
        }
        return {1, Unit::Malformed}; // the digit is read again on its own
    }
    return {second < 0x80 ? 1 : 2, Unit::Malformed};
}

constexpr char32_t kReplacement = 0xFFFD;

// Converts well-formed characters; 0 when one of them has no mapping.
int convert(UINT codePage, DWORD flags, const unsigned char *from, qsizetype length, QChar *to, qsizetype room)
{
    return MultiByteToWideChar(codePage, flags, reinterpret_cast<const char *>(from), static_cast<int>(length),
                               reinterpret_cast<wchar_t *>(to), static_cast<int>(std::min<qsizetype>(room, INT_MAX)));
}

class MultiByteReader {
public:
    MultiByteReader(const CodePage &page, QByteArrayView body)
        : m_page(page), m_bytes(reinterpret_cast<const unsigned char *>(body.data())), m_size(body.size())
    {
    }

    QString read()
    {
        // No character gives more UTF-16 units than it has bytes, so the text
        // is written straight into one buffer of the body's size.
        QString text(m_size, Qt::Uninitialized);
        m_out = text.data();
        m_end = m_out + m_size;
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < m_size;) {
            if (m_bytes[i] < 0x80 && i - runStart < kMaxRun) {
                ++i; // ASCII, most of a page's bytes, stays in the run
                continue;
            }
            const Unit unit = unitAt(m_page.shape, m_bytes, m_size, i);
            if (unit.kind == Unit::ByCodePage && i - runStart < kMaxRun) {
                i += unit.length;
                continue;
            }
            flushRun(runStart, i);
            if (unit.kind != Unit::ByCodePage) {
                write(unit.kind == Unit::Direct ? unit.direct : kReplacement);
                i += unit.length;
            }
            runStart = i;
        }
        flushRun(runStart, m_size);
        text.truncate(m_out - text.constData());
        return text;
    }

private:
    static constexpr qsizetype kMaxRun = INT_MAX / 4;

    const CodePage &m_page;
    const unsigned char *m_bytes;
    qsizetype m_size;
    QChar *m_out = nullptr;
    const QChar *m_end = nullptr;

    void write(char32_t character)
    {
        for (const QChar unit : QChar::fromUcs4(character))
            *m_out++ = unit;
    }

    // A run of well-formed characters in one call; if some character in it
    // has no mapping, character by character, U+FFFD for those without.
    void flushRun(qsizetype from, qsizetype to)
    {
        if (from == to)
            return;
        if (const int written = convert(m_page.id, MB_ERR_INVALID_CHARS, m_bytes + from, to - from, m_out, m_end - m_out)) {
            m_out += written;
            return;
        }
        for (qsizetype i = from; i < to;) {
            const qsizetype length = unitAt(m_page.shape, m_bytes, m_size, i).length;
            const int written = convert(m_page.id, MB_ERR_INVALID_CHARS, m_bytes + i, length, m_out, m_end - m_out);
            m_out += written;
            if (written == 0)
                write(kReplacement);
            i += length;
        }
    }
};

} // namespace

std::optional<QString> decodeWithCodePage(QByteArrayView body, QByteArrayView charset)
{
    const CodePage *page = codePageFor(charset);
    if (!page || !IsValidCodePage(page->id))
        return std::nullopt;
    if (body.isEmpty())
        return QString();
    if (page->shape != Shape::SingleByte)
        return MultiByteReader(*page, body).read();
    // Every byte of these pages is one character; a byte a page leaves
    // undefined comes out as the control of the same number, as browsers show it.
    QString text(body.size(), Qt::Uninitialized);
    for (qsizetype at = 0; at < body.size();) {
        const qsizetype length = std::min<qsizetype>(body.size() - at, INT_MAX / 2);
        const auto *bytes = reinterpret_cast<const unsigned char *>(body.data()) + at;
        if (convert(page->id, 0, bytes, length, text.data() + at, length) != length)
            return std::nullopt;
        at += length;
    }
    return text;
}

} // namespace friendlinks
