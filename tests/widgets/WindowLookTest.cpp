// The window's look in the details: the clock's form, the stand-in for 宋体,
// the pictures and where they stand, the picture buttons.
#include "app/ClockFormat.h"
#include "app/Form2.h"
#include "assets/Assets.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "ui/Twips.h"

#include "tests/common/Recorders.h"

#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <ostream>

using namespace friendlinks;

namespace {

struct ClockCase {
    const char *name;
    const char *locale;
    const char *format;
    const char *text; // for 2026-12-07 06:05:09
};

void PrintTo(const ClockCase &c, std::ostream *os)
{
    *os << c.name;
}

const ClockCase kClockCases[] = {
    {"Chinese", "zh_CN", "yyyy/M/d HH:mm:ss", "2026/12/7 06:05:09"},
    {"AmericanEnglish", "en_US", "M/d/yy h:mm:ss AP", "12/7/26 6:05:09 AM"},
    {"German", "de_DE", "dd.MM.yy HH:mm:ss", "07.12.26 06:05:09"},
    // A day period Qt does not know ("B") becomes its AM/PM text, never a letter.
    {"TaiwanDayPeriod", "zh_TW", "yyyy/M/d APh:mm:ss", "2026/12/7 上午6:05:09"},
    // A zone in brackets goes with its brackets.
    {"PersianBracketedZone", "fa_IR", "yyyy/M/d H:mm:ss", nullptr},
    {"JapaneseUnits", "ja_JP", "yyyy/MM/dd H時mm分ss秒", "2026/12/07 6時05分09秒"},
};

class ClockFormatTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockFormatTest, ShortDateLongTimeNoZone)
{
    const ClockCase &c = GetParam();
    const QLocale locale(QString::fromLatin1(c.locale));
    EXPECT_EQ(clockFormat(locale), QString::fromUtf8(c.format));
    if (c.text) {
        const QDateTime moment(QDate(2026, 12, 7), QTime(6, 5, 9));
        EXPECT_EQ(clockText(moment, locale), QString::fromUtf8(c.text));
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, ClockFormatTest, ::testing::ValuesIn(kClockCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ClockFormatTest, NoLocaleShowsTheZoneOrStrayLetters)
{
    // Under UTC every zone name holds "UTC" or "GMT"; none may reach the clock.
    const QDateTime moment(QDate(2026, 12, 7), QTime(6, 5, 9), Qt::UTC);
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyCountry)) {
        const QString text = clockText(moment, locale);
        EXPECT_FALSE(text.contains(QLatin1String("UTC")) || text.contains(QLatin1String("GMT")))
            << qPrintable(locale.name()) << ": " << qPrintable(text);
        // Nothing else in this moment holds a 9: it is the seconds.
        EXPECT_TRUE(text.contains(locale.toString(9)))
            << qPrintable(locale.name()) << " has no seconds: " << qPrintable(text);
        // Outside quoted text only letters Qt reads as a pattern: no letter is printed as it stands.
        const QString unquoted = clockFormat(locale).remove(QRegularExpression(QStringLiteral("'[^']*'?")));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[^a-zA-Z]*(?:(?:[dMyhHmszAa]|AP|ap)[^a-zA-Z]*)*$")).match(unquoted).hasMatch())
            << qPrintable(locale.name()) << ": " << qPrintable(clockFormat(locale));
    }
}

struct FamilyCase {
    const char *name;
    QStringList installed;
    const char *chosen;
};

void PrintTo(const FamilyCase &c, std::ostream *os)
{
    *os << c.name;
}

class SongFamilyTest : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(SongFamilyTest, SongBeforeSans)
{
    EXPECT_EQ(songFamily(GetParam().installed), QString::fromUtf8(GetParam().chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Installed, SongFamilyTest,
    ::testing::Values(FamilyCase{"SimSunFirst", {"WenQuanYi Zen Hei", "AR PL UMing CN", "SimSun"}, "SimSun"},
                      FamilyCase{"UMingOverSans", {"WenQuanYi Zen Hei", "AR PL UMing CN", "DejaVu Sans"}, "AR PL UMing CN"},
                      FamilyCase{"SansWhenNoSong", {"DejaVu Sans", "WenQuanYi Zen Hei"}, "WenQuanYi Zen Hei"},
                      FamilyCase{"NothingKnown", {"DejaVu Sans"}, "SimSun"}),
    [](const auto &info) { return std::string(info.param.name); });

struct PictureCase {
    const char *name;
    const char *path;
    QSize size;
};

void PrintTo(const PictureCase &c, std::ostream *os)
{
    *os << c.name;
}

class PictureSizeTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureSizeTest, CompiledInAtItsSize)
{
    EXPECT_EQ(assets::picture(GetParam().path).size(), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Assets, PictureSizeTest,
                         ::testing::Values(PictureCase{"Background", assets::kBackground, {831, 541}},
                                           PictureCase{"LauncherStrip", assets::kStrip, {730, 34}},
                                           PictureCase{"QueryFace", assets::kQueryFace, {100, 47}},
                                           PictureCase{"QueryFacePressed", assets::kQueryFacePressed, {100, 47}},
                                           PictureCase{"SearchFace", assets::kSearchFace, {182, 42}},
                                           PictureCase{"SearchFacePressed", assets::kSearchFacePressed, {182, 42}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(WindowIcon, HoldsFourSizes)
{
    const QList<QSize> sizes = assets::windowIcon().availableSizes();
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}}));
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

struct LookWindow : ::testing::Test {
    RecordingBrowser browser;
    RecordingMessageBox messages;
    Form2 form{CheckSettings{}, &browser, &messages};
};

TEST_F(LookWindow, BackgroundStandsBehindEveryControl)
{
    const auto *image2 = form.findChild<QLabel *>(QStringLiteral("Image2"), Qt::FindDirectChildrenOnly);
    ASSERT_NE(image2, nullptr);
    const int dpi = form.logicalDpiX();
    EXPECT_EQ(image2->geometry(), twipsRect(0, -960, 12015, 9255, dpi));
    EXPECT_EQ(image2->pixmap().size(), QSize(831, 541));
    EXPECT_TRUE(image2->hasScaledContents());
    // Stacking follows the order of the children: the first is at the back.
    const QList<QWidget *> children = form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(children.isEmpty());
    EXPECT_EQ(children.first(), image2);
}

TEST_F(LookWindow, QueryButtonWearsItsFace)
{
    const auto *button = qobject_cast<PictureButton *>(form.queryButton());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->face().size(), QSize(100, 47));
    EXPECT_EQ(form.windowIcon().availableSizes().size(), 4);
}

} // namespace
