#pragma once

#include "check/HistoryStore.h"
#include "check/RowValues.h"
#include "check/SiteResult.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

namespace friendlinks {

// What a report of one site shows, gathered from its history: its latest
// recorded check, what changed since the check before it (and since when),
// each friend's index count over its recent checks, and what to tell the
// partners whose link back went wrong. Plain values: the HTML writer
// (check/HtmlReport) reads nothing else.

enum class ReportTone { Worse, Better, Neutral };

// One change of a row since the previous check, in the window's words
// (check/HistoryChanges' RowChange).
struct ReportChange {
    QString lianjie; // empty for the site itself
    QString code;  // SiteDiff's kChange… code
    QString label; // "反链丢失", "新增友链", "收录下降 35%", "加了 nofollow", …
    QString oldValue, newValue;
    ReportTone tone = ReportTone::Neutral;
    QDate since; // UTC day the new state began; invalid when not known
    bool operator==(const ReportChange &) const = default;
};

// A bad state of a row that began before the previous check and still holds.
struct ReportOngoing {
    QString lianjie;
    QString code;
    QString label;
    QDate since;
    bool operator==(const ReportOngoing &) const = default;
};

// One friend in one recorded check.
struct TrendPoint {
    QDate day;           // the check's UTC day
    IndexPages pages;    // the index count, none when Baidu gave none
    BackLinkVerdict backlink = BackLinkVerdict::Unknown;
    bool operator==(const TrendPoint &) const = default;
};

// A friend's recent history: one point for each of the site's recent checks,
// oldest first (a check without the friend: no count, Unknown).
struct FriendTrend {
    QString lianjie;
    QList<TrendPoint> points;
    bool operator==(const FriendTrend &) const = default;
};

// What to tell a partner about the link on its site to ours.
enum class NoticeKind {
    Fine,       // the link back passes weight
    Missing,    // its page was read and holds no link to us
    Nofollow,   // a link that passes nothing (nofollow, hidden)
    Unreadable, // its page could not be read
    NotChecked, // the check did not get to it
};

struct PartnerNotice {
    QString lianjie;
    QString anchor;   // our link's text for it (the guanjianzi cell)
    NoticeKind kind = NoticeKind::Fine;
    QDate since;      // the UTC day the state began, as far as the history reaches
    QString cellText; // the fanlian cell as the check wrote it
    bool operator==(const PartnerNotice &) const = default;
};

struct ReportData {
    QString site;
    qint64 checkId = 0;
    SiteResult latest;             // rows, cells and red flags as the window shows them, with its times
    int checks = 0;                // recorded checks of the site
    bool hasEarlier = false;       // a check before the latest is recorded
    QDateTime comparedWith;        // that check's start (UTC)
    QString summary;               // "与 12-01 相比：2 个反链丢失，1 个新增"; empty without an earlier check
    QList<ReportChange> changes;   // regressions first, then row order
    QList<ReportOngoing> ongoing;
    QList<FriendTrend> trends;     // in the latest check's row order
    QList<PartnerNotice> notices;  // every row of the latest check, in its order
};

// How many of the latest checks a report's charts reach back over.
inline constexpr int kReportTrendChecks = 90;

// Why there is no report.
struct ReportProblem {
    bool noCheck = false; // nothing of the site is recorded (else the history cannot be read)
    QString reason;       // a sentence for stderr
};

// The report of site from the latest of its recorded checks, its charts over
// the last trendChecks checks.
[[nodiscard]] std::variant<ReportData, ReportProblem> gatherReport(HistoryStore &store, const QString &site,
                                                                   int trendChecks = kReportTrendChecks);

// A row as a chart point of its check's day.
[[nodiscard]] TrendPoint trendPoint(const ResultRow &row, const QDate &day);
// The same point from the typed values the history keeps beside a row (none:
// they could not be read when it was recorded).
[[nodiscard]] TrendPoint trendPoint(const std::optional<RowTally> &row, const QDate &day);

// A notice for each row of data.latest, its since from data's changes, else
// from its trend, else the check's day.
[[nodiscard]] QList<PartnerNotice> partnerNotices(const ReportData &data);

// The notice of the friend at address: the row with that very lianjie, else
// one whose address reads the same but for the scheme, "www.", the host's
// case and a trailing "/".
[[nodiscard]] std::optional<PartnerNotice> noticeFor(const ReportData &data, const QString &address);

} // namespace friendlinks
