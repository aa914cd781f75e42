#include "app/HistorySetting.h"

#include "app/BannerNotes.h"
#include "app/ModeSetting.h"
#include "check/CheckEngine.h"
#include "check/ProgramVersion.h"

#include <QAction>

namespace friendlinks {

HistorySetting::HistorySetting(CheckEngine *engine, BannerNotes *notes, QString path, QObject *parent)
    : QObject(parent)
    , m_notes(notes)
    , m_path(std::move(path))
{
    m_record = new QAction(kRecordHistoryCaption, this);
    m_record->setObjectName(QStringLiteral("recordHistory"));
    m_record->setCheckable(true);
    m_record->setToolTip(QStringLiteral("每次检查结束时记入历史：") + m_path);
    const bool on = windowSettings().value(QLatin1String(kRecordHistorySetting), true).toBool();
    m_record->setChecked(on);
    setRecording(on);
    connect(m_record, &QAction::toggled, this, [this](bool checked) {
        windowSettings().setValue(QLatin1String(kRecordHistorySetting), checked);
        setRecording(checked);
    });
    connect(engine, &CheckEngine::siteFinished, this, &HistorySetting::record);
    connect(engine, &CheckEngine::recheckFinished, this, &HistorySetting::record);
}

HistorySetting::~HistorySetting() = default;

void HistorySetting::setRecording(bool on)
{
    m_said = false;
    m_recorder = on ? std::make_unique<HistoryRecorder>(m_path, kProgramVersion) : nullptr;
}

void HistorySetting::record(const SiteResult &result)
{
    if (!m_recorder || m_recorder->record(result) || m_said)
        return;
    m_said = true;
    m_notes->addNote(QStringLiteral("无法记录历史：") + m_recorder->failure().reason);
}

} // namespace friendlinks
