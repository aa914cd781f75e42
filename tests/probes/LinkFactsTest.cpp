#include "probes/LinkFacts.h"

#include "probes/BackLinkProbe.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

const QString kMine = QStringLiteral("http://www.abc9.com/");

struct AnchorRow : Row {
    QString page;
    BackLinkFacts expected;
};

const QString kLongAttributes = QStringLiteral(
    " title=\"友情链接 一个很长的说明文字\" class=\"link link-friend\" target=\"_blank\" "
    "data-track=\"friend-links-footer-block-number-three\" style=\"color:#333\"");

const AnchorRow kAnchors[] = {
    {"rel_absent", "<a href=\"http://www.abc9.com/\">A</a>", {kMine, {}, true}},
    {"rel_capitals_single_quotes", "<a href=\"http://www.abc9.com/\" REL='External NoFollow'>A</a>",
     {kMine, {"external", "nofollow"}, false}},
    {"rel_at_the_end_of_a_long_tag", "<a href='http://www.abc9.com/'" + kLongAttributes + " rel=\"sponsored\">A</a>",
     {kMine, {"sponsored"}, false}},
    {"rel_before_href", "<a rel=ugc href=http://www.abc9.com/>A</a>", {kMine, {"ugc"}, false}},
    {"other_rel_words_follow", "<a href=\"http://www.abc9.com/\" rel=\"noopener nofollowing\">A</a>",
     {kMine, {"noopener", "nofollowing"}, true}},
    {"href_as_written", "<a href=\"http://www.abc9.com/?a=1&amp;b=2\">A</a>", {kMine + "?a=1&amp;b=2", {}, true}},
    {"image_link", "<a href=\"http://www.abc9.com/\" rel=nofollow><img src=\"l.gif\"></a>", {kMine, {"nofollow"}, false}},
    {"first_of_several_decides", "<a href=\"http://www.abc9.com/\">One</a><a href=\"http://www.abc9.com/\" rel=nofollow>Two</a>",
     {kMine, {}, true}},
    {"later_anchor_decides", "<a href=\"http://x.com/\" rel=nofollow>X</a><a href=\"http://www.abc9.com/\" rel=\"nofollow\">Mine</a>",
     {kMine, {"nofollow"}, false}},
};

// The facts come from the anchor that decided the back-link cell.
TABLE_TEST(BackLinkFactsTest, ReadsTheDecidingAnchor, kAnchors)
{
    const BackLinkScan scan = scanBackLinks(GetParam().page, QStringLiteral("www.abc9.com"));
    ASSERT_FALSE(scan.anchor.isEmpty());
    EXPECT_EQ(backLinkFacts(scan.anchor), GetParam().expected);
}

TEST(BackLinkScan, NoDecidingAnchorWithoutAMatch)
{
    EXPECT_TRUE(scanBackLinks("<a href=\"http://x.com/\">X</a>", QStringLiteral("www.abc9.com")).anchor.isEmpty());
    EXPECT_TRUE(scanBackLinks(QStringLiteral("访问太慢"), QStringLiteral("www.abc9.com")).anchor.isEmpty());
    EXPECT_TRUE(scanBackLinks("no anchors", QString()).anchor.isEmpty()) << "the failure text is no anchor";
}

struct NofollowRow : Row {
    QString page;
    bool nofollow;
    QList<QPair<QByteArray, QByteArray>> headers = {};
};

