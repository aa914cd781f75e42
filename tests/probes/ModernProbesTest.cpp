#include "probes/ModernBackLink.h"
#include "probes/ModernBaidu.h"

#include "web/FetchResult.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

// The back link of modern mode: which anchor decides, for the site "www.mysite.com".
struct BackLinkRow : Row {
    QString page;
    QString report;
};

const BackLinkRow kBackLinks[] = {
    {"https_without_www", "<a href=\"https://mysite.com/\">我的站</a>", "1\r\n我的站\r\n"},
    {"http_with_www", "<a href='http://www.mysite.com'>我的站</a>", "1\r\n我的站\r\n"},
    {"upper_case_host", "<a href=HTTPS://WWW.MYSITE.COM/>大写</a>", "1\r\n大写\r\n"},
    {"inner_page_of_the_site", "<a href=\"https://www.mysite.com/about.html\">关于</a>", "1\r\n关于\r\n"},
    {"look_alike_host_is_not_the_site",
     "<a href=\"https://notmysite.com/\">冒名</a><a href=\"https://mysite.com.evil.cn/\">假</a>", "0\r\n.."},
    {"subdomain_is_not_the_site", "<a href=\"https://blog.mysite.com/\">博客</a>", "0\r\n.."},
    {"site_only_in_the_text_is_no_back_link", "<a href=\"/x\">www.mysite.com</a>", "0\r\n.."},
    {"first_matching_anchor_decides",
     "<a href=\"https://other.com/\">别处</a><a href=\"https://mysite.com/\"><img src=\"a.png\"></a>"
     "<a href=\"https://www.mysite.com/\">文字</a>", "1\r\n图片链接"},
    {"text_cut_to_eight", "<a href=\"https://mysite.com\">一二三四五六七八九</a>", "1\r\n一二三四五六七八"},
    {"relative_and_script_links_never_match", "<a href=\"//mysite\">a</a><a href=\"javascript:mysite.com\">b</a>", "0\r\n.."},
    {"marker_stays_a_marker", kTooSlow, "1\r\n访问太慢"},
};

TABLE_TEST(ModernBackLinkTest, FirstAnchorNamingTheHostDecides, kBackLinks)
{
    for (const char *site : {"www.mysite.com", "http://mysite.com/", "HTTPS://WWW.MySite.com", " mysite.com/blog/ "}) {
        const QString host = comparableSiteHost(QString::fromLatin1(site));
        EXPECT_EQ(host, "mysite.com") << site;
        EXPECT_EQ(scanModernBackLinks(GetParam().page, host).report, GetParam().report) << site;
    }
}

TEST(ModernBackLink, NoHostMeansNoBackLink)
{
    EXPECT_EQ(comparableSiteHost(""), "");
    EXPECT_EQ(scanModernBackLinks("<a href=\"https://mysite.com/\">x</a>", QString()).report, "0\r\n..");
}

// Today's Baidu result page: the count phrase and result blocks carrying the real address in mu="...".
QString todaysPage(const QString &count, const QString &firstMu)
{
    QString page = QStringLiteral("<html><script>var s = '<div mu=\"https://www.decoy.com/\">';</script>"
                                  "<div class=\"nums\">%1</div>").arg(count);
    if (!firstMu.isEmpty())
        page += QStringLiteral("<div class=\"result c-container\" id=\"1\" mu=\"%1\"><h3>首页</h3></div>").arg(firstMu);
    return page + QStringLiteral("<div class=\"result c-container\" id=\"2\" mu=\"https://www.other.com/\"></div></html>");
}

struct BaiduRow : Row {
    QString page;
    QString site;
    std::optional<BaiduResult> result;
};

const BaiduRow kBaidu[] = {
    {"first_result_is_the_site", todaysPage("百度为您找到相关结果约1,230个", "https://www.friend-a.com/"),
     "https://www.friend-a.com/", BaiduResult{"1,230篇", "", kHomePageFirst}},
    {"scheme_www_and_slash_do_not_matter", todaysPage("找到相关结果数约86个", "http://friend-a.com"),
     "https://www.friend-a.com/", BaiduResult{"86篇", "", kHomePageFirst}},
    {"host_case_does_not_matter", todaysPage("该网站共有 9 个网页被百度收录", "https://WWW.Friend-A.com/"),
     "http://www.friend-a.com/", BaiduResult{"9篇", "", kHomePageFirst}},
    {"inner_page_first_is_not_first", todaysPage("百度为您找到相关结果约5个", "https://www.friend-a.com/news/"),
     "https://www.friend-a.com/", BaiduResult{"5篇", "", kNotFirst}},
    {"another_site_first", todaysPage("百度为您找到相关结果约5个", "https://notfriend-a.com/"),
     "https://friend-a.com/", BaiduResult{"5篇", "", kNotFirst}},
    {"count_without_results_leaves_rp_empty", todaysPage("百度为您找到相关结果约0个", "").replace("mu=", "data-x="),
     "https://www.friend-a.com/", BaiduResult{"0篇", "", ""}},
    {"no_count_no_result", todaysPage("抱歉，没有找到", "https://www.friend-a.com/"), "https://www.friend-a.com/",
     std::nullopt},
    {"the_old_page_still_reads_the_old_way",
     "百度一下，找到相关网页约5篇，用时0.1秒<font color=#008000>www.friend-a.com/ 3K 2026-1-2</font>",
     "https://www.friend-a.com/", BaiduResult{"约5篇", "3K 2026-1-2\r\n", kHomePageFirst}},
};

TABLE_TEST(ModernBaiduTest, ReadsTodaysPageWhenTheOldOneIsNotThere, kBaidu)
{
    EXPECT_EQ(parseModernBaiduPage(GetParam().page, GetParam().site), GetParam().result);
}

TEST(ModernBaidu, QueryDropsEitherScheme)
{
    for (const char *site : {"https://www.friend-a.com/", "http://www.friend-a.com/"})
        EXPECT_EQ(modernBaiduQueryUrl("www.baidu.com", site), "http://www.baidu.com/s?wd=site:www.friend-a.com/");
}

} // namespace
} // namespace friendlinks
