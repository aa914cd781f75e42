// 检查多个网站…: the list of sites as `check --sites` reads it, the batch on the same core, the side list of
// sites with their summaries, one site at a time in the list, and the export of all sites as the batch CSV.
#include "app/HistorySetting.h"
#include "app/SeveralSitesAction.h"
#include "app/SeveralSitesDialog.h"
#include "app/SitesWindow.h"
#include "check/BatchCheck.h"
#include "check/CsvFormat.h"
#include "check/HistoryStore.h"
#include "check/ResultTable.h"

#include "tests/common/WindowFixture.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

using namespace friendlinks;

namespace {

struct SeveralSites : WindowFixture {
    QTemporaryDir dir;
    RecordingSaveDialog saveDialog;

    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        // Two sites with friends, one that cannot be reached.
        web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">一号</a>\n"
                                                    "<a href=\"http://www.two.com/\">二号</a>\n");
        web.world().setPage("http://www.other.com/", "<a href=\"http://www.one.com/\">一号</a>\n");
        web.world().setPage("http://www.one.com/", "<a href=\"http://www.home.com/\">首页</a>");
        web.world().setPage("http://www.two.com/", "nothing back");
        web.world().set(QStringLiteral("http://www.nonexist.test/"), answer(200, "", fakeweb::Answer::Fault::Drop));
        web.world().setPage("http://www.baidu.com/s?wd=site:www.one.com/", baiduResultPage("约5", "www.one.com/"));
        web.world().setPage("http://www.baidu.com/s?wd=site:www.two.com/", baiduResultPage("约7", "www.two.com/"));
    }

    QString writeFile(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("sites.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    [[nodiscard]] SitesWindow *checkAll(const QStringList &sites)
    {
        form->severalSites()->setSaveDialog(&saveDialog);
        SitesWindow *view = form->severalSites()->check(sites);
        EXPECT_NE(view, nullptr);
        QSignalSpy finished(view->batch(), &BatchCheck::finished);
        EXPECT_TRUE(finished.wait(kWaitMs));
        return view;
    }
};

} // namespace

