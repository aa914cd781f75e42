// The window without a check: its looks (the clock, the stand-in for 宋体, the picture buttons), its list, and what the engine's signals do to it.
#include "app/Form2.h"

#include "app/ClockFormat.h"
#include "app/QtTranslations.h"
#include "launcher/Form9.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "tests/common/Recorders.h"
#include "tests/common/ListView.h"
#include "tests/common/Table.h"

#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTranslator>

#include <map>
#include <memory>

using namespace friendlinks;

namespace {

struct Window : ::testing::Test {
    RecordingBrowser browser;
    RecordingMessageBox messages;
    Form2 form{CheckSettings{}, &browser, &messages};
    void SetUp() override { form.show(); }
    void addRow(const QString &address)
    {
        ResultRow row;
        row.cells[Column::lianjie].text = address;
        row.cells[Column::guanjianzi].text = QStringLiteral("名字");
        form.engine()->results()->appendRow(row);
    }
    void setCell(int row, Column column, const QString &text, bool red)
    {
        form.engine()->results()->setCell(row, column, {text, red});
    }
};

} // namespace

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

TEST_F(Window, ClockShowsDesignTextThenDate)
{
    EXPECT_EQ(form.clock()->text(), QStringLiteral("Label3"));
    QTRY_VERIFY_WITH_TIMEOUT(form.clock()->text() != QStringLiteral("Label3"), 2000);
    EXPECT_TRUE(form.clock()->text().contains(QString::number(QDate::currentDate().year() % 100)));
}

TEST_F(Window, DoubleClickOpensSelectedRowOnce)
{
    addRow(QStringLiteral("http://a.test"));
    addRow(QStringLiteral("http://中文.test"));
    form.openSelectedRow();
    EXPECT_TRUE(browser.opened.isEmpty());
    const QModelIndex second = form.list()->model()->index(1, 0);
    form.list()->setCurrentIndex(second);
    const QRect r = form.list()->visualRect(second);
    QTest::mouseClick(form.list()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(form.list()->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(browser.opened, QStringList{QStringLiteral("http://中文.test")});
    // Without a browser the address is said on a line of its own, to be copied.
    browser.works = false;
    form.openSelectedRow();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.endsWith(QStringLiteral("\nhttp://中文.test")));
}

TEST_F(Window, AnEnlargedWindowGivesTheRoomToTheList)
{
    const QSize designed = form.size();
    EXPECT_EQ(form.minimumSize(), designed);
    const auto places = [this] {
        std::map<QString, QRect> found;
        for (const QWidget *w : form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            found[w->objectName()] = w->geometry();
        return found;
    };
    const std::map<QString, QRect> before = places();
    const QSize more(200, 90);
    form.resize(designed + more);
    QTRY_COMPARE(form.size(), designed + more);
    for (const auto &[name, rect] : places()) {
        QRect expected = before.at(name);
        if (name == "ListView1" || name == "Image2")
            expected.adjust(0, 0, more.width(), more.height());
        else if (name == "Frame1") // stays below the list, across the window
            expected.adjust(0, more.height(), more.width(), more.height());
        EXPECT_EQ(rect, expected) << qPrintable(name);
    }
    const auto *strip = form.findChild<QLabel *>(QStringLiteral("Frame1"), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(form.progressBar()->geometry().right(), strip->width() - 11);
    form.resize(designed);
    QTRY_COMPARE(form.size(), designed);
    EXPECT_EQ(places(), before);
}

TEST(QtTranslations, FileDialogsSpeakTheDesktopsLanguage)
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm")))
        GTEST_SKIP() << "Qt's Chinese translations are not installed";
    const QString english = QStringLiteral("Look in:");
    std::unique_ptr<QTranslator> chinese(installQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::Chinese, QLocale::China)));
    ASSERT_NE(chinese, nullptr);
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), english);
    chinese.reset(); // removes itself
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), english);
}

TEST_F(Window, CopyGivesEscapedTsvAndCellsShowOnOneLineButKeepTheirText)
{
    addRow(QStringLiteral("http://a.test"));
    setCell(0, Column::guanjianzi, QStringLiteral("a\tb\\c\nd"), false);
    setCell(0, Column::rp, QStringLiteral("否"), true);
    setCell(0, Column::kuaizhao, QStringLiteral("12K 2026-11-30 \r\n"), true);
    selectOnlyRow(form.list(), 0);
    EXPECT_EQ(form.selectedRowsTsv(), QStringLiteral("网站地址\t网站名字\t反链关键字\t百度收录\t百度快照\t百度site首页\t标红\n"
                                                     "http://a.test\ta\\tb\\\\c\\nd\t\t\t12K 2026-11-30 \\r\\n\t否\tkuaizhao,rp\n"));
    EXPECT_EQ(listText(form.list(), 0, 4), QStringLiteral("12K 2026-11-30 \r\n"));
    EXPECT_TRUE(isRed(form.list(), 0, 4));
    // One line high: no taller than a row holding plain text.
    addRow(QStringLiteral("http://b.test/"));
    QStyleOptionViewItem option;
    option.initFrom(form.list());
    const QAbstractItemDelegate *delegate = form.list()->itemDelegate();
    EXPECT_EQ(delegate->sizeHint(option, form.list()->model()->index(0, 4)).height(),
              delegate->sizeHint(option, form.list()->model()->index(1, 0)).height());
    // A right-to-left override or an escape shows as its escape text, as wide as that text written out.
    setCell(1, Column::guanjianzi, QStringLiteral("x\u202e\x1b"), false);
    setCell(1, Column::fanlian, QStringLiteral(R"(x\u202e\x1b)"), false);
    EXPECT_EQ(delegate->sizeHint(option, form.list()->model()->index(1, 1)).width(),
              delegate->sizeHint(option, form.list()->model()->index(1, 2)).width());
    EXPECT_EQ(listText(form.list(), 1, 1), QStringLiteral("x\u202e\x1b")) << "the cell keeps its text";
}

