// The window records its checks and re-checks into the history while "记录历史" in the list's menu is on
// (remembered), and says once in the banner strip when the history cannot record.
#include "app/Form2.h"
#include "app/HistorySetting.h"
#include "app/ListActions.h"

#include "check/HistoryStore.h"
#include "tests/common/WindowFixture.h"

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
    void TearDown() override { qputenv("FRIENDLINKS_HISTORY", savedEnvironment); }

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
    EXPECT_FALSE(form->bannerNotes()->noteLabel()->text().contains(QStringLiteral("历史")));

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
    const QLabel *note = form->bannerNotes()->noteLabel();
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(listRows(form->list()), 2) << "the check still fills the list";
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QStringLiteral("无法记录历史：%1 is not a friendlinks history (not an SQLite database)").arg(QDir::toNativeSeparators(path())));
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_FALSE(note->isVisible() && note->text().contains(QStringLiteral("无法记录历史"))) << "said once";
    EXPECT_TRUE(messages.shown.empty()) << "no message box for it";
}
