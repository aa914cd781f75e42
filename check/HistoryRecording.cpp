#include "check/HistoryRecording.h"

#include "check/CheckMode.h"
#include "check/JsonFormat.h"
#include "check/JsonRead.h"

#include <algorithm>

namespace friendlinks {

CheckRecord checkRecord(const SiteResult &result, const QString &programVersion)
{
    CheckRecord record;
    record.site = result.outcome.site;
    record.mode = result.modern() ? kModernModeName : kClassicModeName;
    record.started = result.startedAt.toUTC();
    record.finished = result.finishedAt.toUTC();
    record.programVersion = programVersion;
    record.outcome = formatSiteJson(result.outcome, {});
    record.rows.reserve(result.rows.size());
    for (const ResultRow &row : result.rows)
        record.rows.append({row.cells[Column::lianjie].text, formatRowJson(row)});
    return record;
}

std::variant<SiteResult, QString> recordedResult(const CheckRecord &record)
{
    auto site = readSiteJson(record.outcome);
    if (const QString *problem = std::get_if<QString>(&site))
        return QStringLiteral("recorded check of %1: %2").arg(record.site, *problem);
    SiteResult result;
    result.outcome = std::get<SiteRows>(std::move(site)).outcome;
    result.outcome.modern = record.mode == kModernModeName;
    result.startedAt = record.started;
    result.finishedAt = record.finished;
    result.rows.reserve(record.rows.size());
    for (const HistoryRow &stored : record.rows) {
        auto row = readRowJson(stored.payload, result.outcome.modern);
        if (const QString *problem = std::get_if<QString>(&row))
            return QStringLiteral("recorded row %1 of %2: %3").arg(stored.lianjie, record.site, *problem);
        result.rows.append(std::get<ResultRow>(std::move(row)));
    }
    return result;
}

int redCellCount(const QList<ResultRow> &rows)
{
    int count = 0;
    for (const ResultRow &row : rows)
        count += int(std::count_if(row.cells.cells.begin(), row.cells.cells.end(), [](const Cell &cell) { return cell.red; }));
    return count;
}

HistoryRecorder::HistoryRecorder(QString path, QString programVersion, HistoryOptions options)
    : m_path(std::move(path))
    , m_programVersion(std::move(programVersion))
    , m_store(std::make_unique<HistoryStore>(options))
{
}

HistoryRecorder::~HistoryRecorder() = default;

bool HistoryRecorder::open()
{
    if (failed())
        return false;
    if (m_store->isOpen())
        return true;
    if (m_store->open(m_path))
        return true;
    m_failure = m_store->lastError();
    return false;
}

bool HistoryRecorder::record(const SiteResult &result)
{
    if (!open())
        return false;
    if (m_store->record(checkRecord(result, m_programVersion)) > 0)
        return true;
    m_failure = m_store->lastError();
    m_store->close();
    return false;
}

} // namespace friendlinks
