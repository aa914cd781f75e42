#include "web/BodyDecoding.h"

#include "web/CodePageDecoding.h"

#include <QStringDecoder>

#include <cstring>

namespace friendlinks {
namespace {

constexpr quint64 kHighBits = 0x8080808080808080ULL; // the top bit of each of eight bytes

// The end of the longest prefix of body that ends in three ASCII bytes (or
// 0): a GB18030 sequence is at most four bytes and starts at a byte >= 0x80,
// so none runs across that point.
qsizetype cleanEnd(QByteArrayView body)
{
    qsizetype ascii = 0;
    for (qsizetype i = body.size(); i > 0; --i) {
        ascii = static_cast<unsigned char>(body[i - 1]) < 0x80 ? ascii + 1 : 0;
        if (ascii == 3)
            return i + 2;
    }
    return 0;
}

} // namespace

bool IsUtf8(QByteArrayView body)
{
    const auto *b = reinterpret_cast<const unsigned char *>(body.data());
    const qsizetype n = body.size();
    if (n < 3)
        return false;
    if (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return true;

    qsizetype i = 0;
    qsizetype ascii = 0;
    while (i < n) {
        const unsigned char c = b[i];
        if (c < 0x80) {
            // Runs of ASCII are the common case on real pages: take them eight bytes at a time.
            ++i;
            ++ascii;
            quint64 word = 0;
            while (i + 8 <= n && (std::memcpy(&word, b + i, 8), (word & kHighBits) == 0)) {
                i += 8;
                ascii += 8;
            }
        } else if ((c & 0xE0) == 0xC0 && i + 1 < n && (b[i + 1] & 0xC0) == 0x80) {
            i += 2;
        } else if (i + 2 < n) {
            if ((c & 0xF0) == 0xE0 && (b[i + 1] & 0xC0) == 0x80 && (b[i + 2] & 0xC0) == 0x80)
                i += 3;
            else
                return false;
        } else {
            return false;
        }
    }
    return ascii != n;
}

QString DecodeBody(QByteArrayView body)
{
    // Both decoders turn invalid sequences into U+FFFD and never read past the end.
    // ConvertInitialBom: the decoder keeps the mark and we drop exactly one (it
    // used to drop one itself and the line below a second: U+FEFF U+FEFF gave "").
    const auto flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    QString text;
    if (IsUtf8(body)) {
        QStringDecoder decoder(QStringDecoder::Utf8, flags);
        text = decoder.decode(body);
    } else if (QStringDecoder decoder("GB18030", flags); decoder.isValid()) {
        // The GB18030 decoder silently drops a sequence cut off at the end of
        // the body ("\x89" gave an empty page). A line feed is never part of a
        // multi-byte sequence: behind it the cut sequence comes out as U+FFFD.
        // Only the tail after the last three ASCII bytes (no sequence spans
        // them) is copied to add it; the rest is decoded in place.
        const qsizetype clean = cleanEnd(body);
        QByteArray tail = body.sliced(clean).toByteArray();
        tail.append('\n');
        text.resize(decoder.requiredSpace(body.size() + 1));
        QChar *end = decoder.appendToBuffer(text.data(), body.first(clean));
        end = decoder.appendToBuffer(end, tail);
        text.truncate(end - text.constData());
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
    } else if (std::optional<QString> decoded = decodeWithCodePage(body, "gb18030")) {
        text = std::move(*decoded); // Windows: Qt has no GB18030 decoder there
    } else {
        text = QString::fromLatin1(body);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace friendlinks
