// The fact columns of the window: hidden at start, shown and hidden from the
// header's menu, red where a link exchange is worth less; a Baidu block is
// told in the banner strip.
#include "app/Form2.h"
#include "app/ModernModeUi.h"

#include "tests/common/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>

using namespace friendlinks;

namespace {

int factColumn(FactColumn column)
{
    return kColumnCount + static_cast<int>(column);
}

struct FactColumns : WindowFixture {
    void SetUp() override
    {
        WindowFixture::SetUp();
        web.world().setPage("http://www.home9.com/", "<a rel=\"sponsored\" href=\"http://www.friend.com/\">友站</a>");
        web.world().setPage("http://www.friend.com/", "<meta name=robots content=nofollow>"
                                                      "<a href=\"http://www.home9.com/\" rel=nofollow>之家</a>");
        web.world().setHostAnswerFrom(QStringLiteral("www.baidu.com"), 1, captchaRedirect());
        open();
    }

    // Right-clicks the list's header as a user does and returns the menu that opens.
    QMenu *rightClickHeader()
    {
        QHeaderView *header = form->list()->header();
        const QPoint at(10, header->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, header->viewport()->mapToGlobal(at));
        QApplication::sendEvent(header->viewport(), &event);
        for (QMenu *menu : form->findChildren<QMenu *>()) {
            if (menu->isVisible())
                return menu;
        }
        return nullptr;
    }
};

} // namespace

TEST_F(FactColumns, HeaderMenuShowsAndHidesThem)
{
    QMenu *menu = rightClickHeader();
    ASSERT_NE(menu, nullptr);
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), kColumnCount + kFactColumnCount);
    for (int c = 0; c < actions.size(); ++c) {
        EXPECT_EQ(actions[c]->text(), headerText(form->list(), c));
        EXPECT_EQ(actions[c]->isChecked(), c < kColumnCount) << c;
        EXPECT_EQ(actions[c]->isEnabled(), c >= kColumnCount) << "the six stay shown";
    }
    const int status = factColumn(FactColumn::status);
    actions[status]->trigger();
    EXPECT_FALSE(form->list()->isColumnHidden(status));
    menu->close();

    menu = rightClickHeader();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions()[status]->isChecked()) << "the menu shows what is shown";
    menu->actions()[status]->trigger();
    EXPECT_TRUE(form->list()->isColumnHidden(status));
    menu->close();
}

TEST_F(FactColumns, WeakLinksAreRedAndABaiduBlockIsTold)
{
    ASSERT_TRUE(query(QStringLiteral("www.home9.com")));
    ASSERT_GE(listRows(form->list()), 1);
    EXPECT_EQ(listText(form->list(), 0, factColumn(FactColumn::status)), QStringLiteral("200"));
    for (FactColumn red : {FactColumn::backlinkNofollow, FactColumn::pageNofollow, FactColumn::ourNofollow}) {
        EXPECT_EQ(listText(form->list(), 0, factColumn(red)), QStringLiteral("是"));
        EXPECT_TRUE(isRed(form->list(), 0, factColumn(red)));
    }
    EXPECT_EQ(listText(form->list(), 0, factColumn(FactColumn::baiduState)), QStringLiteral("blocked"));
    EXPECT_TRUE(isRed(form->list(), 0, factColumn(FactColumn::baiduState)));
    EXPECT_FALSE(isRed(form->list(), 0, factColumn(FactColumn::outbound)));
    const QLabel *strip = form->modernModeUi()->bannerNote();
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->text(), kBaiduBlockedMessage);

    // A new check starts with the strip clear.
    web.world().setHostAnswerFrom(QStringLiteral("www.baidu.com"), 1000, {});
    QSignalSpy finished(form->engine(), &CheckEngine::finished);
    QTest::mouseClick(form->queryButton(), Qt::LeftButton);
    EXPECT_FALSE(strip->isVisible());
    ASSERT_TRUE(finished.wait(kWaitMs));
}
