#include "check/Harvest.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("https://www.mysite.com");

QString anchor(const QString &href, const QString &content)
{
    return QStringLiteral("<a href=\"%1\">%2</a>\n").arg(href, content);
}

// One page, harvested both ways: the modern rows, the classic rows, and the
// count of https friend links the classic harvest passes over.
struct ModeRow : Row {
    QString page;
    QStringList modern;  // lianjie of each modern row
    QStringList classic; // lianjie of each classic row
    int unlistedHttps;
};

QStringList addresses(const QList<HarvestedLink> &links)
{
    QStringList out;
    for (const HarvestedLink &link : links)
        out << link.lianjie;
    return out;
}

// "https://www." (12) + 33 letters + ".com/" (5) is 50 characters; with 34
// letters the https address has 51, its http form 50.
const QString kName33 = QString(33, QLatin1Char('n'));
const QString kName34 = QString(34, QLatin1Char('n'));

const ModeRow kModes[] = {
    {"mixed_schemes_in_page_order",
     anchor("https://www.friend-a.com/", "甲") + anchor("http://www.friend-b.net/", "乙")
         + anchor("HTTPS://blog.friend-c.org/", "丙"),
     {"https://www.friend-a.com/", "http://www.friend-b.net/", "HTTPS://blog.friend-c.org/"},
     {"http://www.friend-b.net/"}, 2},
    {"https_links_into_the_own_site_are_never_rows",
     anchor("https://www.mysite.com/", "首页") + anchor("https://bbs.mysite.com/", "论坛")
         + anchor("http://www.mysite.com/about/", "关于"),
     {}, {}, 0},
    {"https_inner_pages_are_never_rows",
     anchor("https://www.friend-a.com/news/1.html", "新闻") + anchor("https://www.friend-a.com/dir/", "目录"),
     {}, {}, 0},
    {"https_home_directories_count",
     anchor("https://www.friend-a.com/bbs/", "论坛") + anchor("https://www.friend-a.com", "无斜杠"),
     {"https://www.friend-a.com/bbs/", "https://www.friend-a.com"}, {}, 2},
    {"fifty_characters_counted_on_the_address_as_found",
     anchor("https://www." + kName33 + ".com/", "五十") + anchor("https://www." + kName34 + ".com/", "五十一")
         + anchor("http://www." + kName34 + ".com/", "http 五十"),
     {"https://www." + kName33 + ".com/", "http://www." + kName34 + ".com/"},
     {"http://www." + kName34 + ".com/"}, 1},
    {"footer_words_and_hosts_without_known_prefix_stay_out",
     anchor("https://www.miibeian.gov.cn/", "京ICP备1号") + anchor("https://friend-a.com/", "无前缀"),
     {}, {}, 0},
    {"anchor_with_an_http_text_is_listed_by_classic_under_that_address",
     anchor("https://www.friend-a.com/", "http://www.friend-a.com/"),
     {"https://www.friend-a.com/"}, {"http://www.friend-a.com/"}, 0},
};

TABLE_TEST(ModernHarvestTest, ListsHttpsFriendsOnlyInModernMode, kModes)
{
    const ModeRow &c = GetParam();
    const Harvest modern = harvest(c.page, kSite, LinkMode::Modern);
    EXPECT_EQ(addresses(modern.links), c.modern);
    EXPECT_EQ(modern.unlistedHttps, 0);
    const Harvest classic = harvest(c.page, kSite, LinkMode::Classic);
    EXPECT_EQ(addresses(classic.links), c.classic);
    EXPECT_EQ(classic.unlistedHttps, c.unlistedHttps);
    EXPECT_EQ(classic.links, harvestLinks(c.page, kSite)); // the classic rows are the specified ones
}


TEST(ModernHarvest, RowKeepsSchemeAndTheClassicNameRules)
{
    const QString page = anchor("https://www.friend-a.com/", "一个名字特别特别长的友情链接博客站点")
        + "<a href=\"https://www.friend-b.net/\"><img src=\"b.png\"></a>";
    const QList<HarvestedLink> links = harvest(page, kSite, LinkMode::Modern).links;
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0], (HarvestedLink{"https://www.friend-a.com/", "一个名字特别特别长的友情链接博"}));
    EXPECT_EQ(links[1], (HarvestedLink{"https://www.friend-b.net/", "图片链接"}));
}

} // namespace
} // namespace friendlinks
