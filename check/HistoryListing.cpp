#include "check/HistoryListing.h"

#include "check/HistoryRecording.h"

namespace friendlinks {

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
        auto result = recordedResult(*record);
        if (const QString *problem = std::get_if<QString>(&result))
            return QStringLiteral("the history %1 holds a damaged check: %2").arg(store.path(), *problem);
        const SiteResult &read = std::get<SiteResult>(result);
        checks.append({summary.id, summary.started, summary.finished, summary.mode, summary.programVersion,
                       int(read.rows.size()), redCellCount(read.rows), !read.outcome.reachable,
                       read.outcome.home.status});
    }
    return checks;
}

} // namespace friendlinks
