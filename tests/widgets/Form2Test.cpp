#include "app/Form2.h"

#include "tests/common/Recorders.h"

#include "launcher/Form9.h"
#include "ui/Twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

struct Window : ::testing::Test {
    RecordingBrowser browser;
    RecordingMessageBox messages;
    Form2 form{CheckSettings{}, &browser, &messages};
    void SetUp() override { form.show(); }
    void addRow(int row, const QString &address)
    {
        emit form.engine()->rowAdded(row, address, QStringLiteral("名字"));
    }
};

} // namespace

TEST_F(Window, ControlsAtTheirPlaces)
{
    const int dpi = form.logicalDpiX();
    EXPECT_EQ(form.size(), QSize(twips(11055, dpi), twips(4530, dpi)));
    struct Place {
        const char *name;
        QRect rect;
    };
    const Place places[] = {
        {"ListView1", twipsRect(27, 654, 10995, 3495, dpi)}, {"Text1", twipsRect(1080, 240, 2775, 375, dpi)},
        {"Label1", twipsRect(120, 297, 945, 240, dpi)},      {"Command1", twipsRect(3960, 240, 975, 375, dpi)},
        {"Label2", twipsRect(120, 0, 4860, 180, dpi)},       {"Picture1", twipsRect(5160, 240, 5775, 375, dpi)},
        {"Label3", twipsRect(5160, 0, 5775, 180, dpi)},      {"Frame1", twipsRect(0, 4200, 11055, 297, dpi)},
    };
    for (const Place &p : places) {
        const auto *w = form.findChild<QWidget *>(QString::fromLatin1(p.name), Qt::FindDirectChildrenOnly);
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.rect) << p.name;
    }
    EXPECT_TRUE(form.windowTitle().contains(QStringLiteral("v8.0")));
    EXPECT_EQ(form.queryButton()->text(), QStringLiteral("查 询"));
    EXPECT_EQ(form.queryButton()->cursor().shape(), Qt::PointingHandCursor);
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

TEST_F(Window, SixHeadersAndWidths)
{
    const QStringList headers{"网站地址", "网站名字", "反链关键字", "百度收录", "百度快照", "百度site首页"};
    // The fact columns follow, hidden: the window opens with the six.
    ASSERT_EQ(form.list()->columnCount(), 6 + kFactColumnCount);
    for (int c = 0; c < form.list()->columnCount(); ++c)
        EXPECT_EQ(form.list()->isColumnHidden(c), c >= 6) << c;
    EXPECT_EQ(form.list()->topLevelItemCount(), 0);
    EXPECT_FALSE(form.list()->rootIsDecorated());
    const int dpi = form.logicalDpiX();
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(form.list()->headerItem()->text(c), headers[c]);
        EXPECT_EQ(form.list()->columnWidth(c), (c == 0 ? 150 : 100) * dpi / 96) << c;
    }
}

TEST_F(Window, ClockShowsDesignTextThenDate)
{
    EXPECT_EQ(form.clock()->text(), QStringLiteral("Label3"));
    QTRY_VERIFY_WITH_TIMEOUT(form.clock()->text() != QStringLiteral("Label3"), 2000);
    EXPECT_FALSE(form.clock()->text().isEmpty());
    EXPECT_TRUE(form.clock()->text().contains(QString::number(QDate::currentDate().year() % 100)));
}

TEST_F(Window, RowsFillFromEngineSignalsAndRedCellsOnly)
{
    emit form.engine()->started(QStringLiteral("a.test"));
    EXPECT_TRUE(form.progressBar()->isVisible());
    addRow(0, QStringLiteral("http://a.test"));
    addRow(1, QStringLiteral("http://b.test"));
    emit form.engine()->cellSet(1, Column::fanlian, QStringLiteral("无"), true);
    emit form.engine()->cellSet(1, Column::shoulu, QStringLiteral("12"), false);
    emit form.engine()->progress(1, 2);
    EXPECT_EQ(form.progressBar()->value(), 1);
    EXPECT_EQ(form.progressBar()->maximum(), 2);
    ASSERT_EQ(form.list()->topLevelItemCount(), 2);
    const QTreeWidgetItem *item = form.list()->topLevelItem(1);
    EXPECT_EQ(item->text(2), QStringLiteral("无"));
    EXPECT_EQ(item->foreground(2).color(), QColor(255, 0, 0));
    EXPECT_FALSE(item->data(3, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(item->data(0, Qt::ForegroundRole).isValid());
    emit form.engine()->finished();
    EXPECT_FALSE(form.progressBar()->isVisible());
}

TEST_F(Window, SiteUnreachableShowsMessage)
{
    emit form.engine()->siteUnreachable();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("网址可能无法访问"));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::information);
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
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QStringLiteral("http://中文.test"));
}

TEST_F(Window, CopyGivesEscapedTsv)
{
    addRow(0, QStringLiteral("http://a.test"));
    emit form.engine()->cellSet(0, Column::guanjianzi, QStringLiteral("a\tb\\c\nd"), false);
    emit form.engine()->cellSet(0, Column::rp, QStringLiteral("否"), true);
    emit form.engine()->cellSet(0, Column::kuaizhao, QStringLiteral("无"), true);
    form.list()->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(form.selectedRowsTsv(),
              QStringLiteral("网站地址\t网站名字\t反链关键字\t百度收录\t百度快照\t百度site首页\t标红\n"
                             "http://a.test\ta\\tb\\\\c\\nd\t\t\t无\t否\tkuaizhao,rp\n"));
}

TEST_F(Window, CellsShowOnOneLineButKeepTheirText)
{
    addRow(0, QStringLiteral("http://a.test/"));
    emit form.engine()->cellSet(0, Column::kuaizhao, QStringLiteral("12K 2026-11-30 \r\n"), false);
    const QTreeWidgetItem *item = form.list()->topLevelItem(0);
    EXPECT_EQ(item->text(4), QStringLiteral("12K 2026-11-30 \r\n"));
    // One line high: no taller than a row holding plain text.
    addRow(1, QStringLiteral("http://b.test/"));
    const QModelIndex broken = form.list()->model()->index(0, 4);
    const QModelIndex plain = form.list()->model()->index(1, 0);
    QStyleOptionViewItem option;
    option.initFrom(form.list());
    const QAbstractItemDelegate *delegate = form.list()->itemDelegate();
    EXPECT_EQ(delegate->sizeHint(option, broken).height(), delegate->sizeHint(option, plain).height());
}
