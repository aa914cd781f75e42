#include "check/ReportData.h"

#include "check/HistoryChanges.h"
#include "check/HistoryRecording.h"
#include "check/RowSchema.h"

#include <QHash>
#include <QUrl>

#include <algorithm>

namespace friendlinks {
namespace {

// The changes that say when a notice's state began.
bool tellsSince(const QString &code)
{
    return code == kChangeBacklinkLost || code == kChangeNofollowAdded;
}

// Where the link back stands as a partner hears of it: a link with nofollow
// passes nothing in either mode, though classic's cell does not say so.
BackLinkVerdict partnerVerdict(const ResultRow &row)
{
    const BackLinkVerdict verdict = row.facts.backlinkVerdict;
    if (verdict == BackLinkVerdict::Linked && row.facts.backlink && !row.facts.backlink->follow)
        return BackLinkVerdict::PassesNothing;
    return verdict;
}

NoticeKind noticeKind(BackLinkVerdict verdict)
{
    switch (verdict) {
    case BackLinkVerdict::Linked: return NoticeKind::Fine;
    case BackLinkVerdict::PassesNothing: return NoticeKind::Nofollow;
    case BackLinkVerdict::NoLink: return NoticeKind::Missing;
    case BackLinkVerdict::NotRead: return NoticeKind::Unreadable;
    case BackLinkVerdict::Unknown: break;
    }
    return NoticeKind::NotChecked;
}

// The first day of the run of checks, ending with the newest, whose link back stood as it stands now.
QDate sinceByTrend(const FriendTrend *trend, BackLinkVerdict now)
{
    if (!trend)
        return {};
    QDate since;
    for (auto point = trend->points.crbegin(); point != trend->points.crend() && point->backlink == now; ++point)
        since = point->day;
    return since;
}

QDate sinceByChanges(const ReportData &data, const QString &lianjie)
{
    for (const ReportChange &change : data.changes)
        if (change.lianjie == lianjie && tellsSince(change.code) && change.since.isValid())
            return change.since;
    for (const ReportOngoing &state : data.ongoing)
        if (state.lianjie == lianjie && tellsSince(state.code) && state.since.isValid())
            return state.since;
    return {};
}

// An address as people write it: no scheme, no "www.", the host in lower case, no trailing slash.
QString looseAddress(const QString &address)
{
    const QString trimmed = address.trimmed();
    QUrl url(trimmed.contains(QLatin1String("://")) ? trimmed : QStringLiteral("http://") + trimmed);
    QString host = url.host().toLower();
    if (host.startsWith(QLatin1String("www.")))
        host = host.mid(4);
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString port = url.port() >= 0 ? QStringLiteral(":%1").arg(url.port()) : QString();
    return host + port + path + (url.hasQuery() ? QLatin1Char('?') + url.query() : QString());
}

ReportProblem unreadable(HistoryStore &store)
{
    return {false, store.lastError().reason};
}

// The rows of a recorded check, or why they cannot be read.
std::variant<SiteResult, ReportProblem> loadResult(HistoryStore &store, qint64 checkId)
{
    const std::optional<CheckRecord> record = store.load(checkId);
    if (!record)
        return unreadable(store);
    auto result = recordedResult(*record);
    if (const QString *problem = std::get_if<QString>(&result))
        return ReportProblem{false, QStringLiteral("the history %1 holds a damaged check: %2").arg(store.path(), *problem)};
    return std::get<SiteResult>(std::move(result));
}

// The friends of the latest check, each with an empty point for each check.
QHash<QString, qsizetype> startTrends(const QList<CheckSummary> &checks, ReportData &data)
{
    QHash<QString, qsizetype> friendIndex;
    for (const ResultRow &row : data.latest.rows) {
        const QString &lianjie = row.cells[Column::lianjie].text;
        if (friendIndex.contains(lianjie))
            continue;
        friendIndex.insert(lianjie, data.trends.size());
        QList<TrendPoint> points(checks.size());
        for (qsizetype k = 0; k < checks.size(); ++k)
            points[checks.size() - 1 - k].day = checks[k].started.toUTC().date();
        data.trends.append({lianjie, points});
    }
    return friendIndex;
}

// A chart line for each friend of the latest check over the checks (newest
// first, the latest among them), each point from its check's row (a friend
// listed twice: its first row). The earlier checks' points come in one query
// of the typed values kept beside each row, no payload unpacked.
std::optional<ReportProblem> fillTrends(HistoryStore &store, const QList<CheckSummary> &checks, ReportData &data)
{
    const QHash<QString, qsizetype> friendIndex = startTrends(checks, data);
    QList<bool> filled(data.trends.size());
    for (const ResultRow &row : data.latest.rows) {
        const auto found = friendIndex.constFind(row.cells[Column::lianjie].text);
        if (found != friendIndex.constEnd() && !filled[*found]) {
            filled[*found] = true;
            data.trends[*found].points.last() = trendPoint(row, checks.first().started.toUTC().date());
        }
    }
    if (checks.size() < 2)
        return std::nullopt;
    QHash<qint64, qsizetype> pointAt; // check id -> its place in each line
    for (qsizetype k = 1; k < checks.size(); ++k)
        pointAt.insert(checks[k].id, checks.size() - 1 - k);
    const QList<SitePoint> points = store.sitePointsBefore(data.site, data.checkId, int(checks.size() - 1));
    if (!store.lastError().ok())
        return unreadable(store);
    qint64 checkId = 0;
    for (const SitePoint &point : points) {
        if (point.point.checkId != checkId) {
            checkId = point.point.checkId;
            filled.fill(false);
        }
        const auto found = friendIndex.constFind(point.lianjie);
        const auto at = pointAt.constFind(checkId);
        if (found == friendIndex.constEnd() || at == pointAt.constEnd() || filled[*found])
            continue;
        filled[*found] = true;
        data.trends[*found].points[*at] = trendPoint(point.point.row, point.point.started.toUTC().date());
    }
    return std::nullopt;
}

ReportTone toneOf(ChangeTone tone)
{
    switch (tone) {
    case ChangeTone::Worse: return ReportTone::Worse;
    case ChangeTone::Better: return ReportTone::Better;
    case ChangeTone::Neutral: break;
    }
    return ReportTone::Neutral;
}

// What changed since the check before the latest, and the bad states older than that.
std::optional<ReportProblem> fillChanges(HistoryStore &store, ReportData &data)
{
    auto found = siteChanges(store, data.latest, data.checkId);
    if (const QString *problem = std::get_if<QString>(&found))
        return ReportProblem{false, *problem};
    const SiteChanges &changes = std::get<SiteChanges>(found);
    data.hasEarlier = changes.hasEarlier;
    data.comparedWith = changes.comparedWith;
    data.summary = changes.summary();
    for (const RowChange &change : changes.changes)
        data.changes.append({change.lianjie, change.code, change.label, change.oldValue, change.newValue,
                             toneOf(change.tone), change.since});
    for (const RowState &state : changes.ongoing)
        data.ongoing.append({state.lianjie, state.code, state.label, state.since});
    return std::nullopt;
}

} // namespace

std::variant<ReportData, ReportProblem> gatherReport(HistoryStore &store, const QString &site, int trendChecks)
{
    const QList<CheckSummary> checks = store.checksOf(site);
    if (!store.lastError().ok())
        return unreadable(store);
    if (checks.isEmpty())
        return ReportProblem{true, QStringLiteral("no check of %1 is recorded in %2").arg(site, store.path())};
    ReportData data;
    data.site = site;
    data.checkId = checks.first().id;
    data.checks = int(checks.size());
    auto latest = loadResult(store, data.checkId);
    if (auto *problem = std::get_if<ReportProblem>(&latest))
        return *problem;
    data.latest = std::get<SiteResult>(std::move(latest));
    if (auto problem = fillChanges(store, data))
        return *problem;
    if (auto problem = fillTrends(store, checks.mid(0, std::max(1, trendChecks)), data))
        return *problem;
    data.notices = partnerNotices(data);
    return data;
}

TrendPoint trendPoint(const ResultRow &row, const QDate &day)
{
    return {day, row.facts.baidu ? row.facts.baidu->pages : IndexPages(), partnerVerdict(row)};
}

TrendPoint trendPoint(const std::optional<RowTally> &row, const QDate &day)
{
    if (!row)
        return {day, {}, BackLinkVerdict::Unknown};
    // As partnerVerdict: a link with nofollow passes nothing.
    const bool passesNothing = row->backlink == BackLinkVerdict::Linked && row->follow == false;
    return {day, row->pages, passesNothing ? BackLinkVerdict::PassesNothing : row->backlink};
}

QList<PartnerNotice> partnerNotices(const ReportData &data)
{
    QHash<QString, const FriendTrend *> trends;
    for (const FriendTrend &trend : data.trends)
        trends.insert(trend.lianjie, &trend);
    QList<PartnerNotice> notices;
    for (const ResultRow &row : data.latest.rows) {
        PartnerNotice notice;
        notice.lianjie = row.cells[Column::lianjie].text;
        notice.anchor = row.cells[Column::guanjianzi].text;
        notice.cellText = row.cells[Column::fanlian].text;
        const BackLinkVerdict verdict = partnerVerdict(row);
        notice.kind = noticeKind(verdict);
        if (notice.kind != NoticeKind::Fine && notice.kind != NoticeKind::NotChecked) {
            notice.since = sinceByChanges(data, notice.lianjie);
            if (!notice.since.isValid())
                notice.since = sinceByTrend(trends.value(notice.lianjie), verdict);
            if (!notice.since.isValid())
                notice.since = data.latest.startedAt.toUTC().date();
        }
        notices.append(notice);
    }
    return notices;
}

std::optional<PartnerNotice> noticeFor(const ReportData &data, const QString &address)
{
    const auto exact = std::find_if(data.notices.begin(), data.notices.end(),
                                    [&](const PartnerNotice &notice) { return notice.lianjie == address.trimmed(); });
    if (exact != data.notices.end())
        return *exact;
    const QString loose = looseAddress(address);
    for (const PartnerNotice &notice : data.notices)
        if (looseAddress(notice.lianjie) == loose)
            return notice;
    return std::nullopt;
}

} // namespace friendlinks
