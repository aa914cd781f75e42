// Hostile pages straight into the parsers (huge, odd bytes or broken markup), and hostile site-box texts
// through a whole check on the engine against an in-process fakeweb proxy. Every check ends in a defined
// outcome, and the same engine then runs a normal check.
#include "check/CheckEngine.h"

#include "check/CheckRules.h"
#include "check/Harvest.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"
#include "probes/DomainRules.h"
#include "web/BodyDecoding.h"
#include "tests/common/BackLinkReport.h"
#include "tests/common/FetchWait.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/RowPrinters.h"
#include "tests/common/Table.h"

#include <QSignalSpy>

#include <memory>

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("http://www.me.com");

// Answers too slow, too big, endless or cut off are PageFetcherTest's; here site-box texts that lead
// nowhere useful: each check ends (siteFinished() once, no rows when unreachable) and leaves the engine usable.
class HostileSiteBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        m_web.world().setPage(kSite + QLatin1Char('/'), "<a href=\"http://www.good.com/\">Good</a>");
        m_web.world().setPage(QStringLiteral("http://www.good.com/"), "<a href=\"http://www.pal.com/\">Pal</a>");
        m_web.world().setPage(QStringLiteral("http://www.pal.com/"), "<a href=\"http://www.good.com/\">Good</a>");
        CheckSettings settings;
        settings.proxy = m_web.proxy();
        m_engine = std::make_unique<CheckEngine>(settings);
    }

    void TearDown() override
    {
        // The engine is still usable: a normal check runs to its end with its result.
        ASSERT_TRUE(runCheck(QStringLiteral("http://www.good.com")));
        ASSERT_EQ(m_engine->results()->cellRows().size(), 1);
        EXPECT_EQ(m_engine->results()->cellRows()[0][Column::fanlian], (Cell{QStringLiteral("Good"), false}));
    }

    // Runs a check to its end; false when siteFinished() did not come in time.
    [[nodiscard]] bool runCheck(const QString &site)
    {
        QSignalSpy finished(m_engine.get(), &CheckEngine::siteFinished);
        QSignalSpy rowsAdded(m_engine->results(), &QAbstractItemModel::rowsInserted);
        m_engine->start(site);
        if (finished.isEmpty() && !finished.wait(kWaitMs))
            return false;
        EXPECT_EQ(finished.size(), 1);
        const auto result = finished.first().first().value<SiteResult>();
        EXPECT_EQ(rowsAdded.size(), result.rows.size());
        EXPECT_TRUE(result.outcome.reachable || result.rows.isEmpty()) << "an unreachable site has no rows";
        EXPECT_FALSE(m_engine->isRunning());
        return true;
    }

    fakeweb::FakeWeb m_web;
    std::unique_ptr<CheckEngine> m_engine;
};

struct SiteBoxRow : Row {
    QString site;
};

const SiteBoxRow kSiteBoxes[] = {
    {"empty", ""}, {"spaces", "     "}, {"long", QString(10000, QLatin1Char('w'))}, {"control", "www.me\x01\x07\t\r\n.com"},
    {"port", "www.me.com:8080"}, {"ipv6", "http://[::1]:1/"}, {"javascript", "javascript:alert(1)"},
    {"chinese", "中文网站.中国"}, {"capitals", "HTTP://WWW.ME.COM"},
};

TABLE_TEST_F(HostileSiteBoxTest, SiteBoxTest, CheckEndsWithADefinedOutcome, kSiteBoxes)
{
    ASSERT_TRUE(runCheck(GetParam().site));
    for (const CheckRow &row : m_engine->results()->cellRows())
        EXPECT_FALSE(row[Column::lianjie].text.isEmpty());
}


QString anchor(const QString &href, const QString &text) { return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text); }

QStringList harvested(const QString &page)
{
    QStringList addresses;
    for (const HarvestedLink &link : harvestLinks(page, kSite))
        addresses << link.lianjie;
    return addresses;
}

// Bytes no page should hold around the link back, read as the fetcher decodes a body.
TEST(HostilePagesTest, OddBytesAroundTheLinkBack)
{
    const QByteArray kBackLink = "<a href=\"http://www.me.com/\">Me</a>";
    const QByteArray pages[] = {
        QByteArray("\x00\x01\xff\xfe<<>\x00</a><a", 13) + kBackLink + QByteArray("\x00\x00\x7f\x80", 4),
        QByteArray("\xe4\xbd\xc0\x80\xed\xa0\x80\x81\x30\xff", 10) + kBackLink + "\x84\x31\xa5",
    };
    for (const QByteArray &page : pages)
        EXPECT_EQ(fanlianCell(backLinkReport(DecodeBody(page), QStringLiteral("www.me.com"))), (Cell{"Me", false}));
}

TEST(HostilePagesTest, FiftyThousandAnchorsAreAllHarvested)
{
    QString page;
    for (int i = 0; i < 50000; ++i)
        page += anchor(QStringLiteral("http://www.f%1.com/").arg(i), QStringLiteral("F%1").arg(i));
    const QList<HarvestedLink> links = harvestLinks(page, kSite);
    ASSERT_EQ(links.size(), 50000);
    EXPECT_EQ(links.front().lianjie, QStringLiteral("http://www.f0.com/"));
    EXPECT_EQ(links.back(), (HarvestedLink{"http://www.f49999.com/", "F49999\r\n"})); // the match list's line break counts
}

TEST(HostilePagesTest, TenMegabytePageOnOneLine)
{
    const QString page = QString(10 * 1000 * 1000, QLatin1Char('x')) + anchor("http://www.friend.com/", "Friend")
        + anchor("http://www.me.com/", "Me");
    EXPECT_EQ(harvested(page), QStringList{"http://www.friend.com/"});
    EXPECT_EQ(backLinkReport(page, QStringLiteral("www.me.com")), QStringLiteral("1\r\nMe\r\n"));
}

TEST(HostilePagesTest, BrokenMarkupGivesTheLinksThePatternsSee)
{
    const QString longAddress = "http://www." + QString(10000, QLatin1Char('a')) + ".com/";
    // An anchor inside an anchor: the lazy match ends at the first "</a>", its first address counts.
    EXPECT_EQ(harvested("<a href=\"http://www.a.com/\">A<a href=\"http://www.b.com/\">B</a>A</a>"),
              QStringList{"http://www.a.com/"});
    const QString unclosed = "<a class=broken <p>text</p>" + anchor("http://www.b.com/", "B");
    EXPECT_EQ(harvested(unclosed), QStringList{"http://www.b.com/"});
    EXPECT_EQ(backLinkReport(unclosed, QStringLiteral("www.b.com")).left(3), QStringLiteral("1\r\n"));
    EXPECT_EQ(harvested(anchor(longAddress, "Long") + anchor("http://www.short.com/", "Short")),
              QStringList{"http://www.short.com/"});
    EXPECT_EQ(IsOutboundLink(longAddress, kSite), 1);
    EXPECT_EQ(IsHomePageLink(longAddress), 1);
}

TEST(HostilePagesTest, BaiduPhraseRepeatedManyTimesStillParses)
{
    QString page;
    for (int i = 0; i < 2000; ++i)
        page += QStringLiteral("百度一下，找到相关网页约%1篇，用时").arg(i);
    const auto result = parseBaiduPage(page + "<font color=#008000>www.me.com/ 12K 2024-1-2 </font>", kSite);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->count, QStringLiteral("约0篇"));
}

} // namespace
} // namespace friendlinks
