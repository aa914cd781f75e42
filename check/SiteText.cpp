#include "check/SiteText.h"

#include "check/TextEscape.h"
#include "web/PageFetcher.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace friendlinks {
namespace {

// The scheme a text starts with, or empty: "www.a.com:8080/" is a host and a port.
QString schemeOf(const QString &text)
{
    static const QRegularExpression kScheme(QStringLiteral(R"(^([A-Za-z][A-Za-z0-9+.\-]*):(?!\d+(?:[/?#]|$)|$))"));
    return kScheme.match(text).captured(1);
}

// Where the host (with user and port) starts: after "scheme://", if any.
qsizetype authorityStart(const QString &text)
{
    const QString scheme = schemeOf(text);
    return !scheme.isEmpty() && QStringView(text).mid(scheme.size()).startsWith(QLatin1String("://")) ? scheme.size() + 3 : 0;
}

// Where the host (with user and port) ends.
qsizetype authorityEnd(const QString &text)
{
    qsizetype end = authorityStart(text);
    while (end < text.size() && !QStringLiteral("/?#").contains(text[end]))
        ++end;
    return end;
}

// A site as an error echoes it: cut, so that a 5 MB line is not written back whole.
QString echoed(const QString &site)
{
    constexpr qsizetype kMaxEcho = 80;
    return site.size() > kMaxEcho ? site.left(kMaxEcho) + QStringLiteral("…") : site;
}

// The port a site names after its host, when it names one.
std::optional<qint64> namedPort(const QString &site)
{
    const qsizetype start = authorityStart(site);
    const QString authority = site.mid(start, authorityEnd(site) - start).section(QLatin1Char('@'), -1);
    static const QRegularExpression kPort(QStringLiteral(R"(:(\d+)$)"));
    const QRegularExpressionMatch match = kPort.match(authority);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).size() > 6 ? 999999 : match.captured(1).toLongLong();
}

} // namespace

QString siteProblem(const QString &text)
{
    const QString site = text.trimmed();
    if (site.isEmpty())
        return text.isEmpty() ? QStringLiteral("the site is empty") : QStringLiteral("the site is blank");
    for (const QChar c : site) {
        if (isUnsafeForDisplay(c.unicode()))
            return QStringLiteral("site \"%1\" holds a control character").arg(echoed(site));
    }
    if (site.startsWith(QLatin1Char('-')))
        return QStringLiteral("\"%1\" is no option and no site").arg(echoed(site));
    if (const QString scheme = schemeOf(site); !scheme.isEmpty()
        && scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) != 0
        && scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("site \"%1\": only http and https addresses can be checked, not %2:").arg(echoed(site), scheme);
    if (const std::optional<qint64> port = namedPort(site); port && (*port < 1 || *port > 65535))
        return QStringLiteral("site \"%1\": the port must be from 1 to 65535").arg(echoed(site));
    const QUrl url(PageFetcher::withScheme(site));
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("site \"%1\" names no host").arg(echoed(site));
    return {};
}

bool hasUpperCaseHost(const QString &text)
{
    const QString site = text.trimmed();
    const qsizetype start = authorityStart(site);
    const QString host = site.mid(start, authorityEnd(site) - start).section(QLatin1Char('@'), -1);
    return std::any_of(host.begin(), host.end(), [](QChar c) { return c.isUpper(); });
}

QString withLowerCaseHost(const QString &text)
{
    const QString site = text.trimmed();
    const qsizetype end = authorityEnd(site);
    return site.left(end).toLower() + site.mid(end);
}

QString siteOfLine(const QString &line)
{
    static const QRegularExpression kComment(QStringLiteral(R"((^|\s)#.*$)"));
    return QString(line).remove(kComment).trimmed();
}

SiteList readSiteList(const QString &text)
{
    SiteList list;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString site = siteOfLine(lines[i]);
        if (site.isEmpty())
            continue;
        if (const QString problem = siteProblem(site); !problem.isEmpty()) {
            list.problem = problem;
            list.problemLine = int(i + 1);
            list.sites.clear();
            return list;
        }
        list.sites << site;
    }
    return list;
}

QString sitesFileProblem(const QByteArray &bytes)
{
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains('\0'))
            return QStringLiteral("line %1 holds a NUL byte").arg(i + 1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(lines[i]);
        if (decoder.hasError())
            return QStringLiteral("line %1 is not UTF-8").arg(i + 1);
    }
    return {};
}

} // namespace friendlinks
