#include "probes/ModernBackLink.h"

#include "probes/HtmlTags.h"
#include "probes/LinkFacts.h"

namespace friendlinks {

QString comparableSiteHost(const QString &enteredSite)
{
    QString site = enteredSite.trimmed();
    if (!site.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        && !site.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        site.prepend(QLatin1String("http://"));
    return siteHost(site);
}

bool linksBackToHost(const QString &anchor, const QString &host)
{
    if (host.isEmpty() || anchor.isEmpty())
        return false;
    QString href;
    bool found = false;
    forEachStartTag(anchor, {QLatin1StringView("a")}, [&](const HtmlStartTag &tag) {
        if (found)
            return;
        if (const HtmlAttribute *attribute = tag.attribute(QLatin1StringView("href"))) {
            href = attribute->value.trimmed();
            found = true;
        }
    });
    return found && siteHost(href) == host;
}

BackLinkScan scanModernBackLinks(const QString &page, const QString &host)
{
    return scanBackLinksWhere(page, [&host](const QString &anchor) { return linksBackToHost(anchor, host); });
}

} // namespace friendlinks
