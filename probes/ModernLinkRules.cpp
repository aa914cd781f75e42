#include "probes/ModernLinkRules.h"

#include <QStringList>

namespace friendlinks {
namespace {

const QStringList kIndexFiles = {
    QStringLiteral("/index.html"), QStringLiteral("/index.htm"),    QStringLiteral("/index.php"),
    QStringLiteral("/index.asp"),  QStringLiteral("/index.aspx"),   QStringLiteral("/index.jsp"),
    QStringLiteral("/default.html"), QStringLiteral("/default.htm"), QStringLiteral("/default.asp"),
    QStringLiteral("/default.aspx"),
};
const QStringList kRegistrationHosts = {QStringLiteral("miit.gov.cn"), QStringLiteral("beian.gov.cn")};
const QStringList kRegistrationWords = {QStringLiteral("备案"), QStringLiteral("公网安备")};

bool isUnder(const QString &host, const QString &domain)
{
    return host == domain || host.endsWith(QLatin1Char('.') + domain);
}

} // namespace

bool isHomePagePath(QStringView path)
{
    if (path.isEmpty() || path == u"/")
        return true;
    for (const QString &file : kIndexFiles) {
        if (path.compare(file, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isRegistrationLink(const QString &host, const QString &text)
{
    const QString lower = host.toLower();
    for (const QString &domain : kRegistrationHosts) {
        if (isUnder(lower, domain))
            return true;
    }
    for (const QString &word : kRegistrationWords) {
        if (text.contains(word))
            return true;
    }
    return false;
}

} // namespace friendlinks
