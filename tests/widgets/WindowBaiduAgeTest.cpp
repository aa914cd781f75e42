// The window's "百度结果有效期" in the list's menu: remembered, handed to the engine with the history it
// records in, and a row whose Baidu answer was kept says in its tip when Baidu gave it.
#include "app/BaiduAgeSetting.h"
#include "app/BannerNotes.h"
#include "app/Form2.h"
#include "app/HistorySetting.h"
#include "app/ListActions.h"

#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>

using namespace friendlinks;

namespace {

struct WindowBaiduAge : WindowFixture {
    QTemporaryDir dir;
    QByteArray savedEnvironment;

    void SetUp() override
    {
        WindowFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        savedEnvironment = qgetenv("FRIENDLINKS_HISTORY");
        qputenv("FRIENDLINKS_HISTORY", dir.filePath(QStringLiteral("history.sqlite")).toUtf8());
        web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">一号</a>\n");
        web.world().setPage("http://www.one.com/", "<a href=\"http://www.home.com/\">首页</a>");
        web.world().setPage("http://www.baidu.com/s?wd=site:www.one.com/", baiduResultPage("约5", "www.one.com/"));
    }
    void TearDown() override { qputenv("FRIENDLINKS_HISTORY", savedEnvironment); }

    [[nodiscard]] QMenu *ageMenu() const { return form->findChild<QMenu *>(QStringLiteral("baiduMaxAge")); }
    [[nodiscard]] QAction *choice(const QString &caption) const
    {
        for (QAction *action : ageMenu()->actions())
            if (action->text() == caption)
                return action;
        return nullptr;
    }
    [[nodiscard]] QString tip(int column) const
    {
        return form->list()->model()->index(0, column).data(Qt::ToolTipRole).toString();
    }
};

} // namespace

TEST_F(WindowBaiduAge, TheListsMenuChoosesHowLongAnAnswerServes)
{
    open();
    ASSERT_NE(ageMenu(), nullptr);
    EXPECT_EQ(ageMenu()->title(), QStringLiteral("百度结果有效期"));
    QStringList captions;
    for (const QAction *action : ageMenu()->actions())
        captions << action->text();
    EXPECT_EQ(captions, (QStringList{"每次查询", "12 小时", "1 天"}));
    EXPECT_TRUE(choice("每次查询")->isChecked()) << "as the check always did, at the first start";
    EXPECT_EQ(form->engine()->settings().baiduMaxAgeMs, 0);

    choice("1 天")->trigger();
    EXPECT_EQ(form->engine()->settings().baiduMaxAgeMs, 86'400'000);
    EXPECT_EQ(form->engine()->settings().baiduAnswerHistory, form->historySetting()->path());
    form->historySetting()->recordAction()->setChecked(false);
    EXPECT_EQ(form->engine()->settings().baiduAnswerHistory, "") << "not recording: the check's own answers only";
    form->historySetting()->recordAction()->setChecked(true);

    open(); // the next start remembers
    EXPECT_TRUE(choice("1 天")->isChecked());
    EXPECT_EQ(form->engine()->settings().baiduMaxAgeMs, 86'400'000);
}

TEST_F(WindowBaiduAge, AKeptAnswerSendsNoQueryAndItsTipSaysWhen)
{
    open();
    choice("12 小时")->trigger();
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(web.hostRequests(QStringLiteral("www.baidu.com")), 1);
    EXPECT_EQ(tip(int(Column::shoulu)), "") << "asked now";

    web.clearLog();
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_EQ(web.hostRequests(QStringLiteral("www.baidu.com")), 0);
    EXPECT_EQ(form->list()->model()->index(0, int(Column::shoulu)).data().toString(), QStringLiteral("约5篇"));
    for (const Column column : {Column::shoulu, Column::kuaizhao, Column::rp})
        EXPECT_TRUE(tip(int(column)).startsWith(QStringLiteral("百度结果沿用 "))) << tip(int(column)).toStdString();
    EXPECT_EQ(tip(int(Column::fanlian)), "");

    // A re-check of the row is asked for: Baidu is asked again.
    web.clearLog();
    selectOnlyRow(form->list(), 0);
    QSignalSpy rechecked(form->engine(), &CheckEngine::recheckFinished);
    form->listActions()->recheckAction()->trigger();
    ASSERT_TRUE(rechecked.wait(kWaitMs));
    EXPECT_EQ(web.hostRequests(QStringLiteral("www.baidu.com")), 1);
    EXPECT_EQ(tip(int(Column::shoulu)), "");
}

TEST_F(WindowBaiduAge, TheMessageAreaCountsTheRowsBaidusBlockLeft)
{
    open();
    choice("1 天")->trigger();
    web.world().setHostAnswerFrom(QStringLiteral("www.baidu.com"), 1, captchaRedirect());
    ASSERT_TRUE(query(QStringLiteral("www.home.com")));
    EXPECT_TRUE(form->messageArea()->texts().contains(
        QStringLiteral("百度要求安全验证，其余各行的百度列未再查询（0 行沿用之前的结果，1 行为空）")))
        << messageLines(*form).toStdString();
    EXPECT_FALSE(form->messageArea()->texts().contains(kBaiduBlockedMessage)) << "what was said as it happened goes";
}
