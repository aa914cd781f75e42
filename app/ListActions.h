#pragma once

#include "check/ResultTable.h"
#include "check/RowFacts.h"

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QTreeView;
class QWidget;

namespace friendlinks {

class CheckEngine;
class MessageBox;
class SaveDialog;

// What the actions need of the window that holds the list, and no more.
struct ListHost {
    QWidget *window = nullptr; // the dialogs' parent; 导出 CSV…'s Ctrl+S works anywhere in it
    QTreeView *list = nullptr;
    CheckEngine *engine = nullptr;
    std::function<QList<int>()> selectedRows;            // rows of the results, in the order shown
    std::function<QList<int>()> shownRows;               // rows of the results the list shows, in its order
    std::function<QList<FactColumn>()> shownFactColumns; // in order
    std::function<void()> openSelectedRow;
    std::function<void()> recheckStarted; // a re-check of the selection has begun
};

// What people do with the rows of the result list, at the top of its
// right-click menu: 复制 (Ctrl+C), 导出 CSV… (Ctrl+S), 在浏览器中打开, and
// 重新检查所选行, which probes the selected rows again while no check runs.
// Each is enabled only where it has something to work on (导出 CSV… a list
// with rows, the others a selection).
class ListActions : public QObject {
    Q_OBJECT
public:
    // The entries go in front of what the menu already holds, a separator between.
    ListActions(ListHost host, QMenu *menu, MessageBox *messages, SaveDialog *saveDialog = nullptr);

    void setSaveDialog(SaveDialog *saveDialog) { m_saveDialog = saveDialog; }

    [[nodiscard]] QAction *copyAction() const { return m_copy; }
    [[nodiscard]] QAction *exportAction() const { return m_export; }
    [[nodiscard]] QAction *openAction() const { return m_open; }
    [[nodiscard]] QAction *recheckAction() const { return m_recheck; }

    // Asks for a file and writes the list to it as CSV: the rows it shows in
    // its order, the columns it shows (the six and their red keys, then the fact
    // columns shown, "变化" among them where the list shows it, while it does);
    // false when cancelled or not written (the user is told why).
    // During a check it writes the rows so far, the dialog's title saying so.
    bool exportCsv();
    // The selected rows as TSV with a header line, the columns the list shows, as exportCsv.
    [[nodiscard]] QString selectedRowsTsv() const;
    // Probes the selected rows again; false while a check runs or with none selected.
    bool recheckSelected();

private:
    void updateEnabled();
    [[nodiscard]] ResultTable shownTable(const QList<int> &rows) const;

    ListHost m_host;
    MessageBox *m_messages;
    SaveDialog *m_saveDialog;
    QAction *m_copy = nullptr;
    QAction *m_export = nullptr;
    QAction *m_open = nullptr;
    QAction *m_recheck = nullptr;
};

// "www.example.com/" and ".csv" → "www.example.com.csv": a file name from the checked site.
[[nodiscard]] QString suggestedFileName(const QString &site, const QString &ending);

} // namespace friendlinks
