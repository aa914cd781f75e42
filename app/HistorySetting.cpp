#include "app/HistorySetting.h"

#include "app/MessageArea.h"
#include "app/ModeSetting.h"
#include "check/CheckEngine.h"
#include "check/HistoryRecording.h"
#include "check/ProgramVersion.h"

#include <QAction>
#include <QFileInfo>

namespace friendlinks {

HistorySetting::HistorySetting(CheckEngine *engine, MessageArea *notes, QString path, QObject *parent)
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
    m_recording = on;
    m_failed = false;
}

HistoryStore *HistorySetting::openStore(bool create)
{
    if (m_store)
        return m_store.get();
    if (!create && !QFileInfo::exists(m_path))
        return nullptr;
    auto store = std::make_unique<HistoryStore>();
    if (!store->open(m_path)) {
        m_error = store->lastError().reason;
        return nullptr;
    }
    m_store = std::move(store);
    return m_store.get();
}

HistoryStore *HistorySetting::store(QString *why)
{
    m_error.clear();
    HistoryStore *store = openStore(false);
    if (why)
        *why = m_error;
    return store;
}

void HistorySetting::record(const SiteResult &result)
{
    if (const qint64 id = store(result); id > 0)
        emit recorded(result, id);
}

qint64 HistorySetting::store(const SiteResult &result)
{
    // The first failure stops the recording: each later check would wait for a lock again, or fill a full disk again.
    if (!m_recording || m_failed)
        return 0;
    m_error.clear();
    qint64 id = 0;
    if (HistoryStore *store = openStore(true)) {
        id = store->record(checkRecord(result, kProgramVersion));
        if (id <= 0) {
            m_error = store->lastError().reason;
            m_store.reset(); // opened afresh next time
        }
    }
    if (id > 0)
        return id;
    m_failed = true;
    m_notes->addNote(QStringLiteral("无法记录历史：") + m_error, Message::Tone::Error);
    return 0;
}

} // namespace friendlinks
