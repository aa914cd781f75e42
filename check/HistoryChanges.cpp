#include "check/HistoryChanges.h"

#include "check/HistoryRecording.h"
#include "check/JsonRead.h"
#include "check/RowSchema.h"
#include "check/SiteDiff.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <optional>

namespace friendlinks {
namespace {

// A page of a friend's earlier rows: what an index collapse needs (its last
// kIndexLookBack checks and the one before), and most states began within it.
constexpr int kPage = kIndexLookBack + 1;

struct Words {
    const QString &code;
    QString label;   // the change of one row
    QString counted; // in the summary, after "N 个"; empty: the site itself, no count
};

const std::array<Words, 17> &words()
{
    // In the summary's order: what got worse, then the rest.
    static const std::array<Words, 17> table{{
        {kChangeUnreachable, QStringLiteral("无法访问"), QString()},
        {kChangeBacklinkLost, QStringLiteral("反链丢失"), QStringLiteral("反链丢失")},
        {kChangeNofollowAdded, QStringLiteral("加了 nofollow"), QStringLiteral("加了 nofollow")},
        {kChangeIndexDrop, QStringLiteral("收录下降"), QStringLiteral("收录下降")},
        {kChangeRankLost, QStringLiteral("首页不再第一"), QStringLiteral("首页不再第一")},
        {kChangeScriptLink, QStringLiteral("反链改为脚本写入"), QStringLiteral("反链改为脚本写入")},
        {kChangeFrameLink, QStringLiteral("反链移进框架页"), QStringLiteral("反链移进框架页")},
        {kChangeCssHidden, QStringLiteral("反链被样式隐藏"), QStringLiteral("反链被样式隐藏")},
        {kChangeRemoved, QStringLiteral("友链移除"), QStringLiteral("友链移除")},
        {kChangeRobotsBlocked, QStringLiteral("robots.txt禁止百度"), QStringLiteral("robots.txt禁止百度")},
        {kChangeSpiderHidden, QStringLiteral("对百度蜘蛛隐藏"), QStringLiteral("对百度蜘蛛隐藏")},
        {kChangeJumpLink, QStringLiteral("改成跳转链接"), QStringLiteral("改成跳转链接")},
        {kChangeReachable, QStringLiteral("恢复访问"), QString()},
        {kChangeBacklinkBack, QStringLiteral("反链恢复"), QStringLiteral("反链恢复")},
        {kChangeNofollowRemoved, QStringLiteral("去掉 nofollow"), QStringLiteral("去掉 nofollow")},
        {kChangeRankBack, QStringLiteral("首页恢复第一"), QStringLiteral("首页恢复第一")},
        {kChangeAdded, QStringLiteral("新增友链"), QStringLiteral("新增")},
    }};
    return table;
}

const Words *wordsOf(const QString &code)
{
    for (const Words &entry : words())
        if (entry.code == code)
            return &entry;
    return nullptr;
}

QString dropLabel(qint64 older, qint64 newer)
{
    const qint64 share = older > 0 ? ((older - newer) * 100 + older / 2) / older : 0;
    return QStringLiteral("收录下降 %1%").arg(share);
}

QDate dayOf(const QDateTime &time)
{
    return time.toUTC().date();
}

// Whether a state holds in one check of a row; unknown when that check could not tell (not probed, Baidu blocked).
enum class Holds { Yes, No, Unknown };

bool isMissing(BackLinkVerdict verdict)
{
    return verdict == BackLinkVerdict::NoLink || verdict == BackLinkVerdict::NotRead
        || verdict == BackLinkVerdict::PassesNothing;
}

bool hasNofollow(const ResultRow &row)
{
    return row.facts.backlink && !row.facts.backlink->follow;
}

// A link back that is there with nofollow is the nofollow state, not a missing one.
Holds backLinkMissing(const ResultRow &row)
{
    if (row.facts.backlinkVerdict == BackLinkVerdict::Unknown)
        return Holds::Unknown;
    return isMissing(row.facts.backlinkVerdict) && !hasNofollow(row) ? Holds::Yes : Holds::No;
}

Holds nofollowed(const ResultRow &row)
{
    if (!row.facts.backlink)
        return row.facts.backlinkVerdict == BackLinkVerdict::Unknown ? Holds::Unknown : Holds::No;
    return row.facts.backlink->follow ? Holds::No : Holds::Yes;
}

Holds rankLost(const ResultRow &row)
{
    const RankVerdict rank = row.facts.baidu ? row.facts.baidu->rank : RankVerdict::Unknown;
    if (rank == RankVerdict::Unknown)
        return Holds::Unknown;
    return rank == RankVerdict::NotFirst ? Holds::Yes : Holds::No;
}

IndexPages pagesOf(const ResultRow &row)
{
    return row.facts.baidu ? row.facts.baidu->pages : std::nullopt;
}

struct StateRule {
    const QString &code;
    Holds (*holds)(const ResultRow &row);
};

const std::array<StateRule, 3> &stateRules()
{
    static const std::array<StateRule, 3> table{{
        {kChangeBacklinkLost, backLinkMissing},
        {kChangeNofollowAdded, nofollowed},
        {kChangeRankLost, rankLost},
    }};
    return table;
}

// One earlier row of a friend, read back.
struct Earlier {
    QDate day;
    ResultRow row;
};

// The typed values the store keeps beside a recorded row, as the row the
// state rules read; a row that could not be read when recorded tells nothing.
ResultRow rowOf(const std::optional<RowTally> &tally)
{
    ResultRow row;
    if (!tally)
        return row;
    row.facts.backlinkVerdict = tally->backlink;
    if (tally->follow) {
        row.facts.backlink = BackLinkFacts{};
        row.facts.backlink->follow = *tally->follow;
    }
    if (tally->pages || tally->rank != RankVerdict::Unknown) {
        row.facts.baidu = BaiduFacts{};
        row.facts.baidu->pages = tally->pages;
        row.facts.baidu->rank = tally->rank;
    }
    return row;
}

// Every friend's rows in the site's last kPage checks before a check, read in
// one query: where each friend's look back starts (most need no more).
struct RecentRows {
    QHash<QString, QList<FriendPoint>> byFriend; // newest first
    qint64 oldestCheck = 0;                       // where a look back reads on
    bool more = false;                            // whether older checks may be there
};

std::variant<RecentRows, QString> recentRows(HistoryStore &store, const QString &site, qint64 beforeId)
{
    const QList<SitePoint> points = store.sitePointsBefore(site, beforeId, kPage);
    if (!store.lastError().ok())
        return store.lastError().reason;
    RecentRows recent;
    QSet<qint64> checks;
    for (const SitePoint &point : points) {
        recent.byFriend[point.lianjie].append(point.point);
        checks.insert(point.point.checkId);
        recent.oldestCheck = point.point.checkId;
    }
    recent.more = checks.size() >= kPage;
    return recent;
}

// The friend's earlier rows, newest first, read a page at a time as far as asked.
class FriendLookBack {
public:
    FriendLookBack(HistoryStore &store, const QString &site, const QString &lianjie, const RecentRows &recent)
        : m_store(store), m_site(site), m_lianjie(lianjie), m_before(recent.oldestCheck), m_done(!recent.more)
    {
        append(recent.byFriend.value(lianjie));
    }

