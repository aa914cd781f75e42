#include "check/HistoryListing.h"

#include "check/JsonRead.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace friendlinks {
namespace {

// The red cells of one recorded row: its "red" list, read alone (a whole row
// read back costs several times more, and a list of checks needs only this).
std::optional<int> redCellsOf(const QByteArray &payload)
{
    QJsonParseError error{};
    const QJsonDocument row = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !row.isObject())
        return std::nullopt;
    return int(row.object().value(QLatin1String("red")).toArray().size());
}

} // namespace

std::variant<QList<RecordedCheck>, QString> recordedChecks(HistoryStore &store, const QString &site)
{
    const QList<CheckSummary> summaries = store.checksOf(site);
    if (!store.lastError().ok())
        return store.lastError().reason;
    QList<RecordedCheck> checks;
    checks.reserve(summaries.size());
    for (const CheckSummary &summary : summaries) {
        const std::optional<CheckRecord> record = store.load(summary.id);
        if (!record)
            return store.lastError().reason;
        const auto damaged = [&](const QString &what) {
            return QStringLiteral("the history %1 holds a damaged check of %2: %3").arg(store.path(), site, what);
        };
        auto outcome = readSiteJson(record->outcome);
        if (const QString *problem = std::get_if<QString>(&outcome))
            return damaged(*problem);
        const SiteOutcome &read = std::get<SiteRows>(outcome).outcome;
        RecordedCheck check{summary.id, summary.started, summary.finished, summary.mode, summary.programVersion,
                            int(record->rows.size()), 0, !read.reachable, read.home.status};
        for (const HistoryRow &row : record->rows) {
            const std::optional<int> red = redCellsOf(row.payload);
            if (!red)
                return damaged(QStringLiteral("row %1 is not JSON").arg(row.lianjie));
            check.redCells += *red;
        }
        checks.append(check);
    }
    return checks;
}

} // namespace friendlinks
