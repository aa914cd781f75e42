#include "probes/ModernBackLink.h"

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

ModernBackLinkScan scanModernBackLinks(QStringView page, const QString &pageAddress, const QString &host,
                                       bool pageNofollow)
{
    ModernBackLinkScan scan;
    if (host.isEmpty())
        return scan;
    for (PageAnchor &anchor : readPageAnchors(page, pageAddress)) {
        if (siteHost(anchor.address) != host)
            continue;
        const bool passes = !pageNofollow && anchor.follow && !anchor.hidden;
        if (!scan.anchor)
            scan.anchor = anchor;
        if (passes)
            return {std::move(anchor), true};
    }
    return scan;
}

} // namespace friendlinks
