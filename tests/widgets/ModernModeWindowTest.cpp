// The window's modern mode: the check item of the list's menu and the banner note.
#include "app/Form2.h"
#include "app/ModernModeUi.h"

#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

using namespace friendlinks;

namespace {

struct ModernModeWindow : WindowFixture {
    void SetUp() override
    {
        WindowFixture::SetUp();
        web.world().setPage(QStringLiteral("https://www.mysite.com/"),
                            "<a href=\"https://www.friend-a.com/\">甲</a><a href=\"http://www.friend-b.net/\">乙</a>"
                            "<a href=\"https://bbs.friend-c.org/\">丙</a>");
    }

    void open(bool modern, bool trusted = true)
    {
        WindowFixture::open([&](CheckSettings &s) {
            s.baiduHost = QStringLiteral("www.baidu.test");
            s.timeoutMs = 2000;
            if (trusted)
                s.authorities = fakeweb::FakeWeb::authority();
            s.modern = modern;
        });
    }

    [[nodiscard]] QAction *modernAction() const { return form->modernModeUi()->modernAction(); }
    [[nodiscard]] QLabel *note() const { return form->modernModeUi()->bannerNote(); }
};

} // namespace

TEST_F(ModernModeWindow, ClassicCheckTellsWhereToFindTheHttpsFriends)
{
    open(false);
    EXPECT_EQ(form->list()->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_TRUE(form->modernModeUi()->listMenu()->actions().contains(modernAction()));
    EXPECT_TRUE(modernAction()->isCheckable());
    EXPECT_FALSE(modernAction()->isChecked());
    EXPECT_EQ(modernAction()->text(), QStringLiteral("现代模式"));

    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    EXPECT_EQ(form->list()->topLevelItemCount(), 1);
    EXPECT_TRUE(note()->isVisible());
    EXPECT_EQ(note()->text(), QStringLiteral("另有 2 个 https 友链未列出，在列表右键菜单勾选“现代模式”一并检查"));

    // The check item takes effect from the next press: then every friend is listed, and nothing is said.
    modernAction()->setChecked(true);
    EXPECT_TRUE(form->engine()->settings().modern);
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    ASSERT_EQ(form->list()->topLevelItemCount(), 3);
    EXPECT_EQ(form->list()->topLevelItem(0)->text(0), QStringLiteral("https://www.friend-a.com/"));
    EXPECT_FALSE(note()->isVisible());

    open(true); // started modern, the item is checked
    EXPECT_TRUE(modernAction()->isChecked());
}

TEST_F(ModernModeWindow, UntrustedSiteSaysWhyInTheBanner)
{
    open(false, false);
    ASSERT_TRUE(query(QStringLiteral("https://www.mysite.com")));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("网址可能无法访问"));
    EXPECT_TRUE(note()->isVisible());
    EXPECT_TRUE(note()->text().startsWith(QStringLiteral("证书不可信："))) << note()->text().toStdString();
}