    // The i-th earlier row, reading on when needed; none past the oldest (or the look-back's end).
    const Earlier *at(int i)
    {
        while (i >= m_rows.size() && !m_done && !m_problem)
            readPage();
        return i < m_rows.size() ? &m_rows[i] : nullptr;
    }
    [[nodiscard]] const std::optional<QString> &problem() const { return m_problem; }

private:
    void readPage()
    {
        const QList<FriendPoint> entries = m_store.friendPointsBefore(m_site, m_lianjie, m_before, kPage);
        if (!m_store.lastError().ok()) {
            m_problem = m_store.lastError().reason;
            return;
        }
        m_done = entries.size() < kPage;
        append(entries);
        if (!entries.isEmpty())
            m_before = entries.last().checkId;
    }

    void append(const QList<FriendPoint> &entries)
    {
        for (const FriendPoint &entry : entries) {
            if (entry.checkId == m_lastCheck)
                continue; // the friend listed twice in one check: its first row speaks for it
            m_lastCheck = entry.checkId;
            m_rows.append({dayOf(entry.started), rowOf(entry.row)});
        }
        if (m_rows.size() >= kStateLookBack)
            m_done = true;
    }

    HistoryStore &m_store;
    QString m_site, m_lianjie;
    qint64 m_before;
    bool m_done;
    qint64 m_lastCheck = -1;
    QList<Earlier> m_rows;
    std::optional<QString> m_problem;
};

// The day a state that holds now began: the oldest check of the run of
// checks before now where it held (checks that could not tell skipped);
// none when the newest check that could tell did not have it.
std::optional<QDate> stateSince(FriendLookBack &earlier, Holds (*holds)(const ResultRow &))
{
    std::optional<QDate> since;
    for (int i = 0; const Earlier *entry = earlier.at(i); ++i) {
        const Holds state = holds(entry->row);
        if (state == Holds::No)
            break;
        if (state == Holds::Yes)
            since = entry->day;
    }
    return since;
}

// An index that collapsed in an earlier check (against the count before it,
// within kIndexLookBack checks) and has stayed collapsed since: its state.
std::optional<RowState> indexCollapse(FriendLookBack &earlier, const QString &lianjie, qint64 now)
{
    // The known counts, newest first.
    QList<std::pair<QDate, qint64>> counts;
    for (int i = 0; counts.size() <= kIndexLookBack; ++i) {
        const Earlier *entry = earlier.at(i);
        if (!entry)
            break;
        if (const IndexPages pages = pagesOf(entry->row))
            counts.append({entry->day, *pages});
    }
    // The newest fall between two checks is the one that can still hold.
    for (qsizetype i = 0; i + 1 < counts.size(); ++i) {
        const qint64 before = counts[i + 1].second;
        if (!isIndexDrop(before, counts[i].second))
            continue;
        const bool stayedDown = std::all_of(counts.begin(), counts.begin() + i + 1, [&](const auto &count) {
            return isIndexDrop(before, count.second);
        });
        if (!stayedDown || !isIndexDrop(before, now))
            return std::nullopt;
        return RowState{lianjie, kChangeIndexDrop, dropLabel(before, now), counts[i].first};
    }
    return std::nullopt;
}

// The site could not be checked now nor in the earlier check: since when.
std::variant<QDate, QString> unreachableSince(HistoryStore &store, const QString &site, const CheckSummary &earlier)
{
    QDate since = dayOf(earlier.started);
    qint64 id = earlier.id;
    for (int looked = 0; looked < kStateLookBack; ++looked) {
        const std::optional<CheckSummary> before = store.previousCheck(site, id);
        if (!store.lastError().ok())
            return store.lastError().reason;
        if (!before)
            break;
        const std::optional<CheckRecord> record = store.load(before->id);
        if (!record)
            return store.lastError().reason;
        auto result = recordedResult(*record);
        if (const QString *problem = std::get_if<QString>(&result))
            return *problem;
        if (!std::get<SiteResult>(result).cannotCheck())
            break;
        since = dayOf(before->started);
        id = before->id;
    }
    return since;
}

} // namespace

ChangeTone changeTone(const QString &code)
{
    if (isRegression(code))
        return ChangeTone::Worse;
    if (code == kChangeBacklinkBack || code == kChangeNofollowRemoved || code == kChangeRankBack
        || code == kChangeReachable)
        return ChangeTone::Better;
    return ChangeTone::Neutral;
}

QString changeLabel(const QString &code, const QString &oldValue, const QString &newValue)
{
    if (code == kChangeIndexDrop) {
        bool oldOk = false, newOk = false;
        const qint64 older = oldValue.toLongLong(&oldOk), newer = newValue.toLongLong(&newOk);
        if (oldOk && newOk)
            return dropLabel(older, newer);
    }
    const Words *entry = wordsOf(code);
    return entry ? entry->label : code;
}

int SiteChanges::worse() const
{
    return int(std::count_if(changes.begin(), changes.end(),
                             [](const RowChange &change) { return change.tone == ChangeTone::Worse; }));
}

QString SiteChanges::summary() const
{
    if (!hasEarlier)
        return {};
    QStringList parts;
    for (const Words &entry : words()) {
        const auto count = std::count_if(changes.begin(), changes.end(),
                                         [&](const RowChange &change) { return change.code == entry.code; });
        if (count == 0)
            continue;
        parts << (entry.counted.isEmpty() ? QStringLiteral("网站") + entry.label
                                          : QStringLiteral("%1 个%2").arg(count).arg(entry.counted));
    }
    if (parts.isEmpty())
        parts << QStringLiteral("无变化");
    return QStringLiteral("与 %1 相比：%2")
        .arg(comparedWith.toUTC().toString(QStringLiteral("MM-dd")), parts.join(QStringLiteral("，")));
}

namespace {

// The changes from before to current in the window's words, each dated the day of current.
QList<RowChange> rowChanges(const SiteResult &before, const SiteResult &current)
{
    QList<LinkChange> diff = diffChecks({{before.outcome, before.rows}}, {{current.outcome, current.rows}});
    // A link back that gained nofollow is still there: one change, in its own words, not a lost link too.
    QSet<std::pair<QString, QString>> codes;
    for (const LinkChange &change : diff)
        codes.insert({change.lianjie, change.change});
    diff.removeIf([&](const LinkChange &change) {
        return (change.change == kChangeBacklinkLost && codes.contains({change.lianjie, kChangeNofollowAdded}))
            || (change.change == kChangeBacklinkBack && codes.contains({change.lianjie, kChangeNofollowRemoved}));
    });
    const QDate today = dayOf(current.startedAt.isValid() ? current.startedAt : QDateTime::currentDateTimeUtc());
    QList<RowChange> changes;
    for (const LinkChange &change : diff)
        changes.append({change.lianjie, change.change, changeLabel(change.change, change.oldValue, change.newValue),
                        change.oldValue, change.newValue, changeTone(change.change), today});
    return changes;
}

// The bad states of current's rows that began before and still hold (not those that changed now),
// looking back through each friend's own rows only for the rows that may have one.
std::variant<QList<RowState>, QString> rowStates(HistoryStore &store, const SiteResult &current, qint64 currentId,
                                                 const SiteResult &before, const QList<RowChange> &changes)
{
    QSet<std::pair<QString, QString>> changed;
    for (const RowChange &change : changes)
        changed.insert({change.lianjie, change.code});
    QSet<QString> earlierLinks, seen;
    for (const ResultRow &row : before.rows)
        earlierLinks.insert(row.cells[Column::lianjie].text);
    const auto recent = recentRows(store, current.outcome.site, currentId);
    if (const QString *problem = std::get_if<QString>(&recent))
        return *problem;
    QList<RowState> states;
    for (const ResultRow &row : current.rows) {
        const QString &lianjie = row.cells[Column::lianjie].text;
        if (!earlierLinks.contains(lianjie) || seen.contains(lianjie))
            continue; // new now: nothing began before; a repeat: its first row speaks
        seen.insert(lianjie);
        const IndexPages pages = pagesOf(row);
        const bool anyBad = std::any_of(stateRules().begin(), stateRules().end(),
                                        [&](const StateRule &rule) { return rule.holds(row) == Holds::Yes; });
        if (!anyBad && !pages)
            continue; // nothing to look up: the friend's history is not read
        FriendLookBack look(store, current.outcome.site, lianjie, std::get<RecentRows>(recent));
        for (const StateRule &rule : stateRules()) {
            if (rule.holds(row) != Holds::Yes || changed.contains({lianjie, rule.code}))
                continue;
            const std::optional<QDate> since = stateSince(look, rule.holds);
            if (look.problem())
                return *look.problem();
            if (since)
                states.append({lianjie, rule.code, changeLabel(rule.code), *since});
        }
        if (pages && !changed.contains({lianjie, kChangeIndexDrop})) {
            std::optional<RowState> collapse = indexCollapse(look, lianjie, *pages);
            if (look.problem())
                return *look.problem();
            if (collapse)
                states.append(*std::move(collapse));
        }
    }
    return states;
}

} // namespace

std::variant<SiteChanges, QString> siteChanges(HistoryStore &store, const SiteResult &current, qint64 currentId)
{
    const QString &site = current.outcome.site;
    const std::optional<CheckSummary> earlier =
        currentId ? store.previousCheck(site, currentId) : store.latestCheckBefore(site);
    if (!store.lastError().ok())
        return store.lastError().reason;
    SiteChanges out;
    if (!earlier)
        return out;
    const std::optional<CheckRecord> record = store.load(earlier->id);
    if (!record)
        return store.lastError().reason;
    auto read = recordedResult(*record);
    if (const QString *problem = std::get_if<QString>(&read))
        return *problem;
    const SiteResult &before = std::get<SiteResult>(read);
    out.hasEarlier = true;
    out.comparedWith = earlier->started.toUTC();
    out.changes = rowChanges(before, current);

    if (current.cannotCheck()) {
        if (before.cannotCheck()) {
            auto since = unreachableSince(store, site, *earlier);
            if (const QString *problem = std::get_if<QString>(&since))
                return *problem;
            out.ongoing.append({QString(), kChangeUnreachable, changeLabel(kChangeUnreachable), std::get<QDate>(since)});
        }
        return out;
    }
    if (before.cannotCheck())
        return out; // reachable again: the earlier rows tell nothing of this check's
    auto states = rowStates(store, current, currentId, before, out.changes);
    if (const QString *problem = std::get_if<QString>(&states))
        return *problem;
    out.ongoing = std::get<QList<RowState>>(std::move(states));
    return out;
}

} // namespace friendlinks
