#pragma once

#include "check/CheckRules.h"
#include "check/Columns.h"
#include "check/Harvest.h"
#include "probes/BaiduProbe.h"
#include "probes/BaiduState.h"
#include "probes/LinkFacts.h"
#include "probes/ModernBackLink.h"
#include "web/FetchResult.h"

#include <QString>

#include <memory>
#include <optional>

namespace friendlinks {

inline const QString kClassicModeName = QStringLiteral("classic");
inline const QString kModernModeName = QStringLiteral("modern");
// Modern mode's back-link cell for a page that answered an HTTP error status.
inline const QString kPageErrorCell = QStringLiteral("页面错误 HTTP %1");
// Modern mode's back-link cells for the links back a spider never sees or follows.
inline const QString kHiddenLinkCell = QStringLiteral("隐藏的链接");
inline const QString kScriptLinkCell = QStringLiteral("脚本写入的链接");
inline const QString kFrameLinkCell = QStringLiteral("框架页里的链接");
// Where the link back that decided was found (the fact backlink.where).
inline const QString kWherePage = QStringLiteral("page");
inline const QString kWhereScript = QStringLiteral("script");
inline const QString kWhereFrame = QStringLiteral("frame");

// What a modern page scan leaves for the files the page loads to be read
// (its style sheets, scripts and frames): the scan, and how it was judged.
struct ModernPageRead {
    ModernBackLinkScan scan;
    bool pageNofollow = false;
    bool tooLarge = false;   // the page passed the size cap
    QString pageAddress;     // where it was read from
};


// The back-link cell of a row, the anchor that decided it and what the cell says.
struct BackLinkJudgement {
    Cell cell;
    std::optional<BackLinkFacts> anchor; // none when no anchor decided or the page was not read
    BackLinkVerdict verdict = BackLinkVerdict::Unknown;
    std::shared_ptr<const ModernPageRead> modernRead = {}; // modern, a page read: for the files it loads
};

// The back-link cell of a modern scan of a page: the deciding anchor's text,
// red when it passes nothing, "隐藏的链接" when its ancestors or style rules hide it.
[[nodiscard]] BackLinkJudgement judgeModernScan(const ModernBackLinkScan &scan, bool tooLarge);

// The rules that differ between the classic check and the modern one, chosen
// once per check. Classic: "http://" friend links, a back link is an anchor
// holding the site's text, both read with the anchor pattern, the Baidu page
// of old. Modern: pages read as a browser reads them (readPageAnchors), https
// friend links too, a back link is an anchor whose href leads to the site's
// host in either scheme; an error page holds no link back, one that passes
// nothing (nofollow, hidden) is red; today's Baidu page when the old one is
// not found.
class CheckMode {
public:
    CheckMode(bool modern, const QString &site);

    [[nodiscard]] bool modern() const { return m_modern; }
    [[nodiscard]] QString name() const { return m_modern ? kModernModeName : kClassicModeName; }

    // The friend links of the site's home page; a modern check lists none from an error page.
    [[nodiscard]] Harvest harvestHome(const FetchResult &home, int maxLinks) const;
    // The back-link cell of the friend's page fetched for the row's address link.
    [[nodiscard]] BackLinkJudgement judgeBackLink(const FetchResult &page, const QString &link) const;
    [[nodiscard]] QString baiduQuery(const QString &baiduHost, const QString &link) const;
    [[nodiscard]] std::optional<BaiduResult> parseBaidu(const QString &page, const QString &link) const;
    // The Baidu cells of the parse; modern mode reds shoulu when Baidu indexes
    // nothing of the friend (no result, a count of 0) or answered a page it cannot read.
    [[nodiscard]] BaiduCells baiduCells(const std::optional<BaiduResult> &result, BaiduState state) const;

private:
    bool m_modern = false;
    QString m_site;     // as entered, trimmed
    QString m_needle;   // classic: the site's text the back link must hold
    QString m_siteHost; // modern: the host the back link's href must name
};

} // namespace friendlinks
