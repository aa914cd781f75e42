// How the window starts and what it keeps: the sites checked before in the site box, its size and place and
// fact columns, a site given on the command line (and --check); enlarged, the banner keeps its picture's aspect
// and the mode its place at the right.
#include "app/BannerPicture.h"
#include "app/SiteHistory.h"
#include "app/WindowGeometry.h"
#include "app/WindowMain.h"
#include "assets/Assets.h"

#include "tests/common/Table.h"
#include "tests/common/WindowFixture.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QImage>
#include <QLabel>
#include <QScreen>

using namespace friendlinks;

namespace {

struct RecentCase {
    const char *name;
    QStringList before;
    const char *site;
    QStringList after;
};
void PrintTo(const RecentCase &c, std::ostream *os)
{
    *os << c.name;
}

const RecentCase kRecent[] = {
    {"first", {}, "www.a.com", {"www.a.com"}},
    {"goes_in_front", {"www.a.com", "www.b.com"}, "www.c.com", {"www.c.com", "www.a.com", "www.b.com"}},
    {"a_repeat_moves", {"www.a.com", "www.b.com"}, "www.b.com", {"www.b.com", "www.a.com"}},
    {"case_and_slash_tell_nothing_apart", {"www.a.com", "WWW.B.com/"}, " www.b.com ", {"www.b.com", "www.a.com"}},
    {"blank_is_not_kept", {"www.a.com"}, "  ", {"www.a.com"}},
};

TABLE_TEST(RecentSites, TheLatestFirstEachOnce, kRecent)
{
    const RecentCase &c = GetParam();
    EXPECT_EQ(withRecentSite(c.before, QString::fromUtf8(c.site)), c.after);
}

TEST(RecentSitesLimit, KeepsTheLastTwenty)
{
    QStringList list;
    for (int i = 0; i < 25; ++i)
        list = withRecentSite(list, QStringLiteral("www.s%1.com").arg(i));
    ASSERT_EQ(list.size(), kMaxRecentSites);
    EXPECT_EQ(list.first(), "www.s24.com");
    EXPECT_EQ(list.last(), "www.s5.com");
}

TEST(BannerPictureTest, KeepsItsAspectCentredAndFillsTheSidesWithItsEdges)
{
    QImage source(40, 20, QImage::Format_ARGB32);
    source.fill(QColor(0, 255, 0));
    for (int y = 0; y < 20; ++y) {
        source.setPixelColor(0, y, QColor(255, 0, 0));
        source.setPixelColor(39, y, QColor(0, 0, 255));
    }
    const QPixmap picture = QPixmap::fromImage(source);
    // At the picture's own size it is the picture.
    EXPECT_EQ(centredBanner(picture, QSize(40, 20)).toImage().convertToFormat(QImage::Format_ARGB32), source);
    // Wider: the picture as it is in the middle, its edges continued to either side.
    const QImage wide = centredBanner(picture, QSize(200, 20)).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(wide.size(), QSize(200, 20));
    EXPECT_EQ(wide.copy(80, 0, 40, 20), source);
    EXPECT_EQ(wide.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(wide.pixelColor(79, 10), QColor(255, 0, 0));
    EXPECT_EQ(wide.pixelColor(120, 10), QColor(0, 0, 255));
    EXPECT_EQ(wide.pixelColor(199, 10), QColor(0, 0, 255));
}

struct WindowStartFixture : WindowFixture {};

} // namespace

TEST_F(WindowStartFixture, AFirstStartIsTheDesignedWindow)
{
    open();
    EXPECT_FALSE(form->windowGeometry()->restore());
    EXPECT_EQ(form->size(), form->minimumSize());
    EXPECT_EQ(form->siteBox()->text(), QStringLiteral("www.youlianweishi.example"));
    EXPECT_TRUE(form->siteHistory()->sites().isEmpty());
    EXPECT_TRUE(form->shownFactColumns().isEmpty());
    if (const QScreen *screen = form->screen()) {
        // Centred, give or take the frame the platform adds.
        EXPECT_LE((form->geometry().center() - screen->availableGeometry().center()).manhattanLength(), 12);
    }
}

TEST_F(WindowStartFixture, TheSitesCheckedAreOfferedAndTheLastIsInTheBoxNextTime)
{
    web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">一号</a>\n");
    web.world().setPage("http://www.mine.com/", "<a href=\"http://www.one.com/\">一号</a>\n");
    web.world().set(QStringLiteral("http://www.gone.com/"), answer(200, "", fakeweb::Answer::Fault::Drop));
    open();
    ASSERT_TRUE(query("www.home.com"));
    ASSERT_TRUE(query("www.mine.com"));
    ASSERT_TRUE(query("www.gone.com")); // cannot be reached: not one of my sites
    EXPECT_EQ(form->siteHistory()->sites(), (QStringList{"www.mine.com", "www.home.com"}));