const NofollowRow kNofollows[] = {
    {"nothing", "<meta charset=utf-8><a href=/>x</a>", false},
    {"name_first", "<meta name=\"robots\" content=\"nofollow\">", true},
    {"content_first_single_quotes", "<META CONTENT='NoFollow' NAME='ROBOTS'>", true},
    {"unquoted", "<meta name=robots content=nofollow>", true},
    {"noindex_nofollow", "<meta name=\"robots\" content=\"noindex,nofollow\">", true},
    {"none", "<meta name=\"robots\" content=\"none\">", true},
    {"index_follow", "<meta name=\"robots\" content=\"index, follow\">", false},
    {"noindex_only", "<meta name=\"robots\" content=\"noindex\">", false},
    {"nofollowing_is_another_word", "<meta name=\"robots\" content=\"nofollowing\">", false},
    {"baiduspider_only", "<meta name=\"Baiduspider\" content=\"nofollow\">", true},
    {"googlebot_only", "<meta name=\"googlebot\" content=\"nofollow\">", false},
    {"meta_in_comment", "<!-- <meta name=\"robots\" content=\"nofollow\"> -->", false},
    {"meta_in_script", "<script>s='<meta name=robots content=nofollow>'</script>", false},
    {"header_all_agents", "", true, {{"X-Robots-Tag", "noindex, nofollow"}}},
    {"header_none_any_case", "", true, {{"x-robots-tag", "NONE"}}},
    {"header_for_baiduspider", "", true, {{"X-Robots-Tag", "baiduspider: nofollow"}}},
    {"header_for_another_agent_only", "", false, {{"X-Robots-Tag", "googlebot: nofollow"}}},
    {"header_agent_then_ours", "", true, {{"X-Robots-Tag", "googlebot: noindex, baiduspider: none"}}},
    {"header_with_dated_directive", "", true, {{"X-Robots-Tag", "unavailable_after: 25 Jun 2010, nofollow"}}},
    {"other_header", "", false, {{"X-Robots", "nofollow"}}},
};

TABLE_TEST(PageNofollowTest, ReadsMetaAndHeader, kNofollows)
{
    EXPECT_EQ(pageLinkFacts(GetParam().page, GetParam().headers, {}).nofollow, GetParam().nofollow);
}

struct OutboundRow : Row {
    QString anchors;
    int outbound;
};

const OutboundRow kOutbound[] = {
    {"relative_links", "<a href=\"/about\">a</a><a href=\"news.html\">n</a><a href=\"?p=2\">p</a>", 0},
    {"javascript_and_mail", "<a href=\"javascript:void(0)\">j</a><a href=\"mailto:a@b.com\">m</a>", 0},
    {"own_host_with_and_without_www", "<a href=\"http://friend.com/\">1</a><a href=\"https://www.friend.com/x\">2</a>", 0},
    {"own_host_upper_case", "<a href=\"HTTP://WWW.FRIEND.COM/\">1</a>", 0},
    {"other_host_upper_case", "<a href=\"HTTP://WWW.OTHER.COM/\">1</a>", 1},
    {"repeats_count", "<a href=\"http://other.com/\">1</a><a href=\"http://other.com/\">2</a>", 2},
    {"subdomain_is_another_site", "<a href=\"http://blog.friend.com/\">b</a>", 1},
    {"port_user_and_blanks", "<a href=\" http://u@www.friend.com:8080/ \">1</a><a href=\"https://x.org:8443\">2</a>", 1},
    {"scheme_relative_is_not_absolute", "<a href=\"//other.com/\">s</a>", 0},
    {"commented_out", "<!-- <a href=\"http://other.com/\">c</a> --><a href=\"http://other.cn/\">d</a>", 1},
    {"written_in_script", "<script>a='<a href=\"http://other.com/\">'</script>", 0},
    {"entity_in_scheme", "<a href=\"http&colon;//other.com/\">e</a>", 1},
    {"area_and_link_tags_are_no_anchors", "<link href=\"http://cdn.com/a.css\"><area href=\"http://o.com/\">", 0},
};

// The friend is www.friend.com, and its page came from friend.com/home/.
TABLE_TEST(OutboundTest, CountsAnchorsToOtherSites, kOutbound)
{
    const QStringList own = {"http://www.friend.com/", "https://friend.com/home/"};
    EXPECT_EQ(pageLinkFacts(GetParam().anchors, {}, own).outbound, GetParam().outbound);
}

TEST(SiteHost, LowerCaseWithoutWww)
{
    const std::pair<const char16_t *, QString> hosts[] = {{u"http://WWW.Abc9.COM/x", "abc9.com"}, {u"https://[::1]:80/", "::1"},
        {u"http:\\\\www.a.com\\b", "a.com"}, {u"ftp://a.com/", ""}, {u"www.a.com", ""}, {u"http:", ""}};
    for (const auto &[address, host] : hosts)
        EXPECT_EQ(siteHost(address), host);
}

} // namespace
} // namespace friendlinks
