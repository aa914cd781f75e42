#include "web/BodyDecoding.h"

#include <QStringDecoder>

#include <cstring>

namespace friendlinks {
namespace {

constexpr quint64 kHighBits = 0x8080808080808080ULL; // the top bit of each of eight bytes

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
    const bool utf8 = IsUtf8(body);
    // Both decoders turn invalid sequences into U+FFFD and never read past the end.
    // ConvertInitialBom: the decoder keeps the mark and we drop exactly one (it
    // used to drop one itself and the line below a second: U+FEFF U+FEFF gave "").
    const auto flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder decoder = utf8 ? QStringDecoder(QStringDecoder::Utf8, flags)
                                  : QStringDecoder("GB18030", flags);
    QString text;
    if (!decoder.isValid()) {
        text = QString::fromLatin1(body);
    } else if (utf8) {
        text = decoder.decode(body);
    } else {
        // The GB18030 decoder silently drops a sequence cut off at the end of
        // the body ("\x89" gave an empty page). A line feed is never part of a
        // multi-byte sequence: behind it the cut sequence comes out as U+FFFD.
        QByteArray terminated = body.toByteArray();
        terminated.append('\n');
        text = decoder.decode(terminated);
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace friendlinks
