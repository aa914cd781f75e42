#include "check/FriendTimeline.h"

#include "check/CheckMode.h"
#include "check/JsonRead.h"

namespace friendlinks {

bool FriendDay::backLinkMissing() const
{
    const BackLinkVerdict verdict = row.facts.backlinkVerdict;
    return verdict == BackLinkVerdict::NoLink || verdict == BackLinkVerdict::NotRead;
}

bool FriendDay::backLinkNofollow() const
{
    if (row.facts.backlinkVerdict == BackLinkVerdict::PassesNothing)
        return true;
    // Classic mode shows a nofollow link back as found; its anchor fact still says so.
    return row.facts.backlinkVerdict == BackLinkVerdict::Linked && row.facts.backlink && !row.facts.backlink->follow;
}

IndexPages FriendDay::indexPages() const
{
    return row.facts.baidu ? row.facts.baidu->pages : IndexPages{};
}

std::variant<QList<FriendDay>, QString> friendTimeline(const QList<FriendEntry> &entries,
                                                       const QHash<qint64, bool> &modern)
{
    QList<FriendDay> days;
    days.reserve(entries.size());
    for (const FriendEntry &entry : entries) {
        auto row = readRowJson(entry.payload, modern.value(entry.checkId, false));
        if (const QString *problem = std::get_if<QString>(&row))
            return QStringLiteral("recorded check %1 (%2): %3")
                .arg(entry.checkId)
                .arg(entry.started.toUTC().toString(Qt::ISODate), *problem);
        days.append({entry.checkId, entry.started.toUTC(), std::get<ResultRow>(std::move(row))});
    }
    return days;
}

QHash<qint64, bool> modernChecks(const QList<CheckSummary> &checks)
{
    QHash<qint64, bool> modern;
    for (const CheckSummary &check : checks)
        modern.insert(check.id, check.mode == kModernModeName);
    return modern;
}

} // namespace friendlinks
