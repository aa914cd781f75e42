// The result list's right-click menu: export through the save-dialog seam, re-check of chosen rows.
#include "app/Form2.h"
#include "app/ListActions.h"
#include "app/ModernModeUi.h"

#include "check/CsvFormat.h"
#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QProgressBar>
#include <QTemporaryDir>

using namespace friendlinks;

namespace {

// Answers the save dialog with a set path and remembers that it was asked.
class RecordingSaveDialog : public SaveDialog {
public:
    QString askSaveFile(QWidget *, const QString &, const QString &suggestedName, const QString &) override
    {
        suggested << suggestedName;
        return answer;
    }
    QString answer;
    QStringList suggested;
};

struct ListMenu : WindowFixture {
    RecordingSaveDialog saveDialog;
    QTemporaryDir dir;

    void SetUp() override
    {
        WindowFixture::SetUp();
        web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">说\"好\",的</a>\n"
                                                    "<a href=\"http://www.two.com/\">二号</a>\n");
        web.world().setPage("http://www.one.com/", "<a href=\"http://www.home.com/\">首页</a>");
        web.world().setPage("http://www.two.com/", "<a href=\"http://www.home.com/\">首页</a>");
        open();
        form->listActions()->setSaveDialog(&saveDialog);
        ASSERT_TRUE(query(QStringLiteral("www.home.com")));
        ASSERT_EQ(listRows(form->list()), 2);
    }

    void selectOnly(int row)
    {
        selectOnlyRow(form->list(), row);
    }
};

TEST_F(ListMenu, CtrlSExportsTheListAsCsv)
{
    saveDialog.answer = dir.filePath("links.csv");
    form->list()->setColumnHidden(kColumnCount + int(FactColumn::status), false); // the columns shown are written
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(saveDialog.suggested.size(), 1);
    EXPECT_TRUE(saveDialog.suggested.first().endsWith("www.home.com.csv"));
    QFile file(saveDialog.answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_EQ(written, formatCsv(resultTable(*form->engine()->results(), {FactColumn::status})));
    EXPECT_TRUE(written.contains(QStringLiteral("http://www.one.com/,\"说\"\"好\"\",的\",首页").toUtf8()));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ListMenu, CancelledOrUnwritableExportWritesNothing)
{
    saveDialog.answer.clear();
    EXPECT_FALSE(form->listActions()->exportCsv());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    saveDialog.answer = dir.filePath("no/such/folder/links.csv");
    EXPECT_FALSE(form->listActions()->exportCsv());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown.front().text.startsWith("无法写入文件："));
}

TEST_F(ListMenu, RecheckProbesOnlyTheSelectedRow)
{
    const QString firstBefore = listText(form->list(), 0, 2);
    web.world().setPage("http://www.one.com/", "<p>gone</p>");
    web.world().setPage("http://www.two.com/", "<p>gone</p>");
    selectOnly(1);
    QAction *recheck = form->listActions()->recheckAction();
    ASSERT_TRUE(recheck->isEnabled());
    QSignalSpy finished(form->engine(), &CheckEngine::finished);
    recheck->trigger();
    EXPECT_FALSE(recheck->isEnabled()) << "disabled while the re-check runs";
    EXPECT_TRUE(form->progressBar()->isVisible());
    EXPECT_EQ(form->progressBar()->maximum(), 1) << "counts the rows being checked again";
    EXPECT_EQ(form->progressBar()->value(), 0);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_TRUE(recheck->isEnabled());
    EXPECT_FALSE(form->progressBar()->isVisible());
    EXPECT_EQ(listText(form->list(), 0, 2), firstBefore);
    EXPECT_EQ(listText(form->list(), 1, 2), "没有链接");
}

TEST_F(ListMenu, CopyAndExportWaitForRows)
{
    ListActions *actions = form->listActions();
    selectOnly(0);
    EXPECT_TRUE(actions->copyAction()->isEnabled());
    EXPECT_TRUE(actions->exportAction()->isEnabled());
    web.world().setPage("http://www.home.com/", "<p>no friends</p>");
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    ASSERT_EQ(listRows(form->list()), 0);
    EXPECT_FALSE(actions->copyAction()->isEnabled());
    EXPECT_FALSE(actions->exportAction()->isEnabled());
    saveDialog.answer = dir.filePath("empty.csv");
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(saveDialog.suggested.isEmpty()) << "Ctrl+S asks for no file";
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(ListMenu, OpenGoesToTheSelectedRowsAddress)
{
    selectOnly(1);
    form->listActions()->openAction()->trigger();
    EXPECT_EQ(browser.opened, (QStringList{"http://www.two.com/"}));
}

} // namespace
