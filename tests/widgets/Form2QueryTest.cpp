// The window driving real checks through an in-process fakeweb, as a user works with it: a query fills the list,
// its rows are copied, opened, exported and checked again, the header's menu shows the fact columns, the banner
// strip tells what went wrong, and the modern mode is chosen from the list's menu. What a check finds is the
// engine's (tests/check); here only what the window makes of it.
#include "app/ChangesColumn.h"
#include "app/Form2.h"
#include "app/ListActions.h"

#include "check/CsvFormat.h"
#include "launcher/Form9.h"
#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>

using namespace friendlinks;

namespace {

// www.home.com after a check: a sponsored link to one, which links back nofollow from a nofollow page, and a
// plain link to two, which does not link back. https://www.mysite.com has an https friend and an http one.
struct CheckedWindow : WindowFixture {
    RecordingSaveDialog saveDialog;
    QTemporaryDir dir;

    void SetUp() override
    {
        WindowFixture::SetUp();
        web.world().setPage("http://www.home.com/", "<a rel=\"sponsored\" href=\"http://www.one.com/\">一号</a>\n"
                                                    "<a href=\"http://www.two.com/\">二号</a>\n");
        web.world().setPage("http://www.one.com/", "<meta name=robots content=nofollow>"
                                                   "<a href=\"http://www.home.com/\" rel=nofollow>首页</a>");
        web.world().setPage("http://www.two.com/", "<p>no link back</p>");
        web.world().setPage("https://www.mysite.com/", "<a href=\"https://www.friend-a.com/\">甲</a>"
                                                       "<a href=\"http://www.friend-b.net/\">乙</a>");
        open();
        form->listActions()->setSaveDialog(&saveDialog);
        ASSERT_TRUE(query(QStringLiteral("www.home.com")));
        ASSERT_EQ(listRows(form->list()), 2);
    }

    // Right-clicks the list's header as a user does and returns the menu that opens.
    QMenu *rightClickHeader()
    {
        QWidget *header = form->list()->header()->viewport();
        const QPoint at(10, header->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, header->mapToGlobal(at));
        QApplication::sendEvent(header, &event);
        for (QMenu *menu : form->findChildren<QMenu *>())
            if (menu->isVisible())
                return menu;
        return nullptr;
    }
};

} // namespace

TEST_F(CheckedWindow, AQueryFillsTheListWithItsRedCellsAndShowsItsProgress)
{
    form->launcher()->keywordBox()->clear();
    QSignalSpy finished(form->engine(), &CheckEngine::siteFinished);
    QTest::mouseClick(form->queryButton(), Qt::LeftButton);
    EXPECT_EQ(form->launcher()->keywordBox()->text(), QStringLiteral("www.home.com"));
    EXPECT_TRUE(form->progressBar()->isVisible());
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_FALSE(form->progressBar()->isVisible());
    EXPECT_EQ(form->progressBar()->value(), form->progressBar()->maximum());
    ASSERT_EQ(listRows(form->list()), 2);
    EXPECT_EQ(listText(form->list(), 0, 2), QStringLiteral("首页"));
    EXPECT_TRUE(isRed(form->list(), 1, 2)) << "没有链接";
    EXPECT_TRUE(messages.shown.empty());
    // The list's tips: the whole address on its column, a fact column's meaning on its header.
    const QAbstractItemModel *shown = form->list()->model();
    EXPECT_EQ(shown->index(1, 0).data(Qt::ToolTipRole), QStringLiteral("http://www.two.com/"));
    EXPECT_FALSE(shown->index(1, 1).data(Qt::ToolTipRole).isValid());
    EXPECT_EQ(shown->headerData(kColumnCount, Qt::Horizontal, Qt::ToolTipRole), factColumns()[0].toolTip);
}

