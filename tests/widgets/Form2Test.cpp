// The window without a check: its controls and their looks, its list, and what the engine's signals do to it.
#include "app/Form2.h"

#include "launcher/Form9.h"
#include "ui/PictureButton.h"
#include "ui/Twips.h"

#include "tests/common/Recorders.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

struct Window : ::testing::Test {
    RecordingBrowser browser;
    RecordingMessageBox messages;
    Form2 form{CheckSettings{}, &browser, &messages};
    void SetUp() override { form.show(); }
    void addRow(int row, const QString &address) { emit form.engine()->rowAdded(row, address, QStringLiteral("名字")); }
};

} // namespace

TEST_F(Window, ControlsAtTheirPlacesInFrontOfTheBackground)
{
    const int dpi = form.logicalDpiX();
    EXPECT_EQ(form.size(), QSize(twips(11055, dpi), twips(4530, dpi)));
    const std::pair<const char *, QRect> places[] = {
        {"ListView1", twipsRect(27, 654, 10995, 3495, dpi)}, {"Text1", twipsRect(1080, 240, 2775, 375, dpi)},
        {"Label1", twipsRect(120, 297, 945, 240, dpi)},      {"Command1", twipsRect(3960, 240, 975, 375, dpi)},
        {"Label2", twipsRect(120, 0, 4860, 180, dpi)},       {"Picture1", twipsRect(5160, 240, 5775, 375, dpi)},
        {"Label3", twipsRect(5160, 0, 5775, 180, dpi)},      {"Frame1", twipsRect(0, 4200, 11055, 297, dpi)},
        {"Image2", twipsRect(0, -960, 12015, 9255, dpi)},
    };
    for (const auto &[name, rect] : places) {
        const auto *w = form.findChild<QWidget *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->geometry(), rect) << name;
    }
    // The background is scaled to its place, and stands first among the children: at the back.
    const auto *image2 = form.findChild<QLabel *>(QStringLiteral("Image2"), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(image2->pixmap().size(), QSize(831, 541));
    EXPECT_TRUE(image2->hasScaledContents());
    EXPECT_EQ(form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(), image2);
    EXPECT_TRUE(form.windowTitle().contains(QStringLiteral("v8.0")));
    EXPECT_EQ(form.windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}}));
    const auto *button = qobject_cast<PictureButton *>(form.queryButton());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->face().size(), QSize(100, 47));
    EXPECT_EQ(button->text(), QStringLiteral("查 询"));
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(Window, TabOrderFromListToLauncher)
{
    // The next widget that Tab reaches, skipping a control's own inner parts.
    const auto nextStop = [](QWidget *w) {
        QWidget *n = w->nextInFocusChain();
        while (n != w && !(n->focusPolicy() & Qt::TabFocus))
            n = n->nextInFocusChain();
        return n;
    };
    EXPECT_EQ(nextStop(form.list()), form.siteBox());
    EXPECT_EQ(nextStop(form.siteBox()), form.queryButton());
    EXPECT_EQ(nextStop(form.queryButton()), form.launcher()->searchButton());
}

TEST_F(Window, SixHeadersAndWidthsThenTheHiddenFactColumns)
{
    const QStringList headers{"网站地址", "网站名字", "反链关键字", "百度收录", "百度快照", "百度site首页"};
    ASSERT_EQ(form.list()->columnCount(), 6 + kFactColumnCount);
    EXPECT_EQ(form.list()->topLevelItemCount(), 0);
    EXPECT_FALSE(form.list()->rootIsDecorated());
    for (int c = 0; c < form.list()->columnCount(); ++c) {
        EXPECT_EQ(form.list()->isColumnHidden(c), c >= 6) << c;
        if (c < 6) {
            EXPECT_EQ(form.list()->headerItem()->text(c), headers[c]);
            EXPECT_EQ(form.list()->columnWidth(c), (c == 0 ? 150 : 100) * form.logicalDpiX() / 96) << c;
        }
    }
}

TEST_F(Window, ClockShowsDesignTextThenDate)
{
    EXPECT_EQ(form.clock()->text(), QStringLiteral("Label3"));
    QTRY_VERIFY_WITH_TIMEOUT(form.clock()->text() != QStringLiteral("Label3"), 2000);
    EXPECT_TRUE(form.clock()->text().contains(QString::number(QDate::currentDate().year() % 100)));
}

TEST_F(Window, DoubleClickOpensSelectedRowOnce)
{
    addRow(0, QStringLiteral("http://a.test"));
    addRow(1, QStringLiteral("http://中文.test"));
    form.openSelectedRow();
    EXPECT_TRUE(browser.opened.isEmpty());
    QTreeWidgetItem *item = form.list()->topLevelItem(1);
    form.list()->setCurrentItem(item);
    const QRect r = form.list()->visualItemRect(item);
    QTest::mouseClick(form.list()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(form.list()->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(browser.opened, QStringList{QStringLiteral("http://中文.test")});
}

TEST_F(Window, CopyGivesEscapedTsvAndCellsShowOnOneLineButKeepTheirText)
{
    addRow(0, QStringLiteral("http://a.test"));
    emit form.engine()->cellSet(0, Column::guanjianzi, QStringLiteral("a\tb\\c\nd"), false);
    emit form.engine()->cellSet(0, Column::rp, QStringLiteral("否"), true);
    emit form.engine()->cellSet(0, Column::kuaizhao, QStringLiteral("12K 2026-11-30 \r\n"), true);
    form.list()->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(form.selectedRowsTsv(), QStringLiteral("网站地址\t网站名字\t反链关键字\t百度收录\t百度快照\t百度site首页\t标红\n"
                                                     "http://a.test\ta\\tb\\\\c\\nd\t\t\t12K 2026-11-30 \\r\\n\t否\tkuaizhao,rp\n"));
    EXPECT_EQ(form.list()->topLevelItem(0)->text(4), QStringLiteral("12K 2026-11-30 \r\n"));
    EXPECT_EQ(form.list()->topLevelItem(0)->foreground(4).color(), QColor(255, 0, 0));
    // One line high: no taller than a row holding plain text.
    addRow(1, QStringLiteral("http://b.test/"));
    QStyleOptionViewItem option;
    option.initFrom(form.list());
    const QAbstractItemDelegate *delegate = form.list()->itemDelegate();
    EXPECT_EQ(delegate->sizeHint(option, form.list()->model()->index(0, 4)).height(),
              delegate->sizeHint(option, form.list()->model()->index(1, 0)).height());
}
