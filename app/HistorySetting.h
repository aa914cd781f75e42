#pragma once

#include "check/HistoryRecording.h"

#include <QObject>
#include <QString>

#include <memory>

class QAction;

namespace friendlinks {

class BannerNotes;
class CheckEngine;

// The window records each check and each re-check into the history when it
// ends, while the check item "记录历史" is on (remembered in the window's
// settings, on at the first start). A history that cannot record is said once
// in the banner strip's notes; turning the item off and on tries again.
class HistorySetting : public QObject {
    Q_OBJECT
public:
    HistorySetting(CheckEngine *engine, BannerNotes *notes, QString path, QObject *parent = nullptr);
    ~HistorySetting() override;

    [[nodiscard]] QAction *recordAction() const { return m_record; }
    [[nodiscard]] QString path() const { return m_path; }

private:
    void record(const SiteResult &result);
    void setRecording(bool on);

    BannerNotes *m_notes;
    QString m_path;
    QAction *m_record = nullptr;
    std::unique_ptr<HistoryRecorder> m_recorder; // while recording
    bool m_said = false;
};

inline constexpr char kRecordHistorySetting[] = "history/record";
inline const QString kRecordHistoryCaption = QStringLiteral("记录历史");

} // namespace friendlinks
