#include "probes/HtmlTags.h"

#include <array>

namespace friendlinks {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isAsciiAlnum(QChar c)
{
    return isAsciiLetter(c) || (c.unicode() >= '0' && c.unicode() <= '9');
}

// Elements whose body is text up to their own end tag.
bool isRawTextElement(QStringView name)
{
    static const std::array<QLatin1StringView, 8> kRawText = {
        QLatin1StringView("script"), QLatin1StringView("style"),   QLatin1StringView("title"),
        QLatin1StringView("textarea"), QLatin1StringView("xmp"),   QLatin1StringView("iframe"),
        QLatin1StringView("noembed"), QLatin1StringView("noframes"),
    };
    for (const QLatin1StringView raw : kRawText) {
        if (name.compare(raw, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

struct NamedReference {
    QLatin1StringView name;
    char16_t character;
    bool legacy; // also understood without the ";"
};

constexpr std::array<NamedReference, 9> kNamedReferences = {{
    {QLatin1StringView("amp"), u'&', true},
    {QLatin1StringView("lt"), u'<', true},
    {QLatin1StringView("gt"), u'>', true},
    {QLatin1StringView("quot"), u'"', true},
    {QLatin1StringView("nbsp"), 0xA0, true},
    {QLatin1StringView("apos"), u'\'', false},
    {QLatin1StringView("colon"), u':', false},
    {QLatin1StringView("sol"), u'/', false},
    {QLatin1StringView("period"), u'.', false},
}};

void appendCodePoint(QString &out, char32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = kReplacement;
    out.append(QString::fromUcs4(&code, 1));
}

// Reads a numeric reference at text[at] == '#'; returns the end, or -1.
qsizetype numericReference(QStringView text, qsizetype at, QString &out)
{
    qsizetype i = at + 1;
    const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
    if (hex)
        ++i;
    const qsizetype digitsStart = i;
    char32_t code = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        int digit = -1;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (hex && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (hex && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        if (digit < 0)
            break;
        code = code > 0x10FFFF ? code : code * (hex ? 16 : 10) + char32_t(digit);
    }
    if (i == digitsStart)
        return -1;
    appendCodePoint(out, code);
    return i < text.size() && text[i] == u';' ? i + 1 : i;
}

// Reads a named reference at text[at] (just after "&"); returns the end, or -1.
qsizetype namedReference(QStringView text, qsizetype at, QString &out)
{
    qsizetype end = at;
    while (end < text.size() && isAsciiAlnum(text[end]))
        ++end;
    const QStringView name = text.sliced(at, end - at);
    const bool semicolon = end < text.size() && text[end] == u';';
    for (const NamedReference &ref : kNamedReferences) {
        if (name != ref.name)
            continue;
        if (semicolon) {
            out.append(QChar(ref.character));
            return end + 1;
        }
        // Without ";" only the old names count, and in an attribute not when "=" follows.
        if (ref.legacy && !(end < text.size() && text[end] == u'=')) {
            out.append(QChar(ref.character));
            return end;
        }
        return -1;
    }
    return -1;
}

// Reads tags from an HTML text, one at a time, from left to right.
class TagReader {
public:
    explicit TagReader(QStringView html) : m_html(html) {}

    enum class Step { StartTag, EndTag, Text, End };

    // Moves to the next token: a start tag (its name in name(), its
    // attributes read next by readAttributes()), an end tag (name() too, its
    // attributes already passed over), a run of text (in text()), or the end.
    // Comments, doctypes and the bodies of raw-text elements are passed over.
    Step next()
    {
        while (true) {
            if (!m_rawEnd.isEmpty())
                skipRawText();
            if (m_at >= m_html.size())
                return Step::End;
            const qsizetype lt = m_html.indexOf(u'<', m_at);
            if (lt != m_at) {
                const qsizetype end = lt < 0 ? m_html.size() : lt;
                m_text = m_html.sliced(m_at, end - m_at);
                m_at = end;
                return Step::Text;
            }
            if (lt + 1 >= m_html.size()) {
                m_text = m_html.sliced(lt);
                m_at = m_html.size();
                return Step::Text;
            }
            m_at = lt + 1;
            const QChar next = m_html[m_at];
            if (next == u'!') {
                skipMarkupDeclaration();
            } else if (next == u'/') {
                if (skipEndTag())
                    return Step::EndTag;
            } else if (next == u'?') {
                skipPast(u'>');
            } else if (isAsciiLetter(next)) {
                readName();
                return Step::StartTag;
            } else {
                m_text = m_html.sliced(lt, 1); // anything else after "<" is text
                return Step::Text;
            }
        }
    }

    // Moves to the next start tag and returns true with its name in name();
    // false at the end of the text.
    bool nextStartTag()
    {
        while (true) {
            const Step step = next();
            if (step == Step::StartTag)
                return true;
            if (step == Step::End)
                return false;
        }
    }

    [[nodiscard]] QStringView text() const { return m_text; }

    [[nodiscard]] QStringView name() const { return m_html.sliced(m_nameStart, m_nameEnd - m_nameStart); }

    // Reads the attributes of the tag just found (into tag when given) up to
    // its ">". False when the text ends first: the tag does not count.
    bool readAttributes(HtmlStartTag *tag)
    {
        while (true) {
            while (m_at < m_html.size() && (isSpace(m_html[m_at]) || m_html[m_at] == u'/'))
                ++m_at;
            if (m_at >= m_html.size())
                return false;
            if (m_html[m_at] == u'>') {
                ++m_at;
                if (isRawTextElement(name()))
                    m_rawEnd = name().toString();
                else if (name().compare(QLatin1StringView("plaintext"), Qt::CaseInsensitive) == 0)
                    m_at = m_html.size();
                return true;
            }
            const qsizetype nameStart = m_at;
            ++m_at; // a first "=" belongs to the name
            while (m_at < m_html.size() && !isSpace(m_html[m_at]) && m_html[m_at] != u'/' && m_html[m_at] != u'>'
                   && m_html[m_at] != u'=')
                ++m_at;
            const QStringView attributeName = m_html.sliced(nameStart, m_at - nameStart);
            QStringView value;
            qsizetype after = m_at;
            while (after < m_html.size() && isSpace(m_html[after]))
                ++after;
            if (after < m_html.size() && m_html[after] == u'=') {
                m_at = after + 1;
                while (m_at < m_html.size() && isSpace(m_html[m_at]))
                    ++m_at;
                if (m_at >= m_html.size())
                    return false;
                const QChar quote = m_html[m_at];
                if (quote == u'"' || quote == u'\'') {
                    const qsizetype close = m_html.indexOf(quote, m_at + 1);
                    if (close < 0)
                        return false;
                    value = m_html.sliced(m_at + 1, close - m_at - 1);
                    m_at = close + 1;
                } else {
                    const qsizetype start = m_at;
                    while (m_at < m_html.size() && !isSpace(m_html[m_at]) && m_html[m_at] != u'>')
                        ++m_at;
                    value = m_html.sliced(start, m_at - start);
                }
            }
            if (tag)
                addAttribute(*tag, attributeName, value);
        }
    }

private:
    static void addAttribute(HtmlStartTag &tag, QStringView name, QStringView value)
    {
        const QString lower = name.toString().toLower();
        for (const HtmlAttribute &existing : tag.attributes) {
            if (existing.name == lower)
                return;
        }
        tag.attributes.append({lower, value.toString(), decodeCharacterReferences(value)});
    }

    void skipPast(QChar c)
    {
        const qsizetype at = m_html.indexOf(c, m_at);
        m_at = at < 0 ? m_html.size() : at + 1;
    }

    // At "!": a comment "<!-- ... -->" (also "<!-->" and "--!>" endings), else up to ">".
    void skipMarkupDeclaration()
    {
        if (!m_html.sliced(m_at).startsWith(QLatin1StringView("!--"))) {
            skipPast(u'>');
            return;
        }
        qsizetype at = m_at + 3;
        if (at < m_html.size() && m_html[at] == u'>') {
            m_at = at + 1;
            return;
        }
        if (m_html.sliced(at).startsWith(QLatin1StringView("->"))) {
            m_at = at + 2;
            return;
        }
        while (true) {
            const qsizetype dashes = m_html.indexOf(QLatin1StringView("--"), at);
            if (dashes < 0) {
                m_at = m_html.size();
                return;
            }
            const QStringView rest = m_html.sliced(dashes + 2);
            if (rest.startsWith(u'>')) {
                m_at = dashes + 3;
                return;
            }
            if (rest.startsWith(QLatin1StringView("!>"))) {
                m_at = dashes + 4;
                return;
            }
            at = dashes + 1;
        }
    }

    void readName()
    {
        m_nameStart = m_at;
        while (m_at < m_html.size() && !isSpace(m_html[m_at]) && m_html[m_at] != u'/' && m_html[m_at] != u'>')
            ++m_at;
        m_nameEnd = m_at;
    }

    // At "/": an end tag reads its attributes like a start tag (true, its name
    // in name()); "</" + other is a bogus comment (false).
    bool skipEndTag()
    {
        ++m_at;
        if (m_at < m_html.size() && isAsciiLetter(m_html[m_at])) {
            readName();
            const qsizetype nameStart = m_nameStart;
            const qsizetype nameEnd = m_nameEnd;
            m_nameStart = m_nameEnd = m_at; // no name while reading: an end tag never opens raw text
            const bool complete = readAttributes(nullptr);
            m_nameStart = nameStart;
            m_nameEnd = nameEnd;
            if (!complete) {
                m_at = m_html.size();
                return false;
            }
            return true;
        }
        skipPast(u'>');
        return false;
    }

    // Skips the body of a raw-text element up to "</name" followed by a blank, "/" or ">".
    void skipRawText()
    {
        const QString closing = QStringLiteral("</") + m_rawEnd;
        m_rawEnd.clear();
        qsizetype at = m_at;
        while (true) {
            const qsizetype found = m_html.indexOf(closing, at, Qt::CaseInsensitive);
            if (found < 0) {
                m_at = m_html.size();
                return;
            }
            const qsizetype after = found + closing.size();
            if (after >= m_html.size() || isSpace(m_html[after]) || m_html[after] == u'/' || m_html[after] == u'>') {
                m_at = found;
                return;
            }
            at = after;
        }
    }

    QStringView m_html;
    qsizetype m_at = 0;
    qsizetype m_nameStart = 0;
    qsizetype m_nameEnd = 0;
    QString m_rawEnd; // the raw-text element whose body comes next
    QStringView m_text;
};

bool isWanted(QStringView name, const QList<QLatin1StringView> &wanted)
{
    for (const QLatin1StringView w : wanted) {
        if (name.compare(w, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

const HtmlAttribute *HtmlStartTag::attribute(QLatin1StringView attributeName) const
{
    for (const HtmlAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a;
    }
    return nullptr;
}

void forEachStartTag(QStringView html, const QList<QLatin1StringView> &wanted,
                     const std::function<void(const HtmlStartTag &)> &visit)
{
    TagReader reader(html);
    while (reader.nextStartTag()) {
        const QStringView name = reader.name();
        if (!isWanted(name, wanted)) {
            if (!reader.readAttributes(nullptr))
                return;
            continue;
        }
        HtmlStartTag tag;
        tag.name = name.toString().toLower();
        if (!reader.readAttributes(&tag))
            return;
        visit(tag);
    }
}

void forEachToken(QStringView html, const QList<QLatin1StringView> &withAttributes,
                  const std::function<void(const HtmlToken &)> &visit)
{
    TagReader reader(html);
    while (true) {
        HtmlToken token;
        switch (reader.next()) {
        case TagReader::Step::End:
            return;
        case TagReader::Step::Text:
            token.text = reader.text();
            break;
        case TagReader::Step::EndTag:
            token.kind = HtmlToken::Kind::EndTag;
            token.tag.name = reader.name().toString().toLower();
            break;
        case TagReader::Step::StartTag:
            token.kind = HtmlToken::Kind::StartTag;
            token.tag.name = reader.name().toString().toLower();
            if (!reader.readAttributes(isWanted(token.tag.name, withAttributes) ? &token.tag : nullptr))
                return;
            break;
        }
        visit(token);
    }
}

std::optional<HtmlStartTag> firstStartTag(QStringView html)
{
    TagReader reader(html);
    if (!reader.nextStartTag())
        return std::nullopt;
    HtmlStartTag tag;
    tag.name = reader.name().toString().toLower();
    if (!reader.readAttributes(&tag))
        return std::nullopt;
    return tag;
}

QString decodeCharacterReferences(QStringView text)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (amp >= 0) {
        out.append(text.sliced(from, amp - from));
        qsizetype end = -1;
        if (amp + 1 < text.size())
            end = text[amp + 1] == u'#' ? numericReference(text, amp + 1, out) : namedReference(text, amp + 1, out);
        if (end < 0) {
            out.append(u'&');
            end = amp + 1;
        }
        from = end;
        amp = text.indexOf(u'&', from);
    }
    out.append(text.sliced(from));
    return out;
}

} // namespace friendlinks
