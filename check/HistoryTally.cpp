#include "check/HistoryTally.h"

#include "check/CheckMode.h"
#include "check/RowSchema.h"
#include "check/SiteDiff.h"

#include <utility>

namespace friendlinks {

std::variant<SiteRows, QString> readRecord(const CheckRecord &record)
{
    auto site = readSiteJson(record.outcome);
    if (const QString *problem = std::get_if<QString>(&site))
        return *problem;
    SiteRows read = std::get<SiteRows>(std::move(site));
    read.outcome.modern = record.mode == kModernModeName;
    read.rows.reserve(record.rows.size());
    for (const HistoryRow &stored : record.rows) {
        auto row = readRowJson(stored.payload, read.outcome.modern);
        if (const QString *problem = std::get_if<QString>(&row))
            return QStringLiteral("row %1: %2").arg(stored.lianjie, *problem);
        read.rows.append(std::get<ResultRow>(std::move(row)));
    }
    return read;
}

bool isMend(const QString &change)
{
    return change == kChangeBacklinkBack || change == kChangeNofollowRemoved || change == kChangeRankBack
        || change == kChangeReachable;
}

RecordTally tallyOf(const SiteRows &check, const SiteRows *previous)
{
    RecordTally tally;
    for (const ResultRow &row : check.rows)
        for (const Cell &cell : row.cells.cells)
            tally.check.redCells += cell.red ? 1 : 0;
    tally.check.unreachable = !check.outcome.reachable;
    tally.check.homeStatus = check.outcome.home.status;
    if (previous) {
        for (const LinkChange &change : diffChecks({*previous}, {check})) {
            ++tally.check.changes;
            tally.check.worse += isRegression(change.change) ? 1 : 0;
            tally.check.better += isMend(change.change) ? 1 : 0;
        }
    }
    tally.rows.reserve(check.rows.size());
    for (const ResultRow &row : check.rows) {
        RowTally values;
        values.backlink = row.facts.backlinkVerdict;
        if (row.facts.backlink)
            values.follow = row.facts.backlink->follow;
        if (row.facts.baidu) {
            values.pages = row.facts.baidu->pages;
            values.rank = row.facts.baidu->rank;
        }
        values.status = row.facts.status;
        tally.rows.append(values);
    }
    return tally;
}

} // namespace friendlinks
