#pragma once

#include "check/HistoryRecord.h"
#include "check/HistoryStore.h"
#include "check/SiteResult.h"

#include <QString>

#include <memory>
#include <variant>

namespace friendlinks {

// A site's check as the history keeps it: each row as `check --format json`
// writes it (facts included), the outcome as that json's site object with no
// rows, so the json reader reads both back. What that json does not hold (the
// count of unchecked links, the Baidu block, the settings) is not kept.
[[nodiscard]] CheckRecord checkRecord(const SiteResult &result, const QString &programVersion);

// A recorded check read back into the rows and outcome it had, with its times
// (no settings, no re-checked rows), or why it cannot be.
[[nodiscard]] std::variant<SiteResult, QString> recordedResult(const CheckRecord &record);

// The red cells among a check's rows.
[[nodiscard]] int redCellCount(const QList<ResultRow> &rows);

// Records the checks of one run into one history file, opened at the first
// record (or open()). The first failure stops the recording: failure() says
// why, so the front end says it once, and later checks are not tried (each
// would wait for a lock again, or fill a full disk again).
//
//   HistoryRecorder recorder(defaultHistoryPath(), kVersion);
//   if (!recorder.record(result) && !said) { say(recorder.failure().reason); said = true; }
class HistoryRecorder {
public:
    HistoryRecorder(QString path, QString programVersion, HistoryOptions options = {});
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder &) = delete;
    HistoryRecorder &operator=(const HistoryRecorder &) = delete;

    // Opens the file unless open or failed; whether it is open.
    bool open();
    // Whether the check was recorded.
    bool record(const SiteResult &result);
    [[nodiscard]] bool failed() const { return !m_failure.ok(); }
    [[nodiscard]] const HistoryError &failure() const { return m_failure; }
    [[nodiscard]] QString path() const { return m_path; }

private:
    QString m_path;
    QString m_programVersion;
    std::unique_ptr<HistoryStore> m_store;
    HistoryError m_failure;
};

} // namespace friendlinks
