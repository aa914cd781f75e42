#pragma once

#include "check/Columns.h"
#include "check/RowValues.h"
#include "probes/BaiduState.h"
#include "probes/LinkFacts.h"
#include "web/FetchResult.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

namespace friendlinks {

// The Baidu side of a row's facts.
struct BaiduFacts {
    BaiduState state = BaiduState::Unreachable;
    std::optional<QString> count; // today's count phrase, digits and commas, as Baidu wrote it
    IndexPages pages;             // the row's index count: count's number, else the number the shoulu cell shows
    RankVerdict rank = RankVerdict::Unknown; // what the rp cell says
    // When Baidu gave the answer the row took, if it was an earlier check's
    // (--baidu-max-age, or Baidu blocking); UTC, whole seconds. Invalid: asked now.
    QDateTime cachedAt;
    bool operator==(const BaiduFacts &) const = default;
};

// What the friend's robots.txt says about Baidu's spider and the friend's page.
struct RobotsFacts {
    std::optional<bool> baiduspiderAllowed; // none: unknown (a 5xx answer, or none at all)
    QString rule; // the rule that decided ("Disallow: /"); empty when none did
    bool operator==(const RobotsFacts &) const = default;
};

// The friend's page as Baidu's spider is answered (fetched with its User-Agent).
struct SpiderViewFacts {
    int status = 0;                 // 0 when no answer came
    std::optional<bool> backlink;   // whether it links back; none when the page was not read
    bool operator==(const SpiderViewFacts &) const = default;
};

// What a webmaster judges a link exchange by, beside the six cells: read from
// the two fetches the row already makes (the friend's page, one Baidu answer).
// An empty optional is a fact that could not be known (the page was not read,
// Baidu not yet asked).
struct RowFacts {
    int status = 0;          // HTTP status of the friend's page; 0 when no answer came
    QString finalUrl;        // where the page was read from, after redirects
    qint64 ms = 0;           // from sending to the end of the answer (or the time-out)
    std::optional<BackLinkFacts> backlink; // the anchor that decided the back-link cell
    std::optional<bool> pageNofollow;
    std::optional<int> outbound;
    std::optional<BaiduFacts> baidu;
    QString tlsError;        // certificate trouble of the friend's page in Qt's words; empty when none
    std::optional<BackLinkFacts> ourLink; // the checked site's own anchor to this friend, read at the harvest
    BackLinkVerdict backlinkVerdict = BackLinkVerdict::Unknown; // what the fanlian cell says
    std::optional<RobotsFacts> robots;         // none: not asked
    std::optional<SpiderViewFacts> spiderView; // none: not fetched (a classic check without --spider-check)
    bool operator==(const RowFacts &) const = default;
};

// The page facts of a friend's fetch: link is the row's address. The back link
// and Baidu stay unknown; the check fills them in later.
[[nodiscard]] RowFacts pageFacts(const FetchResult &page, const QString &link);

// The Baidu facts of one answer; cellsFilled tells whether the cells were read from it.
[[nodiscard]] BaiduFacts baiduFacts(const FetchResult &answer, bool cellsFilled);

// Whether the browser's fetch and the spider's disagree about the link back;
// none when either was not read (or the spider not asked). A jump link is not
// a link the spider's view compares.
[[nodiscard]] std::optional<bool> spiderHidden(const RowFacts &facts);

// The fact columns that --facts and the window add after the six, in order
// (the row schema's facts that have a column, check/RowSchema).
enum class FactColumn { status, finalUrl, ms, backlinkNofollow, pageNofollow, outbound, baiduState, baiduCount,
                        ourNofollow, robotsBlocked, spiderHidden, jumpVia, backlinkWhere, backlinkHiddenBy };
inline constexpr int kFactColumnCount = int(FactColumn::backlinkHiddenBy) + 1;

struct FactColumnInfo {
    FactColumn column;
    QString header;
    QString toolTip; // one line: what the column means
    int widthPixels; // at 96 dpi
};

[[nodiscard]] const std::array<FactColumnInfo, kFactColumnCount> &factColumns();

// One fact as a cell: "是"/"否" for yes-or-no facts, empty when unknown; red
// for a nofollow back link, a nofollow page, a blocked Baidu and our own nofollow link.
[[nodiscard]] Cell factCell(const RowFacts &facts, FactColumn column);

} // namespace friendlinks
