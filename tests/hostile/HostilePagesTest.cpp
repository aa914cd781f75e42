// Hostile pages straight into the parsers: huge, deeply odd or broken markup.
#include "check/Harvest.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"
#include "probes/DomainRules.h"

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("http://www.me.com");

QString anchor(const QString &href, const QString &text) { return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text); }

QStringList harvested(const QString &page)
{
    QStringList addresses;
    for (const HarvestedLink &link : harvestLinks(page, kSite))
        addresses << link.lianjie;
    return addresses;
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
