#include "probes/ModernBackLink.h"

#include "probes/LinkFacts.h"
#include "probes/PageScan.h"
#include "probes/ScriptLinks.h"
#include "probes/SiteDomain.h"

#include <QUrl>

namespace friendlinks {
namespace {

QString registrableDomainOf(const QString &address)
{
    return registrableDomain(QUrl(address).host());
}

// Keeps a page's links back as candidates, and what the page loads.
class BackLinkReader final : public PageVisitor {
public:
    BackLinkReader(ModernBackLinkScan &scan, QString host, const QString &pageAddress)
        : m_scan(scan), m_host(std::move(host)), m_site(registrableDomainOf(pageAddress))
    {
    }

    void begin(const QString &baseAddress) override { m_base = baseAddress; }

    void anchor(PageAnchor &&anchor, const QList<StyledElement> &chain) override
    {
        ++m_scan.links;
        if (siteHost(anchor.address) != m_host)
            return;
        ++m_scan.backLinks;
        QList<BackLinkCandidate> &kept = m_scan.candidates;
        const bool first = kept.isEmpty();
        if (kept.size() < kMaxBackLinkCandidates && (first || (anchor.follow && !anchor.hidden)))
            kept << BackLinkCandidate{std::move(anchor), chain};
    }

    void startTag(const HtmlStartTag &tag) override
    {
        PageResources &found = m_scan.resources;
        if (tag.name == QLatin1String("link") && relHas(tag, QLatin1String("stylesheet"))
            && m_sheets < kMaxPageStyleSheets) {
            if (const QString address = sameSiteAddress(tag, "href"); !address.isEmpty()) {
                found.styles << StyleSource{{}, address};
                ++m_sheets;
            }
        } else if (tag.name == QLatin1String("script") && found.scripts.size() < kMaxPageScripts) {
            if (const QString address = sameSiteAddress(tag, "src"); !address.isEmpty())
                found.scripts << address;
        } else if ((tag.name == QLatin1String("iframe") || tag.name == QLatin1String("frame"))
                   && found.frames.size() < kMaxPageFrames) {
            if (const QString address = sameSiteAddress(tag, "src"); !address.isEmpty())
                found.frames << address;
        }
    }

    void rawText(const QString &element, QStringView body) override
    {
        PageResources &found = m_scan.resources;
        if (element == QLatin1String("style")) {
            const qsizetype room = kStyleSheetMaxChars - m_styleChars;
            if (room > 0) {
                found.styles << StyleSource{body.left(room).toString(), {}};
                m_styleChars += found.styles.last().text.size();
            }
        } else if (element == QLatin1String("script") && found.inlineScriptLink.isEmpty()
                   && m_scriptChars < kScriptMaxChars) {
            found.inlineScriptLink = scriptLinkTo(body.left(kScriptMaxChars - m_scriptChars), m_base, m_host);
            m_scriptChars += body.size();
        }
    }

private:
    static bool relHas(const HtmlStartTag &tag, QLatin1String word)
    {
        const HtmlAttribute *rel = tag.attribute(QLatin1StringView("rel"));
        return rel && rel->value.toLower().simplified().split(u' ').contains(word);
    }

    // The address the attribute names, resolved, when it is on the page's own site; else empty.
    QString sameSiteAddress(const HtmlStartTag &tag, const char *attribute) const
    {
        const HtmlAttribute *value = tag.attribute(QLatin1StringView(attribute));
        if (!value || m_site.isEmpty())
            return {};
        const QString address = resolveLinkAddress(m_base, value->value);
        return !address.isEmpty() && registrableDomainOf(address) == m_site ? address : QString();
    }

    ModernBackLinkScan &m_scan;
    QString m_host;
    QString m_site; // the page's own registrable domain
    QString m_base;
    qsizetype m_sheets = 0;
    qsizetype m_styleChars = 0;
    qsizetype m_scriptChars = 0;
};

} // namespace

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
    BackLinkReader reader(scan, host, pageAddress);
    readPage(page, pageAddress, reader);
    StyleRules rules;
    for (const StyleSource &source : std::as_const(scan.resources.styles)) {
        if (source.address.isEmpty())
            rules.addStyleSheet(source.text);
    }
    judgeBackLinks(scan, rules, pageNofollow);
    return scan;
}

void judgeBackLinks(ModernBackLinkScan &scan, const StyleRules &rules, bool pageNofollow)
{
    scan.anchor.reset();
    scan.passes = false;
    scan.hiddenBy.reset();
    for (const BackLinkCandidate &candidate : std::as_const(scan.candidates)) {
        const PageAnchor &anchor = candidate.anchor;
        // Its own hidden or display:none is read without the rules, as before there were any.
        const std::optional<HiddenBy> hidden = anchor.hidden ? std::nullopt : rules.hiddenBy(candidate.chain);
        const bool passes = !pageNofollow && anchor.follow && !anchor.hidden && !hidden;
        if (!scan.anchor || passes) {
            scan.anchor = anchor;
            scan.hiddenBy = hidden;
        }
        if (passes) {
            scan.passes = true;
            return;
        }
    }
}

} // namespace friendlinks
