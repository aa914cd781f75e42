#include "probes/ScriptLinks.h"

#include "probes/LinkFacts.h"
#include "probes/LinkAddress.h"

namespace friendlinks {
namespace {

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The number written in hex digits text[from, from + count), or -1.
qint64 hexNumber(QStringView text, qsizetype from, qsizetype count)
{
    if (count <= 0 || count > 6 || from + count > text.size())
        return -1;
    qint64 value = 0;
    for (qsizetype at = from; at < from + count; ++at) {
        const int digit = hexValue(text[at]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

void appendCodePoint(QString &out, qint64 code)
{
    if (code > 0x10FFFF)
        return;
    const char32_t point = char32_t(code);
    out += QString::fromUcs4(&point, 1);
}

bool isHostStart(QChar c)
{
    return c.isLetterOrNumber() || c == u'[';
}

// Where an address starting at "//" (at) ends: at a quote, a blank, markup or a script's punctuation.
qsizetype addressEnd(QStringView text, qsizetype at)
{
    static const QStringView kEnds = u"\"'`<>()[]{},;+\\|^ ";
    while (at < text.size() && text[at].unicode() > 0x20 && !kEnds.contains(text[at]))
        ++at;
    return at;
}

// Where the address whose "//" stands at slashes starts, or -1 when what
// comes before is no scheme and no place an address starts ("a//b").
qsizetype addressStart(QStringView text, qsizetype slashes)
{
    if (slashes > 0 && text[slashes - 1] == u':') {
        qsizetype at = slashes - 1;
        while (at > 0 && text[at - 1].isLetter() && text[at - 1].unicode() < 0x80)
            --at;
        const QStringView scheme = text.sliced(at, slashes - 1 - at);
        if (scheme.compare(QLatin1StringView("http"), Qt::CaseInsensitive) == 0
            || scheme.compare(QLatin1StringView("https"), Qt::CaseInsensitive) == 0)
            return at;
        return -1;
    }
    if (slashes == 0)
        return 0;
    static const QStringView kBefore = u"\"'`=( ";
    return kBefore.contains(text[slashes - 1]) || text[slashes - 1].unicode() < 0x20 ? slashes : -1;
}

} // namespace

QString withScriptEscapesRead(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c != u'\\' || at + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar kind = text[at + 1];
        qint64 code = -1;
        qsizetype length = 0; // of the escape after the backslash
        if (kind == u'x') {
            code = hexNumber(text, at + 2, 2);
            length = 3;
        } else if (kind == u'u' && at + 2 < text.size() && text[at + 2] == u'{') {
            const qsizetype close = text.indexOf(u'}', at + 3);
            if (close > 0 && close - (at + 3) <= 6) {
                code = hexNumber(text, at + 3, close - (at + 3));
                length = close - at;
            }
        } else if (kind == u'u') {
            code = hexNumber(text, at + 2, 4);
            length = 5;
        } else {
            out += kind; // "\/", "\'", "\\" ...
            ++at;
            continue;
        }
        if (code < 0) {
            out += c; // cut off or not hex: as written
            continue;
        }
        appendCodePoint(out, code);
        at += length;
    }
    return out;
}

QString scriptLinkTo(QStringView script, const QString &baseAddress, const QString &host)
{
    if (host.isEmpty())
        return {};
    const QString text = withScriptEscapesRead(script.left(kScriptMaxChars));
    const QStringView view(text);
    for (qsizetype slashes = view.indexOf(QLatin1StringView("//")); slashes >= 0;
         slashes = view.indexOf(QLatin1StringView("//"), slashes + 2)) {
        if (slashes + 2 >= view.size() || !isHostStart(view[slashes + 2]))
            continue;
        const qsizetype start = addressStart(view, slashes);
        if (start < 0)
            continue;
        const qsizetype end = addressEnd(view, slashes + 2);
        const QString address = resolveLinkAddress(baseAddress, view.sliced(start, end - start));
        if (!address.isEmpty() && siteHost(address) == host)
            return address;
    }
    return {};
}

} // namespace friendlinks
