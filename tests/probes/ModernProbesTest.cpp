#include "probes/ModernBackLink.h"
#include "probes/ModernBaidu.h"
#include "probes/PageAnchors.h"

#include "web/FetchResult.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

// The links of a page as modern mode reads them, each as `address "text"`
// and its flags, joined by " | "; "-" for an address that is not http(s).
QString anchorsRead(const QString &html, const QString &pageAddress)
{
    QStringList out;
    for (const PageAnchor &a : readPageAnchors(html, pageAddress)) {
        QString line = (a.address.isEmpty() ? QStringLiteral("-") : a.address) + " \"" + a.text + "\"";
        if (!a.follow)
            line += " nofollow";
        if (a.hidden)
            line += " hidden";
        out << line;
    }
    return out.join(" | ");
}

struct AnchorRow : Row {
    QString html;
    QString read;
};

const QString kPageAddress = QStringLiteral("https://www.b.com/dir/page.html");

const AnchorRow kAnchors[] = {
    // Comments and raw text are HtmlTags' own; the content of a template is no part of the page.
    {"template_holds_none", "<template><a href=http://p.com/>p</a></template><a href=http://c.com/>c</a>",
     "http://c.com/ \"c\""},
    {"references_decoded", "<a href=\"http://c.com/?a=1&amp;b=2\">A&amp;B &lt;3&#x4E2D;</a>",
     "http://c.com/?a=1&b=2 \"A&B <3中\""},
    {"relative_against_the_page",
     "<a href=x.html>1</a><a href=/y>2</a><a href=//cdn.c.com/z>3</a><a href=../up/>4</a><a href=\" HTTP://C.COM\n\">5</a>",
     "https://www.b.com/dir/x.html \"1\" | https://www.b.com/y \"2\" | https://cdn.c.com/z \"3\" | "
     "https://www.b.com/up/ \"4\" | http://c.com/ \"5\""},
    {"base_anywhere_in_the_page", "<a href=p>1</a><base href=\"http://www.base.com/sub/\"><base href=http://no.com/>",
     "http://www.base.com/sub/p \"1\""},
    {"relative_base", "<base href=\"/root/\"><a href=p>1</a>", "https://www.b.com/root/p \"1\""},
    {"only_http_and_https", "<a href=mailto:a@me.com>m</a><a href=\"javascript:go('http://c.com/')\">j</a>"
                            "<a href=ftp://c.com/>f</a><a name=top>no href</a>",
     "- \"m\" | - \"j\" | - \"f\""},
    {"text_content_collapsed", "<a href=/><b>粗</b> <i>体</i>\n\t 文字&nbsp;</a>", "https://www.b.com/ \"粗 体 文字\""},
    {"image_alone_gives_its_alt",
     "<a href=/1><img src=a.png alt=\"友站 标志\"></a><a href=/2> <IMG SRC=b.png> </a><a href=/3><img alt=\"\">字</a>",
     "https://www.b.com/1 \"友站 标志\" | https://www.b.com/2 \"图片链接\" | https://www.b.com/3 \"字\""},
    {"anchor_in_anchor_ends_the_first", "<a href=/1>one<a href=/2>two</a> after", "https://www.b.com/1 \"one\" | https://www.b.com/2 \"two\""},
    {"rel_and_hidden",
     "<a href=/1 rel=\"Sponsored noopener\">1</a><a href=/2 hidden>2</a><a href=/3 style=\"color:red; DISPLAY : none !important\">3</a>"
     "<a href=/4 style=visibility:hidden>4</a><a href=/5 style=\"display:block\" rel=UGC>5</a>",
     "https://www.b.com/1 \"1\" nofollow | https://www.b.com/2 \"2\" hidden | https://www.b.com/3 \"3\" hidden | "
     "https://www.b.com/4 \"4\" hidden | https://www.b.com/5 \"5\" nofollow"},
};

TABLE_TEST(PageAnchorsTest, ReadsLinksAsABrowserDoes, kAnchors)
{
    EXPECT_EQ(anchorsRead(GetParam().html, kPageAddress), GetParam().read);
}

TEST(PageAnchors, HrefAsWrittenAndTextsKeptToSixtyFour)
{
    const QList<PageAnchor> anchors = readPageAnchors(u"<a href='/?a=1&amp;b' REL='NoFollow'>t</a>", kPageAddress);
    ASSERT_EQ(anchors.size(), 1);
    EXPECT_EQ(anchors[0].href, "/?a=1&amp;b");
    EXPECT_EQ(anchors[0].rel, QStringList{"nofollow"});
    EXPECT_EQ(readPageAnchors(u"<a href=/x>x</a>", QString())[0].address, ""); // nothing to resolve against

    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(keptText(QString(64, u'字')), QString(64, u'字'));
    EXPECT_EQ(keptText(QString(63, u'字') + emoji + "x"), QString(63, u'字') + emoji + "…");
}

TEST(ModernBackLink, SiteHostInAnyForm)
{
    for (const char *site : {"www.mysite.com", "http://mysite.com/", "HTTPS://WWW.MySite.com", " mysite.com/blog/ "})
        EXPECT_EQ(comparableSiteHost(QString::fromLatin1(site)), "mysite.com") << site;
    EXPECT_EQ(comparableSiteHost(""), "");
    EXPECT_FALSE(scanModernBackLinks(u"<a href=\"https://mysite.com/\">x</a>", kPageAddress, QString(), false).anchor);
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
    {"first_result_is_the_site_in_any_form", todaysPage("找到相关结果数约86个", "HTTP://WWW.Friend-A.com"),
     "https://friend-a.com/", BaiduResult{"86篇", "", kHomePageFirst}},
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
    // Without "篇，用时" the old count runs to the page's end: the number alone, never the markup after it.
    {"markup_after_the_old_count_is_dropped",
     "百度一下，找到相关网页约5<b>篇</b><font color=#008000>www.friend-a.com/ 3K 2026-1-2</font>",
     "https://www.friend-a.com/", BaiduResult{"约5篇", "3K 2026-1-2\r\n", kHomePageFirst}},
    {"no_number_after_the_old_phrase_leaves_the_count_empty",
     "百度一下，找到相关网页<b>许多</b>篇，用时<font color=#008000>www.friend-a.com/ 3K 2026-1-2</font>",
     "https://www.friend-a.com/", BaiduResult{"", "3K 2026-1-2\r\n", kHomePageFirst}},
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
