#include "app/SitesWindow.h"

#include "app/OneLineCells.h"

#include "app/ListActions.h"
#include "app/ResultsListModel.h"
#include "check/BatchCheck.h"
#include "check/CsvFormat.h"
#include "check/ResultTable.h"
#include "check/ResultsWriter.h"
#include "check/TextEscape.h"
#include "ui/Platform.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace friendlinks {
namespace {

// What the list shows for a site not started yet: the six headers, no rows.
ResultsModel *noResults()
{
    static ResultsWriter empty;
    return empty.model();
}

} // namespace

SitesWindow::SitesWindow(CheckSettings settings, QStringList sites, MessageBox *messages, SaveDialog *saveDialog,
                         QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_messages(messages)
    , m_saveDialog(saveDialog)
    , m_summaries(sites.size())
{
    setObjectName(QStringLiteral("sitesWindow"));
    setWindowTitle(QStringLiteral("检查多个网站（%1 个）- %2").arg(sites.size()).arg(applicationTitle()));
    setAttribute(Qt::WA_DeleteOnClose);
    m_batch = new BatchCheck(std::move(settings), sites, this);

    m_selector = new SiteSelector(sites);
    m_list = new QTreeView;
    m_list->setObjectName(QStringLiteral("sitesList"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setStretchLastSection(false);
    m_list->setItemDelegate(new OneLineCells(m_list));

    auto *splitter = new QSplitter;
    splitter->addWidget(m_selector);
    splitter->addWidget(m_list);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 700});

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(createBottomRow(int(sites.size())));
    resize(1000, 440);

    connect(m_selector, &SiteSelector::siteChosen, this, &SitesWindow::showSite);
    connect(m_export, &QPushButton::clicked, this, &SitesWindow::exportCsv);
    connect(m_batch, &BatchCheck::progress, this, [this](int sitesDone, int) {
        m_sitesDone = sitesDone;
        refreshRunning();
    });
    connect(m_batch, &BatchCheck::siteFinished, this, &SitesWindow::siteFinished);
    connect(m_batch, &BatchCheck::finished, this, [this] {
        m_finished = true;
        updateStatus();
    });
    showSite(0);
    m_selector->setCurrentItem(m_selector->topLevelItem(0));
    updateStatus();
}

// The batch's state and counts, its progress by sites, and 导出 CSV….
QLayout *SitesWindow::createBottomRow(int sites)
{
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("sitesStatus"));
    m_status->setStyleSheet(QStringLiteral("color: rgb(96,96,96);"));
    m_progress = new QProgressBar;
    m_progress->setTextVisible(false);
    m_progress->setMaximumWidth(160);
    m_progress->setRange(0, sites);
    m_export = new QPushButton(QStringLiteral("导出 CSV…"));
    m_export->setObjectName(QStringLiteral("sitesExport"));
    m_export->setShortcut(QKeySequence::Save);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_progress);
    bottom->addWidget(m_export);
    return bottom;
}

SitesWindow::~SitesWindow()
{
    // The list's model reads the batch's results: it goes first.
    m_list->setModel(nullptr);
    delete m_listModel;
}

void SitesWindow::start()
{
    m_started = true;
    m_batch->start();
    refreshRunning();
}

void SitesWindow::showSite(int site)
{
    if (site < 0 || site >= m_batch->siteCount())
        return;
    m_shown = site;
    const ResultsModel *results = m_started ? m_batch->results(site) : nullptr; // the batch has no sites before its start
    // Read-only here: the view cannot edit, only the batch's engine writes its results.
    auto *model = new ResultsListModel(const_cast<ResultsModel *>(results ? results : noResults()), this);
    m_list->setModel(model);
    delete m_listModel;
    m_listModel = model;
    const int dpi = logicalDpiX();
    for (const ColumnInfo &c : columns())
        m_list->setColumnWidth(int(c.column), c.widthPixels * dpi / 96);
    for (int column = kColumnCount; column < model->columnCount(); ++column)
        m_list->setColumnHidden(column, true);
}

void SitesWindow::refreshRunning()
{
    if (!m_started)
        return;
    for (int site = 0; site < m_batch->siteCount(); ++site) {
        if (m_batch->isFinished(site) || !m_batch->results(site))
            continue;
        m_summaries[site] = summarize(m_batch->results(site), false);
        m_selector->setSummary(site, m_summaries[site]);
        // A site that started after it was chosen: its rows come into the list as they are found.
        if (site == m_shown && m_listModel && m_listModel->sourceModel() == noResults())
            showSite(site);
    }
    updateStatus();
}

void SitesWindow::siteFinished(int site, const SiteResult &)
{
    m_summaries[site] = summarize(m_batch->results(site), true);
    m_selector->setSummary(site, m_summaries[site]);
    m_sitesDone = 0;
    for (int i = 0; i < m_batch->siteCount(); ++i)
        m_sitesDone += m_batch->isFinished(i);
    updateStatus();
}

void SitesWindow::updateStatus()
{
    int rows = 0, red = 0;
    for (const SiteSummary &summary : std::as_const(m_summaries)) {
        rows += summary.rows;
        red += summary.redCells;
    }
    m_progress->setValue(m_sitesDone);
    m_progress->setVisible(!m_finished);
    const QString counts = QStringLiteral("共 %1 行，标红 %2 处").arg(rows).arg(red);
    m_status->setText(m_finished ? QStringLiteral("已检查 %1 个网站，%2").arg(m_batch->siteCount()).arg(counts)
                                 : QStringLiteral("网站 %1/%2，%3").arg(m_sitesDone).arg(m_batch->siteCount()).arg(counts));
}

bool SitesWindow::exportCsv()
{
    const QString title = m_finished ? QStringLiteral("导出 CSV") : QStringLiteral("导出 CSV（检查尚未完成）");
    const QString path = m_saveDialog->askSaveFile(this, title, QDir::home().filePath(QStringLiteral("friendlinks-sites.csv")),
                                                   QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return false;
    QList<const ResultsModel *> started;
    for (const ResultsModel *results : m_started ? m_batch->allResults() : QList<const ResultsModel *>())
        if (results)
            started << results;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(formatCsv(batchTable(started))) < 0 || !file.commit()) {
        m_messages->show(this, applicationTitle(), QStringLiteral("无法写入文件：%1\n%2").arg(path, file.errorString()),
                         MessageIcon::warning);
        return false;
    }
    return true;
}

} // namespace friendlinks