TEST_F(CheckedWindow, CopyTakesTheSelectedRowsAndACellShowsOnOneLine)
{
    selectOnlyRow(form->list(), 1);
    QTest::keyClick(form->list(), Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 3); // the header, the row and the empty piece after the last line break
    EXPECT_TRUE(lines[1].startsWith("http://www.two.com/\t二号\\r\\n\t没有链接\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("\tfanlian")) << "the red keys";
    // A fact column the list shows is copied too, as 导出 CSV… writes it.
    form->list()->setColumnHidden(kColumnCount + int(FactColumn::status), false);
    QTest::keyClick(form->list(), Qt::Key_C, Qt::ControlModifier);
    const QStringList withFact = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(withFact.size(), 3);
    EXPECT_TRUE(withFact[0].endsWith(QStringLiteral("\t标红\tHTTP状态"))) << withFact[0].toStdString();
    EXPECT_TRUE(withFact[1].endsWith("\tfanlian\t200")) << withFact[1].toStdString();
    // A name keeps its line break, and its row is no taller for it than a plain Chinese text.
    QStyleOptionViewItem option;
    option.initFrom(form->list());
    const QAbstractItemModel *model = form->list()->model();
    const QAbstractItemDelegate *delegate = form->list()->itemDelegate();
    EXPECT_EQ(delegate->sizeHint(option, model->index(0, 1)).height(),
              delegate->sizeHint(option, model->index(0, 2)).height());
}

TEST_F(CheckedWindow, DoubleClickOrOpenGoesToTheRowsAddressOrSaysIt)
{
    form->openSelectedRow();
    EXPECT_TRUE(browser.opened.isEmpty()) << "nothing selected";
    const QRect second = form->list()->visualRect(form->list()->model()->index(1, 0));
    QTest::mouseClick(form->list()->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(form->list()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(browser.opened, QStringList{"http://www.two.com/"});
    // Without a browser the address is said on a line of its own, to be copied.
    browser.works = false;
    form->listActions()->openAction()->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.endsWith("\nhttp://www.two.com/")) << messages.shown[0].text.toStdString();
}

TEST_F(CheckedWindow, CtrlSExportsTheColumnsTheListShowsOnceThereAreRows)
{
    EXPECT_FALSE(form->listActions()->exportCsv()) << "cancelled";
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    saveDialog.answer = dir.filePath("no/such/folder/links.csv");
    EXPECT_FALSE(form->listActions()->exportCsv());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown.front().text.startsWith("无法写入文件："));

    saveDialog.answer = dir.filePath("links.csv");
    form->list()->setColumnHidden(kColumnCount + int(FactColumn::status), false);
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(saveDialog.suggested.size(), 3);
    EXPECT_TRUE(saveDialog.suggested.last().endsWith("www.home.com.csv"));
    QFile file(saveDialog.answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), formatCsv(resultTable(*form->engine()->results(), {FactColumn::status})));

    // With the list empty Ctrl+S asks for no file and Ctrl+C leaves the clipboard alone.
    web.world().setPage("http://www.home.com/", "<p>no friends</p>");
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    ASSERT_EQ(listRows(form->list()), 0);
    EXPECT_FALSE(form->listActions()->copyAction()->isEnabled());
    EXPECT_FALSE(form->listActions()->exportAction()->isEnabled());
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialog.suggested.size(), 3);
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(CheckedWindow, RecheckShowsItsProgressLikeAQuery)
{
    web.world().setPage("http://www.two.com/", "<a href=\"http://www.home.com/\">回来了</a>");
    selectOnlyRow(form->list(), 1);
    QAction *recheck = form->listActions()->recheckAction();
    QSignalSpy finished(form->engine(), &CheckEngine::recheckFinished);
    recheck->trigger();
    EXPECT_FALSE(recheck->isEnabled()) << "disabled while the re-check runs";
    EXPECT_TRUE(form->progressBar()->isVisible());
    EXPECT_EQ(form->progressBar()->maximum(), 1) << "counts the rows being checked again";
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_TRUE(recheck->isEnabled());
    EXPECT_FALSE(form->progressBar()->isVisible());
    EXPECT_EQ(listText(form->list(), 1, 2), QStringLiteral("回来了"));
}

TEST_F(CheckedWindow, HeaderMenuShowsAndHidesTheFactColumns)
{
    QMenu *menu = rightClickHeader();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), kColumnCount + kFactColumnCount);
    for (int c = 0; c < kColumnCount + kFactColumnCount; ++c) {
        EXPECT_EQ(menu->actions()[c]->text(), form->list()->model()->headerData(c, Qt::Horizontal).toString());
        EXPECT_EQ(menu->actions()[c]->isChecked(), c < kColumnCount) << c;
        EXPECT_EQ(menu->actions()[c]->isEnabled(), c >= kColumnCount) << "the six stay shown";
    }
    const int status = kColumnCount + int(FactColumn::status);
    for (const bool shown : {true, false}) {
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->actions()[status]->isChecked(), !shown) << "the menu shows what is shown";
        menu->actions()[status]->trigger();
        EXPECT_EQ(form->list()->isColumnHidden(status), !shown);
        menu->close();
        menu = rightClickHeader();
    }
}

