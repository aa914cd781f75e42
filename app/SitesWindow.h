#pragma once

#include "app/SiteSelector.h"
#include "check/CheckSettings.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace friendlinks {

class BatchCheck;
class MessageBox;
class ResultsListModel;
class SaveDialog;
struct SiteResult;

// The several-sites view: a batch of sites checked on the same core as
// `check --sites` (BatchCheck: one pool, one per-host limit, one Baidu pace
// and block), the side list of sites with each one's summary, the result list
// of the site chosen there, and 导出 CSV…, which writes every site as
// `check --sites --format csv` does. Closing it stops the batch.
class SitesWindow : public QWidget {
    Q_OBJECT
public:
    SitesWindow(CheckSettings settings, QStringList sites, MessageBox *messages, SaveDialog *saveDialog,
                QWidget *parent = nullptr);
    ~SitesWindow() override;

    void start();

    [[nodiscard]] BatchCheck *batch() const { return m_batch; }
    [[nodiscard]] SiteSelector *selector() const { return m_selector; }
    [[nodiscard]] QTreeView *list() const { return m_list; }
    [[nodiscard]] QPushButton *exportButton() const { return m_export; }
    [[nodiscard]] QLabel *statusLabel() const { return m_status; }
    [[nodiscard]] SiteSummary summary(int site) const { return m_summaries.value(site); }
    [[nodiscard]] int shownSite() const { return m_shown; }

    // The list shows the site at index site of the batch.
    void showSite(int site);
    // Asks for a file and writes all sites to it as the batch CSV; false when cancelled or not written.
    bool exportCsv();

private:
    QLayout *createBottomRow(int sites);
    void refreshRunning();
    void siteFinished(int site, const SiteResult &result);
    void updateStatus();

    MessageBox *m_messages;
    SaveDialog *m_saveDialog;
    BatchCheck *m_batch = nullptr;
    SiteSelector *m_selector = nullptr;
    QTreeView *m_list = nullptr;
    ResultsListModel *m_listModel = nullptr;
    QPushButton *m_export = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    QList<SiteSummary> m_summaries;
    int m_shown = -1;
    int m_sitesDone = 0;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace friendlinks
