// The window records its checks and re-checks into the history while "记录历史" in the list's menu is on
// (remembered), and says once in the banner strip when the history cannot record.
#include "app/Form2.h"
#include "app/FriendHistoryDialog.h"
#include "app/FriendHistoryModel.h"
#include "app/HistoryActions.h"
#include "app/HistorySetting.h"
#include "app/ListActions.h"

#include "check/HistoryStore.h"
#include "tests/common/WindowFixture.h"
#include "ui/TimeChart.h"

#include <QDir>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>

using namespace friendlinks;

namespace {

struct WindowHistory : WindowFixture {
    QTemporaryDir dir;
    QByteArray savedEnvironment;

    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        savedEnvironment = qgetenv("FRIENDLINKS_HISTORY");
        qputenv("FRIENDLINKS_HISTORY", path().toUtf8());
        web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">一号</a>\n"
                                                    "<a href=\"http://www.two.com/\">二号</a>\n");
        web.world().setPage("http://www.one.com/", "<a href=\"http://www.home.com/\">首页</a>");
        web.world().setPage("http://www.two.com/", "<p>no link back</p>");
    }
    void TearDown() override
    {
        form.reset();
        qputenv("FRIENDLINKS_HISTORY", savedEnvironment);
        WindowFixture::TearDown();
    }

    [[nodiscard]] QString path() const { return dir.filePath(QStringLiteral("history.sqlite")); }

    [[nodiscard]] QList<CheckSummary> recorded()
    {
        HistoryStore store;
        EXPECT_TRUE(store.open(path())) << store.lastError().reason.toStdString();
        return store.checksOf(QStringLiteral("www.home.com"));
    }

    [[nodiscard]] QAction *recordItem() const
    {
        for (QMenu *menu : form->findChildren<QMenu *>())
            for (QAction *action : menu->actions())
                if (action->text() == QStringLiteral("记录历史"))
                    return action;
        return nullptr;
    }
};

} // namespace

TEST_F(WindowHistory, ChecksAndRechecksAreRecordedWhileTheListsMenuItemIsOn)
{
    open();
    QAction *item = recordItem();
    ASSERT_NE(item, nullptr) << "in the list's menu";
    EXPECT_EQ(item, form->historySetting()->recordAction());
    EXPECT_TRUE(item->isCheckable() && item->isChecked()) << "on at the first start";
    EXPECT_EQ(form->historySetting()->path(), path());
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    web.world().setPage("http://www.two.com/", "<a href=\"http://www.home.com/\">回来了</a>");
    selectOnlyRow(form->list(), 1);
    QSignalSpy rechecked(form->engine(), &CheckEngine::recheckFinished);
    form->listActions()->recheckAction()->trigger();
    ASSERT_TRUE(rechecked.wait(kWaitMs));
    QList<CheckSummary> checks = recorded();
    ASSERT_EQ(checks.size(), 2);
    EXPECT_EQ(checks[0].rowCount, 2) << "a re-check records the whole list";
    EXPECT_FALSE(messageLines(*form).contains(QStringLiteral("历史")));

    item->setChecked(false);
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(recorded().size(), 2) << "not recorded while off";
    open();
    EXPECT_FALSE(recordItem()->isChecked()) << "remembered";
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(recorded().size(), 2);
    recordItem()->setChecked(true);
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(recorded().size(), 3);
}

