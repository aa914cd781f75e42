#include "probes/LinkAddress.h"

#include <QRegularExpression>
#include <QUrl>

namespace friendlinks {
namespace {

bool isScheme(QStringView text)
{
    const auto letter = [](char16_t u) { return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'); };
    if (text.isEmpty() || !letter(text[0].unicode()))
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!letter(u) && !(u >= '0' && u <= '9') && u != '+' && u != '-' && u != '.')
            return false;
    }
    return true;
}

// An address in the http or https scheme with its slashes as a browser reads
// them: any number after the scheme count as two ("http:///c.com/" is
// "http://c.com/"), and so does none in another scheme than the base's, while
// "http:x" on an http page is a relative address.
QString withSchemeSlashes(const QString &address, const QString &baseScheme)
{
    const qsizetype colon = address.indexOf(u':');
    if (colon < 0)
        return address;
    if (!isScheme(QStringView(address).left(colon))) {
        // No scheme but a path whose first part holds ":" (" http://x/" with a no-break space).
        static const QRegularExpression kPathStart(QStringLiteral("[/?#]"));
        const qsizetype end = address.indexOf(kPathStart);
        return end >= 0 && end < colon ? address : QStringLiteral("./") + address;
    }
    const QString scheme = address.left(colon).toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return address;
    qsizetype at = colon + 1;
    while (at < address.size() && address[at] == u'/')
        ++at;
    if (at == colon + 1 && scheme == baseScheme)
        return address.sliced(at);
    return scheme + QLatin1String("://") + address.sliced(at);
}

} // namespace

QString resolveLinkAddress(const QString &base, QStringView href)
{
    // As browsers take an address: ASCII blanks and controls around it dropped
    // (a no-break space is part of it), tabs and line breaks inside it too, a
    // backslash read as a slash.
    qsizetype from = 0;
    qsizetype to = href.size();
    while (from < to && href[from].unicode() <= 0x20)
        ++from;
    while (to > from && href[to - 1].unicode() <= 0x20)
        --to;
    QString cleaned;
    cleaned.reserve(to - from);
    for (const QChar c : href.sliced(from, to - from)) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        cleaned += c == u'\\' ? QChar(u'/') : c;
    }
    const QUrl baseUrl(base, QUrl::TolerantMode);
    QUrl absolute = baseUrl.adjusted(QUrl::RemoveFragment); // an empty href is the page itself
    if (!cleaned.isEmpty()) {
        const QUrl relative(withSchemeSlashes(cleaned, baseUrl.scheme().toLower()), QUrl::TolerantMode);
        if (!relative.isValid())
            return {};
        absolute = relative.isRelative() ? baseUrl.resolved(relative) : relative;
    }
    const QString scheme = absolute.scheme().toLower();
    if (!absolute.isValid() || absolute.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    if (absolute.port() == (scheme == QLatin1String("http") ? 80 : 443))
        absolute.setPort(-1); // a browser writes the address without its scheme's own port
    if (absolute.path().isEmpty())
        absolute.setPath(QStringLiteral("/")); // and with the root's "/"
    return absolute.toString();
}

} // namespace friendlinks
