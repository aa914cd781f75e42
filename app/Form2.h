#pragma once

#include "check/CheckEngine.h"
#include "ui/Platform.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace friendlinks {

class BannerNotes;
class ChangesColumn;
class CheckControl;
class HeaderSort;
class MessageArea;
class ProblemFilter;
class ResultsListModel;
class ResultsSortProxy;
class Form9;
class HistoryActions;
class ListActions;
class ModeSetting;
class HistorySetting;
class BaiduAgeSetting;
class SettingsAction;
class SeveralSitesAction;
class SiteHistory;
class WindowGeometry;

// The main window: site box, query button, result list, clock, banner and
// the embedded search launcher. Its form and control names (Form2, Text1,
// ListView1, ...) and their places in twips are kept from the original design.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(CheckSettings settings = {}, Browser *browser = nullptr, MessageBox *messages = nullptr,
                   QWidget *parent = nullptr);
    ~Form2() override;

    [[nodiscard]] QTreeView *list() const { return m_listView1; }
    [[nodiscard]] QLineEdit *siteBox() const { return m_text1; }
    [[nodiscard]] QPushButton *queryButton() const { return m_command1; }
    [[nodiscard]] QLabel *clock() const { return m_label3; }
    [[nodiscard]] QProgressBar *progressBar() const { return m_progress; }
    [[nodiscard]] Form9 *launcher() const { return m_form9; }
    [[nodiscard]] CheckEngine *engine() const { return m_engine; }
    // The check item of the mode, in the list's right-click menu.
    [[nodiscard]] ModeSetting *modeSetting() const { return m_modeSetting; }
    [[nodiscard]] HistorySetting *historySetting() const { return m_historySetting; }
    // The banner strip's mode of the last check.
    [[nodiscard]] BannerNotes *bannerNotes() const { return m_bannerNotes; }
    // The message line below the banner: the check's notes, counts, and the window's own words.
    [[nodiscard]] MessageArea *messageArea() const { return m_messageArea; }
    // Enter, Esc and the query button that reads "停止" while a check runs.
    [[nodiscard]] CheckControl *checkControl() const { return m_checkControl; }
    // The list's order and filter over its results, and what sets them.
    [[nodiscard]] ResultsSortProxy *sortProxy() const { return m_sortProxy; }
    [[nodiscard]] HeaderSort *headerSort() const { return m_headerSort; }
    [[nodiscard]] ProblemFilter *problemFilter() const { return m_problemFilter; }
    // The list's row actions (copy, export, open, re-check) and their save-dialog seam.
    [[nodiscard]] ListActions *listActions() const { return m_listActions; }
    // The list menu's 历史… and 清除本站历史, and their confirmation seam.
    [[nodiscard]] HistoryActions *historyActions() const { return m_historyActions; }
    // The 变化 column: what changed since the site's check before.
    [[nodiscard]] ChangesColumn *changesColumn() const { return m_changesColumn; }
    // Shows the header's menu of columns at pos (header coordinates); the
    // fact columns are check items, the six are shown and cannot be hidden,
    // 变化 follows the six while there is something to compare.
    QMenu *showColumnMenu(const QPoint &pos);

    [[nodiscard]] BaiduAgeSetting *baiduAgeSetting() const { return m_baiduAgeSetting; }
    // The list menu's 设置… and 检查多个网站….
    [[nodiscard]] SettingsAction *settingsAction() const { return m_settingsAction; }
    [[nodiscard]] SeveralSitesAction *severalSites() const { return m_severalSites; }
    // The sites checked before, offered in the site box.
    [[nodiscard]] SiteHistory *siteHistory() const { return m_siteHistory; }
    // The window's size, place and fact columns, remembered at close.
    [[nodiscard]] WindowGeometry *windowGeometry() const { return m_windowGeometry; }

    // The selected rows of the results, in the order the list shows them.
    [[nodiscard]] QList<int> selectedRows() const;
    // The rows of the results the list shows, in its order.
    [[nodiscard]] QList<int> shownRows() const;
    // The fact columns the list shows, in order.
    [[nodiscard]] QList<FactColumn> shownFactColumns() const;

public slots:
    void query();
    void onStarted(const QString &site);
    void onProgress(int done, int total);
    void onSiteFinished(const SiteResult &result);
    void onRecheckFinished();
    void openSelectedRow();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setUpFrame(int dpi);
    void createList(int dpi);
    void createQueryControls(int dpi);
    QWidget *createLauncherHostAndClock(int dpi);
    void createBannerStrip(int dpi);
    void embedLauncher(QWidget *picture1, int dpi);
    void connectSignals();
    void growWithWindow();
    void tick();

    Browser *m_browser = nullptr;
    MessageBox *m_messages = nullptr;
    CheckEngine *m_engine = nullptr;
    QLabel *m_image2 = nullptr;
    QTreeView *m_listView1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_bannerStrip = nullptr; // Frame1
    QProgressBar *m_progress = nullptr;
    Form9 *m_form9 = nullptr;
    QMenu *m_listMenu = nullptr;
    ModeSetting *m_modeSetting = nullptr;
    HistorySetting *m_historySetting = nullptr;
    BannerNotes *m_bannerNotes = nullptr;
    MessageArea *m_messageArea = nullptr;
    CheckControl *m_checkControl = nullptr;
    ResultsListModel *m_listModel = nullptr;
    ResultsSortProxy *m_sortProxy = nullptr;
    HeaderSort *m_headerSort = nullptr;
    ProblemFilter *m_problemFilter = nullptr;
    ListActions *m_listActions = nullptr;
    HistoryActions *m_historyActions = nullptr;
    ChangesColumn *m_changesColumn = nullptr;
    BaiduAgeSetting *m_baiduAgeSetting = nullptr;
    SettingsAction *m_settingsAction = nullptr;
    SeveralSitesAction *m_severalSites = nullptr;
    SiteHistory *m_siteHistory = nullptr;
    WindowGeometry *m_windowGeometry = nullptr;
    QTimer m_timer1;
};

} // namespace friendlinks