TEST_F(SeveralSites, TheListIsTypedPastedOrReadAsTheSitesFileIsRead)
{
    SeveralSitesDialog dialog(nullptr, [this](QWidget *) { return writeFile("\xEF\xBB\xBFwww.a.com\n# b\nwww.c.com  # mine\n"); });
    QPushButton *checkButton = dialog.buttons()->button(QDialogButtonBox::Ok);
    EXPECT_EQ(checkButton->text(), QStringLiteral("检查"));
    EXPECT_FALSE(checkButton->isEnabled()); // nothing to check yet

    dialog.listBox()->setPlainText("www.a.com\n\n  www.b.com  \n");
    EXPECT_EQ(dialog.sites(), (QStringList{"www.a.com", "www.b.com"}));
    EXPECT_TRUE(checkButton->isEnabled());

    dialog.listBox()->setPlainText("www.a.com\njavascript:alert(1)\n");
    EXPECT_FALSE(checkButton->isEnabled());
    EXPECT_TRUE(dialog.problemLabel()->text().startsWith(QStringLiteral("第 2 行："))) << dialog.problemLabel()->text().toStdString();

    dialog.chooseAndReadFile();
    EXPECT_EQ(dialog.sites(), (QStringList{"www.a.com", "www.c.com"}));
    EXPECT_TRUE(checkButton->isEnabled());

    EXPECT_FALSE(dialog.readFile(writeFile(QByteArray("www.a.com\nbin\0ary\n", 18))));
    EXPECT_TRUE(dialog.problemLabel()->text().contains(QStringLiteral("line 2 holds a NUL byte")));
    EXPECT_FALSE(checkButton->isEnabled());
    EXPECT_FALSE(dialog.readFile(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_TRUE(dialog.problemLabel()->text().startsWith(QStringLiteral("无法读取")));
}

TEST_F(SeveralSites, TheListMenuOpensTheDialogWhoseCheckRunsTheBatch)
{
    open();
    QAction *action = form->severalSites()->action();
    EXPECT_EQ(action->text(), QStringLiteral("检查多个网站…"));
    EXPECT_TRUE(form->findChild<QMenu *>(QStringLiteral("listMenu"))->actions().contains(action));
    SeveralSitesDialog *dialog = form->severalSites()->openDialog();
    dialog->listBox()->setPlainText("www.home.com\nwww.other.com\n");
    dialog->buttons()->button(QDialogButtonBox::Ok)->click();
    ASSERT_NE(form->severalSites()->view(), nullptr);
    EXPECT_EQ(form->severalSites()->view()->batch()->siteCount(), 2);
    QSignalSpy finished(form->severalSites()->view()->batch(), &BatchCheck::finished);
    EXPECT_TRUE(finished.wait(kWaitMs));
}

TEST_F(SeveralSites, EachSiteHasItsSummaryAndTheListShowsTheOneChosen)
{
    open();
    SitesWindow *view = checkAll({"www.home.com", "www.nonexist.test", "www.other.com"});
    EXPECT_EQ(view->selector()->topLevelItemCount(), 3);

    const SiteSummary home = view->summary(0);
    EXPECT_EQ(home.state, SiteSummary::State::Done);
    EXPECT_EQ(home.rows, 2);
    EXPECT_GE(home.redCells, 1); // www.two.com does not link back
    EXPECT_EQ(home.notChecked, 0);
    EXPECT_EQ(view->summary(1).state, SiteSummary::State::Unreachable);
    EXPECT_EQ(view->summary(1).rows, 0);
    EXPECT_EQ(view->summary(2).rows, 1);
    EXPECT_EQ(view->selector()->topLevelItem(0)->text(2), "2");
    EXPECT_EQ(view->selector()->topLevelItem(1)->text(1), QStringLiteral("无法访问"));
    EXPECT_TRUE(view->statusLabel()->text().contains(QStringLiteral("共 3 行")));

    EXPECT_EQ(view->shownSite(), 0);
    EXPECT_EQ(listRows(view->list()), 2);
    EXPECT_EQ(listText(view->list(), 0, 0), "http://www.one.com/");
    view->selector()->setCurrentItem(view->selector()->topLevelItem(2));
    EXPECT_EQ(view->shownSite(), 2);
    EXPECT_EQ(listRows(view->list()), 1);
    EXPECT_TRUE(isRed(view->list(), 0, 2) == (view->batch()->results(2)->row(0).cells[Column::fanlian].red));
    // The main window's own list is not touched by a batch.
    EXPECT_EQ(listRows(form->list()), 0);
}

TEST_F(SeveralSites, EachSiteIsRecordedInTheHistoryAndTheWindowsListIsNotCompared)
{
    open();
    checkAll({"www.home.com", "www.other.com"});
    HistoryStore store;
    ASSERT_TRUE(store.open(historyDir.filePath(QStringLiteral("history.sqlite"))));
    const QList<CheckSummary> home = store.checksOf(QStringLiteral("www.home.com"));
    ASSERT_EQ(home.size(), 1);
    EXPECT_EQ(home[0].rowCount, 2);
    EXPECT_EQ(store.checksOf(QStringLiteral("www.other.com")).size(), 1);

    // With 记录历史 off nothing more is recorded.
    form->historySetting()->recordAction()->setChecked(false);
    checkAll({"www.home.com"});
    EXPECT_EQ(store.checksOf(QStringLiteral("www.home.com")).size(), 1);
}

TEST_F(SeveralSites, ExportWritesEverySiteAsTheBatchCsvDoes)
{
    open();
    SitesWindow *view = checkAll({"www.home.com", "www.other.com"});
    saveDialog.answer = dir.filePath(QStringLiteral("sites.csv"));
    ASSERT_TRUE(view->exportCsv());
    EXPECT_EQ(saveDialog.titles, QStringList{QStringLiteral("导出 CSV")});
    QFile file(saveDialog.answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_EQ(written, formatCsv(batchTable(view->batch()->allResults())));
    EXPECT_TRUE(written.startsWith(QByteArray(kCsvByteOrderMark) + QStringLiteral("站点,网站地址").toUtf8()));
    EXPECT_EQ(written.count("\r\nwww.home.com,http://www.one.com/,"), 1);
    EXPECT_EQ(written.count("\r\nwww.home.com,http://www.two.com/,"), 1);
    EXPECT_EQ(written.count("\r\nwww.other.com,http://www.one.com/,"), 1);

    saveDialog.answer.clear(); // cancelled: nothing written
    EXPECT_FALSE(view->exportCsv());
}

TEST_F(SeveralSites, ExportDuringTheBatchSaysItIsNotFinishedAndANewBatchReplacesTheView)
{
    web.world().setPage("http://www.two.com/", "slow", 800);
    open();
    form->severalSites()->setSaveDialog(&saveDialog);
    SitesWindow *first = form->severalSites()->check({"www.home.com"});
    QPointer<SitesWindow> watched(first);
    saveDialog.answer = dir.filePath(QStringLiteral("part.csv"));
    EXPECT_TRUE(first->exportCsv());
    EXPECT_EQ(saveDialog.titles, QStringList{QStringLiteral("导出 CSV（检查尚未完成）")});

    SitesWindow *second = checkAll({"www.other.com"});
    QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), 2000); // closed, its batch stopped
    EXPECT_EQ(form->severalSites()->view(), second);
}
