// Hostile pages straight into the parsers: huge, deeply odd or broken markup.
#include "check/Harvest.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"
#include "probes/DomainRules.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("http://www.me.com");

QString anchor(const QString &href, const QString &text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text);
}

TEST(HostilePagesTest, FiftyThousandAnchorsAreAllHarvested)
{
    QString page;
    for (int i = 0; i < 50000; ++i)
        page += anchor(QStringLiteral("http://www.f%1.com/").arg(i), QStringLiteral("F%1").arg(i));
    const QList<HarvestedLink> links = harvestLinks(page, kSite);
    ASSERT_EQ(links.size(), 50000);
    EXPECT_EQ(links.front().lianjie, QStringLiteral("http://www.f0.com/"));
    EXPECT_EQ(links.back().lianjie, QStringLiteral("http://www.f49999.com/"));
    EXPECT_EQ(links.back().guanjianzi, QStringLiteral("F49999\r\n")); // the match list's line break counts
}

TEST(HostilePagesTest, TenMegabytePageOnOneLine)
{
    QString page(10 * 1000 * 1000, QLatin1Char('x'));
    page += anchor(QStringLiteral("http://www.friend.com/"), QStringLiteral("Friend"));
    page += anchor(QStringLiteral("http://www.me.com/"), QStringLiteral("Me"));
    const QList<HarvestedLink> links = harvestLinks(page, kSite);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].lianjie, QStringLiteral("http://www.friend.com/"));
    EXPECT_EQ(backLinkReport(page, QStringLiteral("www.me.com")), QStringLiteral("1\r\nMe\r\n"));
}

TEST(HostilePagesTest, AnchorsNestedInAnchorsGiveOneLink)
{
    const QString page = QStringLiteral("<a href=\"http://www.a.com/\">A<a href=\"http://www.b.com/\">B</a>A</a>");
    const QList<HarvestedLink> links = harvestLinks(page, kSite);
    ASSERT_EQ(links.size(), 1);
    EXPECT_TRUE(links[0].lianjie == QStringLiteral("http://www.a.com/")
                || links[0].lianjie == QStringLiteral("http://www.b.com/"))
        << links[0].lianjie.toStdString();
}

TEST(HostilePagesTest, UnclosedAnchorBeforeARealOne)
{
    const QString page = QStringLiteral("<a class=broken <p>text</p>")
                         + anchor(QStringLiteral("http://www.b.com/"), QStringLiteral("B"));
    const QList<HarvestedLink> links = harvestLinks(page, kSite);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].lianjie, QStringLiteral("http://www.b.com/"));
    EXPECT_EQ(backLinkReport(page, QStringLiteral("www.b.com")).left(3), QStringLiteral("1\r\n"));
}

TEST(HostilePagesTest, TenThousandCharacterAddressesAreSkipped)
{
    const QString longAddress = QStringLiteral("http://www.") + QString(10000, QLatin1Char('a')) + QStringLiteral(".com/");
    const QString page = anchor(longAddress, QStringLiteral("Long"))
                         + anchor(QStringLiteral("http://www.short.com/"), QStringLiteral("Short"));
    const QList<HarvestedLink> links = harvestLinks(page, kSite);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].lianjie, QStringLiteral("http://www.short.com/"));
    EXPECT_EQ(IsOutboundLink(longAddress, kSite), 1);
    EXPECT_EQ(IsHomePageLink(longAddress), 1);
}

const QString kPhrase = QStringLiteral("百度一下，找到相关网页");
const QString kSnapshot = QStringLiteral("<font color=#008000>www.me.com/ 12K 2024-1-2 </font>");

TEST(HostilePagesTest, BaiduPhraseRepeatedManyTimesStillParses)
{
    QString page;
    for (int i = 0; i < 2000; ++i)
        page += kPhrase + QStringLiteral("约%1篇，用时").arg(i);
    page += kSnapshot;
    const std::optional<BaiduResult> result = parseBaiduPage(page, kSite);
    if (result) {
        EXPECT_TRUE(result->count.endsWith(QStringLiteral("篇")));
        EXPECT_TRUE(result->verdict == kHomePageFirst || result->verdict == kNotFirst);
    }
}

} // namespace
} // namespace friendlinks
