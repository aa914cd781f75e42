// The window before any check: its layout when enlarged, the clock, the stand-in for 宋体, the picture buttons,
// Qt's own translations and the Qt noise kept off stderr. What a check does to it is Form2QueryTest's.
#include "app/ClockFormat.h"
#include "app/QtNoise.h"
#include "app/QtTranslations.h"
#include "launcher/Form9.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "ui/Twips.h"
#include "tests/common/Table.h"
#include "tests/common/WindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTranslator>

#include <map>

using namespace friendlinks;

using Window = WindowFixture;

TEST_F(Window, TabGoesFromTheListToTheSiteBoxTheQueryButtonAndTheLauncher)
{
    open();
    const QList<QWidget *> stops = {form->list(), form->siteBox(), form->queryButton(),
                                    form->launcher()->searchButton()};
    for (qsizetype i = 1; i < stops.size(); ++i) {
        QWidget *next = stops[i - 1]->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) // past a control's own inner parts
            next = next->nextInFocusChain();
        EXPECT_EQ(next, stops[i]) << i;
    }
}

TEST_F(Window, ClockShowsItsDesignTextThenTheDate)
{
    open();
    EXPECT_EQ(form->clock()->text(), QStringLiteral("Label3"));
    QTRY_VERIFY_WITH_TIMEOUT(form->clock()->text() != QStringLiteral("Label3"), 2000);
    EXPECT_TRUE(form->clock()->text().contains(QString::number(QDate::currentDate().year() % 100)));
}

TEST_F(Window, AnEnlargedWindowGivesTheRoomToTheList)
{
    open();
    const QSize designed = form->size();
    EXPECT_EQ(form->minimumSize(), designed);
    const auto places = [this] {
        std::map<QString, QRect> found;
        for (const QWidget *w : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            found[w->objectName()] = w->geometry();
        return found;
    };
    const std::map<QString, QRect> before = places();
    // The message line is the window's bottom, below the designed client area, which keeps its places.
    const int dpi = form->logicalDpiX();
    EXPECT_EQ(before.at("messageArea"), QRect(0, twips(4530, dpi), form->width(), twips(300, dpi)));
    EXPECT_EQ(designed.height(), twips(4530 + 300, dpi));
    EXPECT_EQ(before.at("Frame1").bottom(), twips(4200 + 297, dpi) - 1);
    const QSize more(200, 90);
    form->resize(designed + more);
    QTRY_COMPARE(form->size(), designed + more);
    for (const auto &[name, rect] : places()) {
        QRect expected = before.at(name);
        if (name == "ListView1" || name == "Image2")
            expected.adjust(0, 0, more.width(), more.height());
        else if (name == "Frame1" || name == "messageArea") // stay below the list, across the window
            expected.adjust(0, more.height(), more.width(), more.height());
        EXPECT_EQ(rect, expected) << qPrintable(name);
    }
    EXPECT_EQ(form->progressBar()->geometry().right(), form->progressBar()->parentWidget()->width() - 11);
    form->resize(designed);
    QTRY_COMPARE(form->size(), designed);
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

namespace {

struct ClockRow : Row {
    const char *locale;
    const char *format;
};

const ClockRow kClocks[] = {
    {"AmericanEnglish", "en_US", "M/d/yy h:mm:ss AP"},
    // A day period Qt does not know ("B") becomes its AM/PM text, never a letter.
    {"TaiwanDayPeriod", "zh_TW", "yyyy/M/d APh:mm:ss"},
    // A zone in brackets goes with its brackets.
    {"PersianBracketedZone", "fa_IR", "yyyy/M/d H:mm:ss"},
    {"JapaneseUnits", "ja_JP", "yyyy/MM/dd H時mm分ss秒"},
};

// The clock shows the moment in this format (clockText); what Qt makes of it is Qt's.
TABLE_TEST(ClockFormatTest, ShortDateLongTimeNoZone, kClocks)
{
    EXPECT_EQ(clockFormat(QLocale(QString::fromLatin1(GetParam().locale))), QString::fromUtf8(GetParam().format));
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

QStringList g_messages;

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_messages << message;
}

// Qt's report of its own slip on a gzip bomb is dropped; every other message reaches the handler before.
TEST(QtNoise, OnlyQtsTwiceReportedReplyErrorIsDropped)
{
    const QtMessageHandler before = qInstallMessageHandler(recordMessage);
    dropQtInternalNoise();
    qWarning("QNetworkReplyImplPrivate::error: Internal problem, this method must only be called once.");
    qWarning("a warning of ours");
    qInstallMessageHandler(before);
    EXPECT_EQ(g_messages, QStringList{"a warning of ours"});
}
