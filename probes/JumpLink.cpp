#include "probes/JumpLink.h"

#include "probes/SiteDomain.h"

#include <QByteArray>
#include <QRegularExpression>

namespace friendlinks {
namespace {

// A value decoded this many times over at most: an address encoded twice is common, more is not.
constexpr int kDecodeRounds = 3;
// Longer query values are not read as addresses.
constexpr qsizetype kMaxValueLength = 4096;

QString plainHost(QString host)
{
    host = host.trimmed().toLower();
    while (host.endsWith(u'.'))
        host.chop(1);
    return host;
}

QString withoutWww(const QString &host)
{
    return host.startsWith(QLatin1String("www.")) ? host.sliced(4) : host;
}

// The host of our site as compared: lower-case ASCII, without "www.".
QString siteHost(const QUrl &site)
{
    return withoutWww(plainHost(site.host(QUrl::FullyEncoded)));
}

// True when value, read as an address with or without its scheme, is on our host.
bool namesHost(const QString &value, const QString &ourHost)
{
    QString candidate = value.trimmed();
    if (candidate.startsWith(QLatin1String("//")))
        candidate.prepend(QLatin1String("http:"));
    else if (!candidate.contains(QLatin1String("://")))
        candidate.prepend(QLatin1String("http://"));
    const QUrl url(candidate, QUrl::TolerantMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return false;
    return withoutWww(plainHost(url.host(QUrl::FullyEncoded))) == ourHost;
}

// The value's decoded form that names our host, or nothing.
std::optional<QString> ourAddressIn(const QString &rawValue, const QString &ourHost)
{
    if (rawValue.isEmpty() || rawValue.size() > kMaxValueLength)
        return std::nullopt;
    static const QRegularExpression kBase64(QStringLiteral("^[A-Za-z0-9+/_-]{8,}={0,2}$"));
    QString value = rawValue;
    for (int round = 0; round < kDecodeRounds; ++round) {
        QByteArray bytes = value.toUtf8();
        if (round == 0)
            bytes.replace('+', ' '); // a form's spelling of a blank
        const QString decoded = QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
        if (namesHost(decoded, ourHost))
            return decoded.trimmed();
        if (decoded == value)
            break;
        value = decoded;
    }
    if (kBase64.match(rawValue).hasMatch()) {
        // Either alphabet: "+/" or the address-safe "-_".
        for (const auto alphabet : {QByteArray::Base64Encoding, QByteArray::Base64UrlEncoding}) {
            const auto result = QByteArray::fromBase64Encoding(
                rawValue.toLatin1(), alphabet | QByteArray::AbortOnBase64DecodingErrors);
            if (!result)
                continue;
            const QString text = QString::fromUtf8(*result);
            if (text.contains(u'.') && namesHost(text, ourHost))
                return text.trimmed();
        }
    }
    return std::nullopt;
}

std::optional<JumpHost> friendSide(const QUrl &anchor, const QString &friendHost)
{
    const QString host = plainHost(anchor.host(QUrl::FullyEncoded));
    const QString friendPlain = plainHost(QUrl::fromUserInput(QLatin1String("http://") + friendHost.trimmed())
                                              .host(QUrl::FullyEncoded));
    if (host.isEmpty() || friendPlain.isEmpty())
        return std::nullopt;
    if (host == friendPlain)
        return JumpHost::SameHost;
    const QString domain = registrableDomain(host);
    if (!domain.isEmpty() && domain == registrableDomain(friendPlain))
        return JumpHost::SameSite;
    return std::nullopt;
}

bool joinsHost(QChar c)
{
    return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'-' || c == u'_');
}

// True when text holds host as a whole host name: on its left nothing that
// would make it longer ("ame.com") but "www."; on its right no further label
// ("me.com.cn"). Text in other scripts may touch it ("本站me.com").
bool holdsHost(QStringView text, const QString &host)
{
    if (host.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(host, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(host, at + 1, Qt::CaseInsensitive)) {
        bool leftOk = at == 0 || !joinsHost(text[at - 1]);
        if (at > 0 && text[at - 1] == u'.') {
            const qsizetype www = at - 4;
            leftOk = www >= 0 && text.sliced(www, 4).compare(QLatin1String("www."), Qt::CaseInsensitive) == 0
                     && (www == 0 || (!joinsHost(text[www - 1]) && text[www - 1] != u'.'));
        }
        const qsizetype end = at + host.size();
        const bool rightOk = end == text.size()
                             || (!joinsHost(text[end])
                                 && !(text[end] == u'.' && end + 1 < text.size() && joinsHost(text[end + 1])));
        if (leftOk && rightOk)
            return true;
    }
    return false;
}

} // namespace

std::optional<JumpLink> jumpLink(const QUrl &anchor, const QString &friendHost, const QUrl &ourSite)
{
    const QString ourHost = siteHost(ourSite);
    if (ourHost.isEmpty() || !anchor.isValid())
        return std::nullopt;
    const std::optional<JumpHost> on = friendSide(anchor, friendHost);
    if (!on || withoutWww(plainHost(anchor.host(QUrl::FullyEncoded))) == ourHost)
        return std::nullopt;
    const QString query = anchor.query(QUrl::FullyEncoded);
    if (query.isEmpty())
        return std::nullopt;
    if (const std::optional<QString> target = ourAddressIn(query, ourHost))
        return JumpLink{*on, {}, *target}; // "?http://www.me.com/?a=1": the whole query is our address
    for (const QStringView part : QStringView(query).split(u'&')) {
        const qsizetype equals = part.indexOf(u'=');
        const QString name = equals < 0 ? QString() : part.left(equals).toString();
        const QString value = (equals < 0 ? part : part.sliced(equals + 1)).toString();
        if (const std::optional<QString> target = ourAddressIn(value, ourHost))
            return JumpLink{*on, QString::fromUtf8(QByteArray::fromPercentEncoding(name.toUtf8())), *target};
    }
    return std::nullopt;
}

bool anchorNamesSite(QStringView text, QStringView title, const QUrl &ourSite, const QStringList &siteNames)
{
    const QString ascii = siteHost(ourSite);
    const QString unicode = withoutWww(plainHost(QUrl::fromAce(ascii.toLatin1())));
    for (const QStringView said : {text, title}) {
        if (holdsHost(said, ascii) || (unicode != ascii && holdsHost(said, unicode)))
            return true;
        for (const QString &name : siteNames) {
            const QString trimmed = name.trimmed();
            if (trimmed.size() >= 2 && said.contains(trimmed, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

} // namespace friendlinks
