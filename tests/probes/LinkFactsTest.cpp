#include "probes/LinkFacts.h"

#include "probes/BackLinkProbe.h"

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

using Headers = QList<QPair<QByteArray, QByteArray>>;

const QString kNeedle = QStringLiteral("www.abc9.com");

struct AnchorCase {
    const char *name;
    QString page;
    BackLinkFacts expected;
};
void PrintTo(const AnchorCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class BackLinkFactsTest : public ::testing::TestWithParam<AnchorCase> {};

// The facts come from the anchor that decided the back-link cell.
TEST_P(BackLinkFactsTest, ReadsTheDecidingAnchor)
{
    const BackLinkScan scan = scanBackLinks(GetParam().page, kNeedle);
    ASSERT_FALSE(scan.anchor.isEmpty());
    const BackLinkFacts facts = backLinkFacts(scan.anchor);
    EXPECT_EQ(facts.href, GetParam().expected.href);
    EXPECT_EQ(facts.rel, GetParam().expected.rel);
    EXPECT_EQ(facts.follow, GetParam().expected.follow);
}

const QString kLongAttributes = QStringLiteral(
    " title=\"友情链接 一个很长的说明文字\" class=\"link link-friend\" target=\"_blank\" "
    "data-track=\"friend-links-footer-block-number-three\" style=\"color:#333\"");

const AnchorCase kAnchorCases[] = {
    {"rel_absent", "<a href=\"http://www.abc9.com/\">A</a>", {"http://www.abc9.com/", {}, true}},
    {"rel_capitals_single_quotes", "<a href=\"http://www.abc9.com/\" REL='External NoFollow'>A</a>",
     {"http://www.abc9.com/", {"external", "nofollow"}, false}},
    {"rel_at_the_end_of_a_long_tag",
     "<a href='http://www.abc9.com/'" + kLongAttributes + " rel=\"sponsored\">A</a>",
     {"http://www.abc9.com/", {"sponsored"}, false}},
    {"rel_before_href", "<a rel=ugc href=http://www.abc9.com/>A</a>", {"http://www.abc9.com/", {"ugc"}, false}},
    {"other_rel_words_follow", "<a href=\"http://www.abc9.com/\" rel=\"noopener nofollowing\">A</a>",
     {"http://www.abc9.com/", {"noopener", "nofollowing"}, true}},
    {"href_as_written", "<a href=\"http://www.abc9.com/?a=1&amp;b=2\">A</a>",
     {"http://www.abc9.com/?a=1&amp;b=2", {}, true}},
    {"image_link", "<a href=\"http://www.abc9.com/\" rel=nofollow><img src=\"l.gif\"></a>",
     {"http://www.abc9.com/", {"nofollow"}, false}},
    {"first_of_several_decides",
     "<a href=\"http://www.abc9.com/\">One</a><a href=\"http://www.abc9.com/\" rel=nofollow>Two</a>",
     {"http://www.abc9.com/", {}, true}},
    {"later_anchor_decides",
     "<a href=\"http://x.com/\" rel=nofollow>X</a><a href=\"http://www.abc9.com/\" rel=\"nofollow\">Mine</a>",
     {"http://www.abc9.com/", {"nofollow"}, false}},
};

INSTANTIATE_TEST_SUITE_P(Anchors, BackLinkFactsTest, ::testing::ValuesIn(kAnchorCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(BackLinkScan, NoDecidingAnchorWithoutAMatch)
{
    EXPECT_TRUE(scanBackLinks("<a href=\"http://x.com/\">X</a>", kNeedle).anchor.isEmpty());
    EXPECT_TRUE(scanBackLinks(QStringLiteral("访问太慢"), kNeedle).anchor.isEmpty());
    EXPECT_TRUE(scanBackLinks("no anchors", QString()).anchor.isEmpty()) << "the failure text is no anchor";
}

struct NofollowCase {
    const char *name;
    QString page;
    Headers headers;
    bool nofollow;
};
void PrintTo(const NofollowCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class PageNofollowTest : public ::testing::TestWithParam<NofollowCase> {};

TEST_P(PageNofollowTest, ReadsMetaAndHeader)
{
    EXPECT_EQ(pageLinkFacts(GetParam().page, GetParam().headers, {}).nofollow, GetParam().nofollow);
}

const NofollowCase kNofollowCases[] = {
    {"nothing", "<meta charset=utf-8><a href=/>x</a>", {}, false},
    {"name_first", "<meta name=\"robots\" content=\"nofollow\">", {}, true},
    {"content_first_single_quotes", "<META CONTENT='NoFollow' NAME='ROBOTS'>", {}, true},
    {"unquoted", "<meta name=robots content=nofollow>", {}, true},
    {"noindex_nofollow", "<meta name=\"robots\" content=\"noindex,nofollow\">", {}, true},
    {"none", "<meta name=\"robots\" content=\"none\">", {}, true},
    {"index_follow", "<meta name=\"robots\" content=\"index, follow\">", {}, false},
    {"noindex_only", "<meta name=\"robots\" content=\"noindex\">", {}, false},
    {"baiduspider_only", "<meta name=\"Baiduspider\" content=\"nofollow\">", {}, true},
    {"googlebot_only", "<meta name=\"googlebot\" content=\"nofollow\">", {}, false},
    {"meta_in_comment", "<!-- <meta name=\"robots\" content=\"nofollow\"> -->", {}, false},
    {"meta_in_script", "<script>s='<meta name=robots content=nofollow>'</script>", {}, false},
    {"header_all_agents", "", {{"X-Robots-Tag", "noindex, nofollow"}}, true},
    {"header_none_any_case", "", {{"x-robots-tag", "NONE"}}, true},
    {"header_for_baiduspider", "", {{"X-Robots-Tag", "baiduspider: nofollow"}}, true},
    {"header_for_another_agent_only", "", {{"X-Robots-Tag", "googlebot: nofollow"}}, false},
    {"header_agent_then_ours", "", {{"X-Robots-Tag", "googlebot: noindex, baiduspider: none"}}, true},
    {"header_with_dated_directive", "", {{"X-Robots-Tag", "unavailable_after: 25 Jun 2010, nofollow"}}, true},
    {"other_header", "", {{"X-Robots", "nofollow"}}, false},
};

INSTANTIATE_TEST_SUITE_P(Pages, PageNofollowTest, ::testing::ValuesIn(kNofollowCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct OutboundCase {
    const char *name;
    QString anchors;
    int outbound;
};
void PrintTo(const OutboundCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class OutboundTest : public ::testing::TestWithParam<OutboundCase> {};

// The friend is www.friend.com, and its page came from friend.com/home/.
TEST_P(OutboundTest, CountsAnchorsToOtherSites)
{
    const QStringList own = {"http://www.friend.com/", "https://friend.com/home/"};
    EXPECT_EQ(pageLinkFacts(GetParam().anchors, {}, own).outbound, GetParam().outbound);
}

const OutboundCase kOutboundCases[] = {
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

INSTANTIATE_TEST_SUITE_P(Pages, OutboundTest, ::testing::ValuesIn(kOutboundCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SiteHost, LowerCaseWithoutWww)
{
    EXPECT_EQ(siteHost(u"http://WWW.Abc9.COM/x"), "abc9.com");
    EXPECT_EQ(siteHost(u"https://[::1]:80/"), "::1");
    EXPECT_EQ(siteHost(u"http:\\\\www.a.com\\b"), "a.com");
    EXPECT_EQ(siteHost(u"ftp://a.com/"), "");
    EXPECT_EQ(siteHost(u"www.a.com"), "");
    EXPECT_EQ(siteHost(u"http:"), "");
}

} // namespace
} // namespace friendlinks
