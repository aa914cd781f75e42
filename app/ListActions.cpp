#include "app/ListActions.h"

#include "app/ResultsListModel.h"
#include "check/CheckEngine.h"
#include "check/CsvFormat.h"
#include "check/TsvFormat.h"
#include "ui/Platform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QMenu>
#include <QSaveFile>
#include <QItemSelectionModel>
#include <QTreeView>

namespace friendlinks {

ListActions::ListActions(ListHost host, QMenu *menu, MessageBox *messages, SaveDialog *saveDialog)
    : QObject(host.window)
    , m_host(std::move(host))
    , m_messages(messages)
    , m_saveDialog(saveDialog ? saveDialog : &defaultSaveDialog())
{
    m_copy = new QAction(QStringLiteral("复制"), this);
    m_copy->setObjectName(QStringLiteral("copyRows"));
    m_copy->setShortcut(QKeySequence::Copy); // shown in the menu; the window takes the key itself
    m_copy->setShortcutContext(Qt::WidgetShortcut);
    connect(m_copy, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(selectedRowsTsv()); });

    m_export = new QAction(QStringLiteral("导出 CSV…"), this);
    m_export->setObjectName(QStringLiteral("exportCsv"));
    m_export->setShortcut(QKeySequence::Save);
    m_export->setShortcutContext(Qt::WindowShortcut);
    m_host.window->addAction(m_export); // Ctrl+S anywhere in the window
    connect(m_export, &QAction::triggered, this, [this] { exportCsv(); });

    m_open = new QAction(QStringLiteral("在浏览器中打开"), this);
    m_open->setObjectName(QStringLiteral("openRow"));
    connect(m_open, &QAction::triggered, this, [this] { m_host.openSelectedRow(); });

    m_recheck = new QAction(QStringLiteral("重新检查所选行"), this);
    m_recheck->setObjectName(QStringLiteral("recheckRows"));
    connect(m_recheck, &QAction::triggered, this, [this] { recheckSelected(); });

    QAction *first = menu->actions().value(0);
    menu->insertActions(first, {m_copy, m_export, m_open, m_recheck});
    if (first)
        menu->insertSeparator(first);

    connect(menu, &QMenu::aboutToShow, this, &ListActions::updateEnabled);
    connect(m_host.list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListActions::updateEnabled);
    // An empty list has nothing to export: rows in, rows out, the list cleared.
    const QAbstractItemModel *model = m_host.list->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &ListActions::updateEnabled);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ListActions::updateEnabled);
    connect(model, &QAbstractItemModel::modelReset, this, &ListActions::updateEnabled);
    connect(m_host.engine, &CheckEngine::started, this, &ListActions::updateEnabled);
    connect(m_host.engine, &CheckEngine::siteFinished, this, &ListActions::updateEnabled);
    connect(m_host.engine, &CheckEngine::recheckFinished, this, &ListActions::updateEnabled);
    updateEnabled();
}

void ListActions::updateEnabled()
{
    const bool selected = m_host.list->selectionModel()->hasSelection();
    m_copy->setEnabled(selected);
    m_export->setEnabled(m_host.engine->results()->rowCount() > 0);
    m_open->setEnabled(selected);
    m_recheck->setEnabled(selected && !m_host.engine->isRunning());
}

bool ListActions::exportCsv()
{
    const QString title = m_host.engine->isRunning() ? QStringLiteral("导出 CSV（检查尚未完成，只导出已有的结果）")
                                                     : QStringLiteral("导出 CSV");
    const QString path = m_saveDialog->askSaveFile(m_host.window, title,
                                                   QDir::home().filePath(suggestedFileName(m_host.engine->results()->outcome().site, QStringLiteral(".csv"))),
                                                   QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(formatCsv(shownTable(m_host.shownRows()))) < 0 || !file.commit()) {
        m_messages->show(m_host.window, applicationTitle(), QStringLiteral("无法写入文件：%1\n%2").arg(path, file.errorString()),
                         MessageIcon::warning);
        return false;
    }
    return true;
}

QString ListActions::selectedRowsTsv() const
{
    // The selected rows of the results, in the command line's tsv format, with
    // the columns shown as 导出 CSV… writes them.
    return QString::fromUtf8(formatTsv(shownTable(m_host.selectedRows())));
}

// The list's rows with the columns it shows: the fact columns shown and,
// while the list shows it, "变化" where it stands among them.
ResultTable ListActions::shownTable(const QList<int> &rows) const
{
    ResultTable table;
    for (const int row : rows)
        table.rows << m_host.engine->results()->row(row);
    table.factColumns = m_host.shownFactColumns();
    const QAbstractItemModel *shown = m_host.list->model();
    if (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(shown))
        shown = proxy->sourceModel(); // sorted or filtered: the cells are the results' own
    const auto *model = qobject_cast<const ResultsListModel *>(shown);
    constexpr int kChanges = ResultsListModel::kChangesColumn;
    if (!model || m_host.list->isColumnHidden(kChanges))
        return table;
    AddedColumn changes{kChangesHeader, {}, 0};
    const QHeaderView *header = m_host.list->header();
    for (const FactColumn fact : std::as_const(table.factColumns))
        if (header->visualIndex(kColumnCount + int(fact)) < header->visualIndex(kChanges))
            ++changes.afterFacts;
    for (const int row : rows)
        changes.cells << model->changes().value(row).text;
    table.added = changes;
    return table;
}

bool ListActions::recheckSelected()
{
    const bool started = m_host.engine->recheck(m_host.selectedRows());
    if (started)
        m_host.recheckStarted();
    updateEnabled();
    return started;
}

QString suggestedFileName(const QString &site, const QString &ending)
{
    QString name = site;
    name.remove(QStringLiteral("http://"));
    name.remove(QStringLiteral("https://"));
    for (QChar &c : name)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-')))
            c = QLatin1Char('_');
    while (name.endsWith(QLatin1Char('_')))
        name.chop(1);
    return (name.isEmpty() ? QStringLiteral("friendlinks") : name) + ending;
}

} // namespace friendlinks
