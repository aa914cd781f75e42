#include "app/HistoryActions.h"

#include "app/MessageArea.h"
#include "app/FriendHistoryDialog.h"
#include "app/HistorySetting.h"
#include "check/CheckEngine.h"
#include "check/FriendTimeline.h"
#include "check/HtmlReport.h"
#include "check/ReportData.h"
#include "ui/Platform.h"

#include <QAction>
#include <QDir>
#include <QSaveFile>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>

namespace friendlinks {

HistoryActions::HistoryActions(ListHost host, HistorySetting *history, MessageArea *notes, QMenu *menu,
                               MessageBox *messages, Confirmation *confirmation, SaveDialog *saveDialog)
    : QObject(host.window)
    , m_host(std::move(host))
    , m_historySetting(history)
    , m_notes(notes)
    , m_messages(messages)
    , m_confirmation(confirmation ? confirmation : &defaultConfirmation())
    , m_saveDialog(saveDialog ? saveDialog : &defaultSaveDialog())
{
    m_history = new QAction(QStringLiteral("历史…"), this);
    m_history->setObjectName(QStringLiteral("friendHistory"));
    m_history->setToolTip(QStringLiteral("所选友链在历次检查中的收录、反链和 nofollow"));
    connect(m_history, &QAction::triggered, this, [this] { openFriendHistory(); });

    m_clear = new QAction(QStringLiteral("清除本站历史"), this);
    m_clear->setObjectName(QStringLiteral("clearSiteHistory"));
    connect(m_clear, &QAction::triggered, this, [this] { clearSiteHistory(); });

    m_report = new QAction(QStringLiteral("导出报告…"), this);
    m_report->setObjectName(QStringLiteral("exportReport"));
    m_report->setToolTip(QStringLiteral("把本站最近一次记录的检查写成一个网页：标红、变化、收录图和给友链站长的通知"));
    connect(m_report, &QAction::triggered, this, [this] { exportReport(); });

    menu->addSeparator();
    menu->addAction(m_history);
    menu->addAction(m_report);
    menu->addAction(m_clear);

    connect(menu, &QMenu::aboutToShow, this, [this] {
        countRecorded();
        updateEnabled();
    });
    connect(m_host.list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &HistoryActions::updateEnabled);
    connect(m_host.engine, &CheckEngine::started, this, [this] {
        countRecorded();
        updateEnabled();
    });
    connect(history, &HistorySetting::recorded, this, [this] {
        countRecorded();
        updateEnabled();
    });
    updateEnabled();
}

QString HistoryActions::shownSite() const
{
    return m_host.engine->results()->outcome().site;
}

void HistoryActions::countRecorded()
{
    m_recorded = 0;
    const QString site = shownSite();
    if (site.isEmpty())
        return;
    if (HistoryStore *store = m_historySetting->store())
        m_recorded = int(store->checksOf(site).size());
}

void HistoryActions::updateEnabled()
{
    const bool selected = m_host.list->selectionModel()->hasSelection();
    m_history->setEnabled(selected && m_recorded > 0);
    m_clear->setEnabled(m_recorded > 0);
    m_report->setEnabled(m_recorded > 0);
}

FriendHistoryDialog *HistoryActions::openFriendHistory()
{
    const QList<int> selected = m_host.selectedRows();
    const QString site = shownSite();
    if (selected.isEmpty() || site.isEmpty())
        return nullptr;
    const QString lianjie = m_host.engine->results()->row(selected.first()).cells[Column::lianjie].text;
    QString why;
    HistoryStore *store = m_historySetting->store(&why);
    if (!store) {
        m_notes->addNote(why.isEmpty() ? QStringLiteral("还没有历史记录") : QStringLiteral("无法读取历史：") + why,
                         why.isEmpty() ? Message::Tone::Normal : Message::Tone::Error);
        return nullptr;
    }
    const QList<CheckSummary> checks = store->checksOf(site);
    const QList<FriendEntry> entries = checks.isEmpty() ? QList<FriendEntry>() : store->friendHistory(site, lianjie);
    if (!store->lastError().ok()) {
        m_notes->addNote(QStringLiteral("无法读取历史：") + store->lastError().reason, Message::Tone::Error);
        return nullptr;
    }
    auto timeline = friendTimeline(entries, modernChecks(checks));
    if (const QString *problem = std::get_if<QString>(&timeline)) {
        m_notes->addNote(QStringLiteral("无法读取历史：") + *problem, Message::Tone::Error);
        return nullptr;
    }
    if (m_dialog)
        m_dialog->close();
    auto *dialog = new FriendHistoryDialog(site, lianjie, std::get<QList<FriendDay>>(std::move(timeline)), m_host.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    m_dialog = dialog;
    return dialog;
}

int HistoryActions::clearSiteHistory()
{
    const QString site = shownSite();
    QString why;
    HistoryStore *store = site.isEmpty() ? nullptr : m_historySetting->store(&why);
    if (!store) {
        if (!why.isEmpty())
            m_notes->addNote(QStringLiteral("无法清除历史：") + why, Message::Tone::Error);
        return 0;
    }
    const int checks = int(store->checksOf(site).size());
    if (checks == 0) {
        countRecorded();
        updateEnabled();
        return 0;
    }
    if (!m_confirmation->confirm(m_host.window, QStringLiteral("清除本站历史"),
                                 QStringLiteral("清除 %1 的 %2 次检查记录？清除后无法恢复。").arg(site).arg(checks)))
        return 0;
    const int dropped = store->clearSite(site);
    if (dropped < 0)
        m_notes->addNote(QStringLiteral("无法清除历史：") + store->lastError().reason, Message::Tone::Error);
    else
        m_notes->addNote(QStringLiteral("已清除 %1 的 %2 次检查记录").arg(site).arg(dropped));
    countRecorded();
    updateEnabled();
    if (dropped > 0)
        emit siteCleared(site);
    return dropped;
}

bool HistoryActions::exportReport()
{
    const QString site = shownSite();
    if (site.isEmpty())
        return false;
    QString why;
    HistoryStore *store = m_historySetting->store(&why);
    if (!store) {
        m_notes->addNote(why.isEmpty() ? QStringLiteral("还没有历史记录") : QStringLiteral("无法读取历史：") + why,
                         why.isEmpty() ? Message::Tone::Normal : Message::Tone::Error);
        return false;
    }
    auto gathered = gatherReport(*store, site);
    if (const ReportProblem *problem = std::get_if<ReportProblem>(&gathered)) {
        m_notes->addNote(problem->noCheck ? QStringLiteral("本站还没有记录的检查") : QStringLiteral("无法读取历史：") + problem->reason,
                         problem->noCheck ? Message::Tone::Normal : Message::Tone::Error);
        return false;
    }
    const QString path = m_saveDialog->askSaveFile(m_host.window, QStringLiteral("导出报告"),
                                                   QDir::home().filePath(suggestedFileName(site, QStringLiteral(".html"))),
                                                   QStringLiteral("网页 (*.html)"));
    if (path.isEmpty())
        return false;
    const QByteArray html = htmlReport(std::get<ReportData>(gathered), QTimeZone::systemTimeZone());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html) != html.size() || !file.commit()) {
        m_messages->show(m_host.window, applicationTitle(), QStringLiteral("无法写入文件：%1\n%2").arg(path, file.errorString()),
                         MessageIcon::warning);
        return false;
    }
    m_notes->addNote(QStringLiteral("已导出报告：") + QDir::toNativeSeparators(path));
    return true;
}

} // namespace friendlinks