    open();
    EXPECT_EQ(form->siteBox()->text(), "www.mine.com");
    QCompleter *completer = form->siteBox()->completer();
    ASSERT_EQ(completer, form->siteHistory()->completer());
    form->siteBox()->setFocus();
    QTest::keyClick(form->siteBox(), Qt::Key_Down);
    QTRY_VERIFY_WITH_TIMEOUT(completer->popup()->isVisible(), 2000);
    EXPECT_EQ(completer->completionCount(), 2);
    completer->popup()->hide();
    completer->setCompletionPrefix(QStringLiteral("HOME"));
    EXPECT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->currentCompletion(), "www.home.com");
}

TEST_F(WindowStartFixture, SizePlaceAndFactColumnsComeBackAfterAClose)
{
    open();
    const QSize designed = form->size();
    form->resize(designed + QSize(150, 80));
    form->move(40, 30);
    form->list()->setColumnHidden(kColumnCount + 0, false);
    form->list()->setColumnHidden(kColumnCount + 2, false);
    const QList<FactColumn> shown = form->shownFactColumns();
    QTRY_COMPARE(form->size(), designed + QSize(150, 80));
    form->close();

    open();
    EXPECT_TRUE(form->windowGeometry()->restore());
    QTRY_COMPARE(form->size(), designed + QSize(150, 80));
    EXPECT_EQ(form->shownFactColumns(), shown);
    EXPECT_EQ(form->shownFactColumns().size(), 2);

    // No smaller than designed, whatever was stored.
    form->resize(100, 50);
    QTRY_COMPARE(form->size(), designed);
}

TEST_F(WindowStartFixture, ASiteGivenFillsTheBoxAndCheckPressesTheQueryButton)
{
    web.world().setPage("http://www.demo-home.com/", "<a href=\"http://www.one.com/\">一号</a>\n");
    open();
    WindowStart start;
    start.site = QStringLiteral("www.demo-home.com");
    applyWindowStart(*form, start);
    EXPECT_EQ(form->siteBox()->text(), "www.demo-home.com");
    EXPECT_FALSE(form->engine()->isRunning());

    open();
    start.check = true;
    QSignalSpy finished(form->engine(), &CheckEngine::siteFinished);
    applyWindowStart(*form, start);
    ASSERT_TRUE(finished.wait(kWaitMs));
    EXPECT_EQ(form->engine()->results()->outcome().site, "www.demo-home.com");
    EXPECT_EQ(listRows(form->list()), 1);
}

TEST_F(WindowStartFixture, EnlargedTheModeStaysAtTheRightAndTheBannerIsNotStretched)
{
    web.world().setPage("http://www.home.com/", "<a href=\"http://www.one.com/\">一号</a>\n");
    open();
    ASSERT_TRUE(query("www.home.com"));
    QLabel *mode = form->bannerNotes()->modeLabel();
    QWidget *strip = mode->parentWidget();
    const int gapBefore = strip->width() - mode->geometry().right();
    const QImage designed = strip->grab().toImage();
    form->resize(form->size() + QSize(300, 60));
    QTRY_COMPARE(strip->width(), form->width());
    EXPECT_EQ(strip->width() - mode->geometry().right(), gapBefore);
    EXPECT_TRUE(mode->isVisible());
    // The banner's picture: the designed one, centred, not widened.
    const QPixmap banner = assets::picture(assets::kBanner);
    ASSERT_FALSE(banner.isNull());
    const auto *frame1 = qobject_cast<QLabel *>(strip);
    ASSERT_NE(frame1, nullptr);
    const QPixmap shown = frame1->pixmap();
    EXPECT_EQ(shown.size(), strip->size());
    EXPECT_EQ(shown.toImage().copy(150, 0, designed.width(), shown.height()).convertToFormat(QImage::Format_ARGB32),
              centredBanner(banner, QSize(designed.width(), strip->height())).toImage().convertToFormat(QImage::Format_ARGB32));
}
