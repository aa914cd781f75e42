// A check the user controls, through an in-process fakeweb: Enter starts it, the query button reads "停止"
// while it runs and stops it as Esc does, the rows it did not get to read "未检查", nothing more goes to Baidu,
// another site restarts it and says so; export during a check says it is not finished; the list's order and
// its problem filter are what copy, export, open and 历史… work on.
#include "app/CheckControl.h"
#include "app/HeaderSort.h"
#include "app/HistoryActions.h"
#include "app/ListActions.h"
#include "app/ProblemFilter.h"
#include "app/ResultsListModel.h"

#include "check/CsvFormat.h"
#include "probes/BaiduProbe.h"
#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <algorithm>

using namespace friendlinks;

namespace {

const QString kBaidu = QStringLiteral("www.baidu.com");
const int kShoulu = int(Column::shoulu);

// www.home.com links to four friends that all link back; Baidu counts 1,200, 9, 10 and 30 pages for them.
// The check runs one row at a time, so how far it came when stopped is known.
struct WindowStop : WindowFixture {
    RecordingSaveDialog saveDialog;
    QTemporaryDir dir;

    void SetUp() override
    {
        WindowFixture::SetUp();
        QByteArray home;
        const QStringList counts{"约1,200", "9", "约10", "30"};
        for (int f = 1; f <= 4; ++f) {
            const QString site = QStringLiteral("http://www.f%1.com/").arg(f);
            home += QStringLiteral("<a href=\"%1\">友%2</a>\n").arg(site).arg(f).toUtf8();
            web.world().setPage(site, "<a href=\"http://www.home.com/\">首页</a>");
            web.world().setPage(baiduQueryUrl(kBaidu, site), baiduResultPage(counts[f - 1], site.mid(7)));
        }
        web.world().setPage("http://www.home.com/", home);
        web.world().setPage("http://www.other.com/", "<p>no friends</p>");
        open([](CheckSettings &s) { s.jobs = 1; });
        form->listActions()->setSaveDialog(&saveDialog);
        activate();
    }

