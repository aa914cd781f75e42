#pragma once

#include "check/HistoryStore.h"
#include "check/SiteResult.h"

#include <QObject>
#include <QString>

#include <memory>

class QAction;

namespace friendlinks {

class MessageArea;
class CheckEngine;

// The window records each check and each re-check into the history when it
// ends, while the check item "记录历史" is on (remembered in the window's
// settings, on at the first start). A history that cannot record is said once
// in the window's message area; turning the item off and on tries again.
// The window's other uses of the history (its changes, a friend's history,
// clearing a site) read the same file through store().
class HistorySetting : public QObject {
    Q_OBJECT
public:
    HistorySetting(CheckEngine *engine, MessageArea *notes, QString path, QObject *parent = nullptr);
    ~HistorySetting() override;

    [[nodiscard]] QAction *recordAction() const { return m_record; }
    [[nodiscard]] QString path() const { return m_path; }

    // The history, opened at the first use; nullptr when there is no history
    // file yet (reading never creates one) or it cannot be opened, *why then
    // saying why (empty for no file).
    [[nodiscard]] HistoryStore *store(QString *why = nullptr);

    // Records a check the window ran beside its list (a site of 检查多个网站…),
    // under the same switch and failure rule as its own; recorded() is not
    // emitted, since the list does not show it.
    void recordSiteOfBatch(const SiteResult &result) { store(result); }

signals:
    // A check or re-check has been recorded as the check checkId.
    void recorded(const SiteResult &result, qint64 checkId);

private:
    void record(const SiteResult &result);
    // Records result; its check id, 0 when not recorded (the failure then said).
    qint64 store(const SiteResult &result);
    void setRecording(bool on);
    HistoryStore *openStore(bool create);

    MessageArea *m_notes;
    QString m_path;
    QAction *m_record = nullptr;
    std::unique_ptr<HistoryStore> m_store; // open, or null
    bool m_recording = false;
    bool m_failed = false; // recording stopped at a failure, until the item is turned off and on
    QString m_error;       // why the last opening or recording failed
};

inline constexpr char kRecordHistorySetting[] = "history/record";
inline const QString kRecordHistoryCaption = QStringLiteral("记录历史");

} // namespace friendlinks