TEST_F(WindowHistory, AHistoryThatCannotRecordIsSaidOnceInTheBanner)
{
    QFile garbage(path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    open();
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(listRows(form->list()), 2) << "the check still fills the list";
    const QList<Message> said = form->messageArea()->messages();
    ASSERT_FALSE(said.isEmpty());
    EXPECT_EQ(said[0].text, QStringLiteral("无法记录历史：%1 is not a friendlinks history (not an SQLite database)").arg(QDir::toNativeSeparators(path())));
    EXPECT_EQ(said[0].tone, Message::Tone::Error);
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_FALSE(messageLines(*form).contains(QStringLiteral("无法记录历史"))) << "said once";
    EXPECT_TRUE(messages.shown.empty()) << "no message box for it";
}

namespace {

// Answers the confirmation as set and remembers what it was asked.
struct RecordingConfirmation : Confirmation {
    bool confirm(QWidget *, const QString &title, const QString &text) override
    {
        asked << title + QStringLiteral(": ") + text;
        return answer;
    }
    bool answer = false;
    QStringList asked;
};

} // namespace

TEST_F(WindowHistory, HistoryOfTheSelectedFriendShowsEachRecordedCheck)
{
    open();
    HistoryActions *actions = form->historyActions();
    EXPECT_FALSE(actions->historyAction()->isEnabled()) << "nothing recorded, nothing selected";
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    web.world().setPage("http://www.two.com/", "<a href=\"http://www.home.com/\" rel=nofollow>回来了</a>");
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_FALSE(actions->historyAction()->isEnabled()) << "no row selected";
    EXPECT_TRUE(actions->clearAction()->isEnabled());
    selectOnlyRow(form->list(), 1);
    ASSERT_TRUE(actions->historyAction()->isEnabled());
    actions->historyAction()->trigger();
    FriendHistoryDialog *dialog = actions->friendHistoryDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    const FriendHistoryModel *model = dialog->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->text(0, FriendHistoryModel::BackLink), QStringLiteral("回来了")) << "the newest first";
    EXPECT_EQ(model->text(0, FriendHistoryModel::Follow), QStringLiteral("否"));
    EXPECT_TRUE(model->isRed(0, FriendHistoryModel::Follow));
    EXPECT_EQ(model->text(1, FriendHistoryModel::BackLink), QStringLiteral("没有链接"));
    EXPECT_TRUE(model->isRed(1, FriendHistoryModel::BackLink));
    const QList<ChartPoint> points = dialog->chart()->series().points;
    ASSERT_EQ(points.size(), 2);
    EXPECT_EQ(points[0].mark, ChartMark::Bad);
    EXPECT_EQ(points[1].mark, ChartMark::Weak);
    EXPECT_EQ(points[0].at, recorded().last().started);

    selectOnlyRow(form->list(), 0);
    actions->historyAction()->trigger();
    ASSERT_NE(actions->friendHistoryDialog(), nullptr);
    EXPECT_EQ(actions->friendHistoryDialog()->model()->text(0, FriendHistoryModel::BackLink), QStringLiteral("首页"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(WindowHistory, ClearingTheSitesHistoryAsksFirstAndSaysHowManyChecksWent)
{
    open();
    RecordingConfirmation confirmation;
    form->historyActions()->setConfirmation(&confirmation);
    EXPECT_FALSE(form->historyActions()->clearAction()->isEnabled()) << "no site shown yet";
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    QAction *clear = form->historyActions()->clearAction();
    ASSERT_TRUE(clear->isEnabled());
    clear->trigger();
    ASSERT_EQ(confirmation.asked.size(), 1);
    EXPECT_EQ(confirmation.asked[0], QStringLiteral("清除本站历史: 清除 www.home.com 的 2 次检查记录？清除后无法恢复。"));
    EXPECT_EQ(recorded().size(), 2) << "answered no";

    confirmation.answer = true;
    QSignalSpy cleared(form->historyActions(), &HistoryActions::siteCleared);
    clear->trigger();
    EXPECT_EQ(recorded().size(), 0);
    ASSERT_EQ(cleared.size(), 1);
    EXPECT_EQ(cleared[0][0].toString(), QStringLiteral("www.home.com"));
    EXPECT_EQ(form->messageArea()->texts().value(0), QStringLiteral("已清除 www.home.com 的 2 次检查记录"))
        << messageLines(*form).toStdString();
    EXPECT_FALSE(clear->isEnabled()) << "nothing left to clear";
    EXPECT_FALSE(form->historyActions()->historyAction()->isEnabled());
}

TEST_F(WindowHistory, AHistoryThatCannotBeReadIsSaidWhenClearingOrShowingIt)
{
    open();
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    form.reset();
    QFile garbage(path());
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    QFile::remove(path() + QStringLiteral("-wal"));
    QFile::remove(path() + QStringLiteral("-shm"));
    open();
    RecordingConfirmation confirmation;
    confirmation.answer = true;
    form->historyActions()->setConfirmation(&confirmation);
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    selectOnlyRow(form->list(), 0);
    EXPECT_EQ(form->historyActions()->openFriendHistory(), nullptr);
    const QString reason = QStringLiteral("%1 is not a friendlinks history (not an SQLite database)").arg(QDir::toNativeSeparators(path()));
    EXPECT_EQ(form->messageArea()->texts().value(0), QStringLiteral("无法读取历史：") + reason) << messageLines(*form).toStdString();
    EXPECT_EQ(form->historyActions()->clearSiteHistory(), 0);
    EXPECT_EQ(form->messageArea()->texts().value(0), QStringLiteral("无法清除历史：") + reason) << messageLines(*form).toStdString();
    EXPECT_TRUE(confirmation.asked.isEmpty());
}

TEST_F(WindowHistory, ExportReportWritesTheSitesReportWhereTheUserSays)
{
    open();
    RecordingSaveDialog saveDialog;
    form->historyActions()->setSaveDialog(&saveDialog);
    EXPECT_FALSE(form->historyActions()->reportAction()->isEnabled()) << "nothing recorded";
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    QAction *report = form->historyActions()->reportAction();
    ASSERT_TRUE(report->isEnabled());

    report->trigger(); // cancelled: an empty answer
    ASSERT_EQ(saveDialog.suggested.size(), 1);
    EXPECT_TRUE(saveDialog.suggested[0].endsWith(QStringLiteral("/www.home.com.html"))) << saveDialog.suggested[0].toStdString();

    saveDialog.answer = dir.filePath(QStringLiteral("report.html"));
    report->trigger();
    QFile written(saveDialog.answer);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(written.readAll());
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>"), Qt::CaseInsensitive));
    EXPECT_TRUE(html.contains(QStringLiteral("www.two.com"))) << "the rows of the check";
    EXPECT_EQ(form->messageArea()->texts().value(0), QStringLiteral("已导出报告：") + QDir::toNativeSeparators(saveDialog.answer));

    saveDialog.answer = dir.filePath(QStringLiteral("no-such-folder/report.html"));
    EXPECT_FALSE(form->historyActions()->exportReport());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("无法写入文件：") + saveDialog.answer));
}