    // The window's shortcuts (Esc, Ctrl+S, Ctrl+F) work in the active window.
    void activate()
    {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Starts the check of www.home.com with Enter and waits for its Baidu query of friend f to arrive, which
    // then never gets an answer.
    [[nodiscard]] bool startAndHoldBaiduAt(int f)
    {
        web.world().set(baiduQueryUrl(kBaidu, QStringLiteral("http://www.f%1.com/").arg(f)),
                        answer(200, {}, fakeweb::Answer::Fault::Stall));
        QSignalSpy started(form->engine(), &CheckEngine::started);
        form->siteBox()->setText(QStringLiteral("www.home.com"));
        QTest::keyClick(form->siteBox(), Qt::Key_Return);
        // One row at a time: friend f's query is the f-th to Baidu.
        return started.size() == 1 && waitUntil([this, f] { return web.hostRequests(kBaidu) == f; });
    }

    [[nodiscard]] QStringList shownLinks() const
    {
        QStringList links;
        for (int row = 0; row < listRows(form->list()); ++row)
            links << listText(form->list(), row, 0);
        return links;
    }
};

bool isGrey(const QTreeView *list, int row, int column)
{
    const QVariant v = list->model()->index(row, column).data(Qt::ForegroundRole);
    return v.isValid() && v.value<QBrush>().color() == QColor(128, 128, 128);
}

} // namespace

TEST_F(WindowStop, EnterStartsTheCheckAndEscStopsItKeepingWhatWasFound)
{
    EXPECT_EQ(form->queryButton()->text(), QStringLiteral("查 询"));
    ASSERT_TRUE(startAndHoldBaiduAt(2));
    EXPECT_EQ(form->queryButton()->text(), kStopCaption) << "the same button stops it";
    const int baiduAsked = web.hostRequests(kBaidu);
    EXPECT_EQ(baiduAsked, 2);

    QSignalSpy finished(form->engine(), &CheckEngine::siteFinished);
    QTest::keyClick(form->list(), Qt::Key_Escape);
    EXPECT_FALSE(form->engine()->isRunning());
    EXPECT_EQ(form->queryButton()->text(), QStringLiteral("查 询"));
    EXPECT_EQ(form->messageArea()->texts().value(0), QStringLiteral("已停止：检查了 1/4 行"));
    EXPECT_EQ(form->messageArea()->texts().value(1), QStringLiteral("共 4 行，标红 0 处"));

    // Row 1 was checked whole; row 2 has its back link and no Baidu cells; rows 3 and 4 have nothing.
    ASSERT_EQ(listRows(form->list()), 4);
    EXPECT_EQ(listText(form->list(), 0, kShoulu), QStringLiteral("约1,200篇"));
    EXPECT_EQ(listText(form->list(), 1, int(Column::fanlian)), QStringLiteral("首页"));
    EXPECT_FALSE(isGrey(form->list(), 1, int(Column::fanlian)));
    for (const auto &[row, column] : QList<std::pair<int, int>>{{1, kShoulu}, {1, int(Column::rp)}, {2, int(Column::fanlian)},
                                                                 {3, kShoulu}}) {
        EXPECT_EQ(listText(form->list(), row, column), kUncheckedText) << row << "," << column;
        EXPECT_TRUE(isGrey(form->list(), row, column)) << row << "," << column;
    }
    EXPECT_EQ(listText(form->list(), 3, 1), QStringLiteral("友4\r\n")) << "the harvest's cells stay";
    // Export writes what was found: the cells a stopped check did not fill are empty there.
    saveDialog.answer = dir.filePath(QStringLiteral("stopped.csv"));
    ASSERT_TRUE(form->listActions()->exportCsv());
    EXPECT_EQ(saveDialog.titles.value(0), QStringLiteral("导出 CSV")) << "the check is over";
    QFile file(saveDialog.answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(QString::fromUtf8(file.readAll()).contains(kUncheckedText));

    // Nothing more goes out: the held Baidu query is dropped and no other row is probed.
    EXPECT_TRUE(waitUntil([this] { return web.openConnections() == 0; }));
    QSignalSpy requests(&web, &fakeweb::FakeWeb::requestReceived);
    EXPECT_FALSE(requests.wait(500)) << requests.value(0).value(0).toString().toStdString();
    EXPECT_EQ(web.hostRequests(kBaidu), baiduAsked);
    EXPECT_TRUE(finished.isEmpty()) << "a stopped check is not a finished one";

    // Checking the stopped rows again fills them.
    selectOnlyRow(form->list(), 3);
    QSignalSpy rechecked(form->engine(), &CheckEngine::recheckFinished);
    form->listActions()->recheckAction()->trigger();
    ASSERT_TRUE(rechecked.wait(kWaitMs));
    EXPECT_EQ(listText(form->list(), 3, kShoulu), QStringLiteral("30篇"));
    EXPECT_EQ(listText(form->list(), 2, kShoulu), kUncheckedText) << "a row not asked for stays as it was";
}

TEST_F(WindowStop, AnotherSiteRestartsAndSaysTheEarlierCheckStoppedAndExportSaysItIsNotFinished)
{
    ASSERT_TRUE(startAndHoldBaiduAt(1));
    saveDialog.answer = dir.filePath(QStringLiteral("half.csv"));
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(saveDialog.titles.size(), 1);
    EXPECT_EQ(saveDialog.titles[0], QStringLiteral("导出 CSV（检查尚未完成，只导出已有的结果）"));
    QFile half(saveDialog.answer);
    ASSERT_TRUE(half.open(QIODevice::ReadOnly));
    EXPECT_EQ(half.readAll(), formatCsv(resultTable(*form->engine()->results())));
    EXPECT_TRUE(form->engine()->isRunning()) << "exporting does not stop it";

    // Another site in the box: the button reads 查询 again and starts it at once.
    form->siteBox()->setText(QStringLiteral("www.other.com"));
    EXPECT_EQ(form->queryButton()->text(), QStringLiteral("查 询"));
    QSignalSpy finished(form->engine(), &CheckEngine::siteFinished);
    QTest::mouseClick(form->queryButton(), Qt::LeftButton);
    EXPECT_TRUE(messages.shown.empty()) << "nothing asked";
    EXPECT_EQ(form->queryButton()->text(), kStopCaption);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_EQ(finished[0][0].value<SiteResult>().outcome.site, QStringLiteral("www.other.com"));
    EXPECT_EQ(form->messageArea()->texts(), (QStringList{QStringLiteral("共 0 行，标红 0 处"), QStringLiteral("经典模式"),
                                                         QStringLiteral("已停止 www.home.com 的检查：检查了 0/4 行")}));
    EXPECT_EQ(form->queryButton()->text(), QStringLiteral("查 询"));

    // Esc with nothing running does nothing.
    QTest::keyClick(form->list(), Qt::Key_Escape);
    EXPECT_EQ(form->messageArea()->texts().size(), 3);
}

TEST_F(WindowStop, CopyExportOpenAndHistoryFollowTheOrderAndFilterShown)
{
    web.world().setPage("http://www.f3.com/", "<p>no link back</p>");
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(form->messageArea()->texts().value(0), QStringLiteral("共 4 行，标红 1 处"));

    // A click on 百度收录's header: by the number of pages, not the text.
    QHeaderView *header = form->list()->header();
    const int x = header->sectionViewportPosition(kShoulu) + header->sectionSize(kShoulu) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(form->headerSort()->column(), kShoulu);
    EXPECT_EQ(shownLinks(), (QStringList{"http://www.f2.com/", "http://www.f3.com/", "http://www.f4.com/",
                                         "http://www.f1.com/"}));

    // Copy, open and 历史… take the row shown where it is shown.
    selectOnlyRow(form->list(), 0);
    EXPECT_EQ(form->selectedRows(), QList<int>{1});
    QTest::keyClick(form->list(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().split('\n').value(1).startsWith("http://www.f2.com/\t"));
    form->listActions()->openAction()->trigger();
    EXPECT_EQ(browser.opened, QStringList{"http://www.f2.com/"});
    FriendHistoryDialog *history = form->historyActions()->openFriendHistory();
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(history->windowTitle().contains(QStringLiteral("www.f2.com"))) << history->windowTitle().toStdString();
    history->close();

    // Export writes the rows in the order shown.
    const auto exported = [this](const QString &name) {
        saveDialog.answer = dir.filePath(name);
        EXPECT_TRUE(form->listActions()->exportCsv());
        QFile file(saveDialog.answer);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const QString sorted = exported(QStringLiteral("sorted.csv"));
    QList<qsizetype> at;
    for (const char *link : {"http://www.f2.com/,", "http://www.f3.com/,", "http://www.f4.com/,", "http://www.f1.com/,"})
        at << sorted.indexOf(QLatin1String(link));
    EXPECT_TRUE(at[0] > 0 && std::is_sorted(at.begin(), at.end())) << sorted.toStdString();

    // Only the problem rows, from the list's menu or Ctrl+F: f3 does not link back. Export writes that row alone.
    ProblemFilter *filter = form->problemFilter();
    EXPECT_TRUE(form->findChild<QMenu *>(QStringLiteral("listMenu"))->actions().contains(filter->action()));
    activate();
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(filter->action()->isChecked());
    EXPECT_EQ(shownLinks(), QStringList{"http://www.f3.com/"});
    EXPECT_EQ(form->messageArea()->status(), QStringLiteral("只看有问题的行：1/4 行"));
    const QString filtered = exported(QStringLiteral("filtered.csv"));
    EXPECT_TRUE(filtered.contains(QStringLiteral("http://www.f3.com/,")));
    for (const char *other : {"www.f1.com", "www.f2.com", "www.f4.com"})
        EXPECT_FALSE(filtered.contains(QLatin1String(other))) << other;

    // The filter is remembered for the next start, and so is the sort.
    open();
    EXPECT_TRUE(form->problemFilter()->action()->isChecked());
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(shownLinks(), QStringList{"http://www.f3.com/"});
    form->problemFilter()->action()->trigger();
    EXPECT_EQ(shownLinks().value(0), QStringLiteral("http://www.f2.com/"));
    EXPECT_EQ(form->messageArea()->status(), QString());
    open();
    EXPECT_FALSE(form->problemFilter()->action()->isChecked());
}

// What the query button reads while the message box of an unreachable site is open.
struct CaptionAtBox : MessageBox {
    void show(QWidget *, const QString &, const QString &text, MessageIcon) override
    {
        seen << text + QLatin1Char('|') + (button ? button->text() : QString());
    }
    QPushButton *button = nullptr;
    QStringList seen;
};

TEST_F(WindowStop, TheButtonReadsQueryAgainBeforeTheMessageBoxOpens)
{
    web.world().set(QStringLiteral("http://www.gone.com/"), answer(200, "", fakeweb::Answer::Fault::Drop));
    CaptionAtBox box;
    CheckSettings settings;
    settings.proxy = web.proxy();
    form = std::make_unique<Form2>(settings, &browser, &box);
    box.button = form->queryButton();
    form->show();
    ASSERT_TRUE(query(QStringLiteral("www.gone.com")));
    EXPECT_EQ(box.seen, QStringList{QStringLiteral("网址可能无法访问|查 询")});
    EXPECT_EQ(form->messageArea()->messages().value(0).tone, Message::Tone::Error);
}