TEST_F(CheckedWindow, WeakLinksAreRedAndABaiduBlockIsTold)
{
    const int baiduState = kColumnCount + int(FactColumn::baiduState);
    for (FactColumn red : {FactColumn::backlinkNofollow, FactColumn::pageNofollow, FactColumn::ourNofollow}) {
        EXPECT_EQ(listText(form->list(), 0, kColumnCount + int(red)), QStringLiteral("是"));
        EXPECT_TRUE(isRed(form->list(), 0, kColumnCount + int(red)));
    }
    EXPECT_FALSE(isRed(form->list(), 0, kColumnCount + int(FactColumn::outbound)));
    EXPECT_FALSE(isRed(form->list(), 0, baiduState));

    web.world().setHostAnswerFrom(QStringLiteral("www.baidu.com"), 1, captchaRedirect());
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    QStringList redStates; // the row whose query met the security check, at least
    for (int row = 0; row < listRows(form->list()); ++row)
        if (isRed(form->list(), row, baiduState))
            redStates << listText(form->list(), row, baiduState);
    EXPECT_FALSE(redStates.isEmpty());
    EXPECT_EQ(redStates.count(QStringLiteral("blocked")), redStates.size());
    EXPECT_EQ(form->messageArea()->texts().count(kBaiduBlockedMessage), 1) << messageLines(*form).toStdString();
}

TEST_F(CheckedWindow, ClosingMidCheckEndsCleanly)
{
    web.world().setPage("http://www.two.com/", "<p>slow</p>", 3000);
    QSignalSpy rowAdded(form->engine()->results(), &QAbstractItemModel::rowsInserted);
    QTest::mouseClick(form->queryButton(), Qt::LeftButton);
    ASSERT_TRUE(rowAdded.wait(kWaitMs));
    ASSERT_TRUE(form->engine()->isRunning());
    form->close();
    form.reset();
    // With the window gone its requests are dropped, and nothing answers into it.
    EXPECT_TRUE(waitUntil([this] { return web.openConnections() == 0; }));
}

TEST_F(CheckedWindow, ModernModeIsChosenFromTheListsMenuAndAClassicCheckTellsWhyToChooseIt)
{
    QAction *modern = form->modeSetting()->modernAction();
    const QLabel *modeNote = form->bannerNotes()->modeLabel();
    EXPECT_FALSE(modern->isChecked());
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    EXPECT_EQ(listRows(form->list()), 1);
    EXPECT_EQ(modeNote->text(), QStringLiteral("经典模式"));
    EXPECT_EQ(form->messageArea()->texts(),
              (QStringList{QStringLiteral("另有 1 个友链未列出（https 1），在列表右键菜单勾选“现代模式”一并检查"),
                           QStringLiteral("共 1 行，标红 1 处"), QStringLiteral("经典模式")}));

    // The check item takes effect from the next press: then every friend is listed, and the area is cleared.
    modern->setChecked(true);
    QSignalSpy compared(form->changesColumn(), &ChangesColumn::compared);
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    ASSERT_TRUE(!compared.isEmpty() || compared.wait(kWaitMs)) << "compared with the history after the check";
    EXPECT_EQ(listRows(form->list()), 2);
    // (What the area says first now is what changed since the classic check: the friend it passed over is new.)
    EXPECT_FALSE(messageLines(*form).contains(QStringLiteral("未列出")));
    EXPECT_TRUE(form->changesColumn()->available());
    const QString latest = form->messageArea()->texts().value(0);
    EXPECT_TRUE(latest.startsWith(QStringLiteral("与 ")) && latest.endsWith(QStringLiteral(" 相比：1 个新增")))
        << messageLines(*form).toStdString();
    EXPECT_EQ(modeNote->text(), QStringLiteral("现代模式"));

    // The choice outlives the window, in the settings file README names: the next start is modern, until unchecked.
    EXPECT_TRUE(windowSettings().fileName().endsWith(QStringLiteral("/friendlinks/friendlinks.ini")))
        << windowSettings().fileName().toStdString();
    open();
    EXPECT_TRUE(form->modeSetting()->modernAction()->isChecked());
    EXPECT_TRUE(form->engine()->settings().modern);
    form->modeSetting()->modernAction()->setChecked(false);
    open();
    EXPECT_FALSE(form->modeSetting()->modernAction()->isChecked());
    open([](CheckSettings &s) { s.modern = true; }); // started modern, the item is checked
    EXPECT_TRUE(form->modeSetting()->modernAction()->isChecked());
}