namespace {

struct ClockRow : Row {
    const char *locale;
    const char *format;
    const char *text; // for 2026-12-07 06:05:09
};

const ClockRow kClocks[] = {
    {"Chinese", "zh_CN", "yyyy/M/d HH:mm:ss", "2026/12/7 06:05:09"},
    {"AmericanEnglish", "en_US", "M/d/yy h:mm:ss AP", "12/7/26 6:05:09 AM"},
    {"German", "de_DE", "dd.MM.yy HH:mm:ss", "07.12.26 06:05:09"},
    // A day period Qt does not know ("B") becomes its AM/PM text, never a letter.
    {"TaiwanDayPeriod", "zh_TW", "yyyy/M/d APh:mm:ss", "2026/12/7 上午6:05:09"},
    // A zone in brackets goes with its brackets.
    {"PersianBracketedZone", "fa_IR", "yyyy/M/d H:mm:ss", nullptr},
    {"JapaneseUnits", "ja_JP", "yyyy/MM/dd H時mm分ss秒", "2026/12/07 6時05分09秒"},
};

TABLE_TEST(ClockFormatTest, ShortDateLongTimeNoZone, kClocks)
{
    const QLocale locale(QString::fromLatin1(GetParam().locale));
    EXPECT_EQ(clockFormat(locale), QString::fromUtf8(GetParam().format));
    if (GetParam().text) {
        EXPECT_EQ(clockText(QDateTime(QDate(2026, 12, 7), QTime(6, 5, 9)), locale), QString::fromUtf8(GetParam().text));
    }
}

TEST(ClockFormat, NoLocaleShowsTheZoneOrStrayLetters)
{
    // Under UTC every zone name holds "UTC" or "GMT"; none may reach the clock.
    const QDateTime moment(QDate(2026, 12, 7), QTime(6, 5, 9), Qt::UTC);
    const QRegularExpression patternLettersOnly(QStringLiteral("^[^a-zA-Z]*(?:(?:[dMyhHmszAa]|AP|ap)[^a-zA-Z]*)*$"));
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyCountry)) {
        const QString text = clockText(moment, locale);
        EXPECT_FALSE(text.contains(QLatin1String("UTC")) || text.contains(QLatin1String("GMT")))
            << qPrintable(locale.name()) << ": " << qPrintable(text);
        // Nothing else in this moment holds a 9: it is the seconds.
        EXPECT_TRUE(text.contains(locale.toString(9))) << qPrintable(locale.name()) << " has no seconds: " << qPrintable(text);
        // Outside quoted text only letters Qt reads as a pattern: no letter is printed as it stands.
        const QString unquoted = clockFormat(locale).remove(QRegularExpression(QStringLiteral("'[^']*'?")));
        EXPECT_TRUE(patternLettersOnly.match(unquoted).hasMatch()) << qPrintable(locale.name()) << ": " << qPrintable(clockFormat(locale));
    }
}

TEST(SongFamily, SongBeforeSans)
{
    const std::pair<QStringList, const char *> cases[] = {
        {{"WenQuanYi Zen Hei", "AR PL UMing CN", "SimSun"}, "SimSun"},
        {{"WenQuanYi Zen Hei", "AR PL UMing CN", "DejaVu Sans"}, "AR PL UMing CN"},
        {{"DejaVu Sans", "WenQuanYi Zen Hei"}, "WenQuanYi Zen Hei"},
        {{"DejaVu Sans"}, "SimSun"}, // nothing known
    };
    for (const auto &[installed, chosen] : cases)
        EXPECT_EQ(songFamily(installed), QString::fromUtf8(chosen)) << chosen;
}

TEST(PictureButtonTest, ShowsTheMiddleOfItsFaceAtItsOwnSize)
{
    // Each pixel of this face tells where it came from.
    QImage face(100, 47, QImage::Format_RGB32);
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            face.setPixelColor(x, y, QColor(x * 2, y * 5, 0));
    PictureButton button(QString(), QPixmap::fromImage(face), QPixmap());
    button.resize(65, 25);
    const QImage shown = button.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(65, 25)) << "the test assumes 96 dpi";
    for (const QPoint at : {QPoint(10, 12), QPoint(50, 5), QPoint(32, 20)})
        EXPECT_EQ(shown.pixelColor(at), face.pixelColor(at + QPoint(17, 11))) << at.x() << "," << at.y();
}

} // namespace
