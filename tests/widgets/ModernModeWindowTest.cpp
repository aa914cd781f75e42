// The window's modern mode: the check item of the list's menu and the banner note.
#include "app/Form2.h"
#include "app/ModernModeUi.h"

#include "tests/common/Recorders.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

constexpr int kWaitMs = 20000;

struct ModernModeWindow : ::testing::Test {
    fakeweb::FakeWeb web;
    RecordingBrowser browser;
    RecordingMessageBox messages;
    std::unique_ptr<Form2> form;

    void SetUp() override
    {
        ASSERT_TRUE(web.listen());
        web.world().setPage(QStringLiteral("https://www.mysite.com/"),
                            "<a href=\"https://www.friend-a.com/\">甲</a><a href=\"http://www.friend-b.net/\">乙</a>"
                            "<a href=\"https://bbs.friend-c.org/\">丙</a>");
        open(false);
    }

    void open(bool modern, bool trusted = true)
    {
        CheckSettings settings;
        settings.proxy = web.proxy();
        settings.baiduHost = QStringLiteral("www.baidu.test");
        settings.timeoutMs = 2000;
        if (trusted)
            settings.authorities = fakeweb::FakeWeb::authority();
        settings.modern = modern;
        form = std::make_unique<Form2>(settings, &browser, &messages);
        form->show();
    }

    // One press of the query button, waited out.
    void query()
    {
        QSignalSpy finished(form->engine(), &CheckEngine::finished);
        form->siteBox()->setText(QStringLiteral("https://www.mysite.com"));
        form->queryButton()->click();
        ASSERT_TRUE(finished.wait(kWaitMs));
    }

    [[nodiscard]] QAction *modernAction() const { return form->modernModeUi()->modernAction(); }
    [[nodiscard]] QLabel *note() const { return form->modernModeUi()->bannerNote(); }
};

TEST_F(ModernModeWindow, ClassicCheckTellsWhereToFindTheHttpsFriends)
{
    EXPECT_EQ(form->list()->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_TRUE(form->modernModeUi()->listMenu()->actions().contains(modernAction()));
    EXPECT_TRUE(modernAction()->isCheckable());
    EXPECT_FALSE(modernAction()->isChecked());
    EXPECT_EQ(modernAction()->text(), QStringLiteral("现代模式"));

    query();
    EXPECT_EQ(form->list()->topLevelItemCount(), 1);
    EXPECT_TRUE(note()->isVisible());
    EXPECT_EQ(note()->text(), QStringLiteral("另有 2 个 https 友链未列出，在列表右键菜单勾选“现代模式”一并检查"));

    // The check item takes effect from the next press: then every friend is listed, and nothing is said.
    modernAction()->setChecked(true);
    EXPECT_TRUE(form->engine()->settings().modern);
    query();
    ASSERT_EQ(form->list()->topLevelItemCount(), 3);
    EXPECT_EQ(form->list()->topLevelItem(0)->text(0), QStringLiteral("https://www.friend-a.com/"));
    EXPECT_FALSE(note()->isVisible());
}

TEST_F(ModernModeWindow, StartedModernTheItemIsChecked)
{
    open(true);
    EXPECT_TRUE(modernAction()->isChecked());
    query();
    EXPECT_EQ(form->list()->topLevelItemCount(), 3);
}

TEST_F(ModernModeWindow, UntrustedSiteSaysWhyInTheBanner)
{
    open(false, false);
    query();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("网址可能无法访问"));
    EXPECT_TRUE(note()->isVisible());
    EXPECT_TRUE(note()->text().startsWith(QStringLiteral("证书不可信："))) << note()->text().toStdString();
}

} // namespace