TEST_F(CheckedWindow, AnUnreachableSiteGetsTheMessageBoxAndTheCauseInTheMessageArea)
{
    open([](CheckSettings &s) { s.authorities.clear(); });
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("网址可能无法访问"));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::information);
    const MessageArea *area = form->messageArea();
    ASSERT_FALSE(area->messages().isEmpty());
    EXPECT_TRUE(area->texts()[0].startsWith(QStringLiteral("证书不可信："))) << messageLines(*form).toStdString();
    EXPECT_EQ(area->messages()[0].tone, Message::Tone::Error);

    // Any other cause goes to the area beside the same message box; a home page with an error status too.
    web.world().set(QStringLiteral("http://www.dropped.com/"), answer(200, "", fakeweb::Answer::Fault::Drop));
    ASSERT_TRUE(query(QStringLiteral("www.dropped.com")));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(area->texts(), (QStringList{QStringLiteral("网址可能无法访问：连接被中断"), QStringLiteral("共 0 行，标红 0 处"),
                                          QStringLiteral("经典模式")}));
    EXPECT_EQ(area->messages()[0].tone, Message::Tone::Error);
    EXPECT_EQ(area->messages()[1].tone, Message::Tone::Quiet);
    web.world().set(QStringLiteral("http://www.moved-out.com/"), answer(404, "<p>gone</p>"));
    ASSERT_TRUE(query(QStringLiteral("www.moved-out.com")));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(area->texts().value(0), QStringLiteral("首页返回 HTTP 404"));
    EXPECT_EQ(area->messages()[0].tone, Message::Tone::Normal);
}

TEST_F(CheckedWindow, TheMessageAreaSaysWhatTheCommandLineSaysOfACheck)
{
    // A home page cut at the size cap, read as far as it came.
    web.world().set(QStringLiteral("http://www.endless.com/"), answer(200, "", fakeweb::Answer::Fault::Endless));
    ASSERT_TRUE(query(QStringLiteral("www.endless.com")));
    MessageArea *area = form->messageArea();
    EXPECT_EQ(area->texts().value(0), QStringLiteral("首页过大，只读了前 16 MB，其后的链接未列出"));
    EXPECT_TRUE(messages.shown.empty());

    // Friend links past the row limit (a page of ten thousand friends is the engine's test to build).
    SiteResult result;
    result.outcome.uncheckedLinks = 3;
    result.outcome.baiduTlsError = QStringLiteral("<b>self-signed</b>\x1b");
    area->clear();
    area->showResult(result);
    EXPECT_EQ(area->texts(), (QStringList{QStringLiteral("只检查了前 10000 个友情链接，其余 3 个未检查"),
                                          QStringLiteral("百度的证书不可信：<b>self-signed</b>\\x1b，百度各列留空"),
                                          QStringLiteral("共 0 行，标红 0 处"), QStringLiteral("经典模式")}));
    // The tip holds every message in full, its markup escaped: no transport's words become markup.
    EXPECT_TRUE(area->toolTip().contains(QStringLiteral("&lt;b&gt;self-signed&lt;/b&gt;"))) << area->toolTip().toStdString();
    area->copyAction()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), area->texts().join(QLatin1Char('\n')));
}
