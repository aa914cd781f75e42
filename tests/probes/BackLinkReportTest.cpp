// The back-link cell of a friend's page and the facts of its links.
#include "probes/BackLinkProbe.h"

#include "check/CheckRules.h"
#include "probes/LinkFacts.h"
#include "web/FetchResult.h"
#include "tests/common/BackLinkReport.h"
#include "tests/common/Table.h"

namespace friendlinks {
namespace {

QString mine(const QString &content) { return QStringLiteral("<a href=\"http://www.abc9.com/\">%1</a>").arg(content); }

struct ReportRow : Row {
    QString page;
    QString expected;
    QString needle = QStringLiteral("www.abc9.com");
};

const ReportRow kReports[] = {
    {"empty_body_marker", kEmptyBody, "1\r\n无知错误"}, {"too_slow_marker", kTooSlow, "1\r\n访问太慢"},
    {"marker_inside_page_is_a_page", "<p>访问太慢</p>", "0\r\n.."}, {"no_anchor", "<p>www.abc9.com</p>", "0\r\n.."},
    {"no_anchor_with_needle", "<a href=\"http://other.com/\">Other</a>", "0\r\n.."},
    {"first_of_several", mine("One") + "\n" + mine("Two"), "1\r\nOne\r\n"},
    {"later_anchor_decides", "<a href=\"http://x.com/\">X</a>" + mine("Mine"), "1\r\nMine\r\n"},
    {"needle_in_text_only", "<a href=\"/rel\">see www.abc9.com</a>", "1\r\nsee www."},
    // The image mark is exactly "img src=" in lower case; anything else is text.
    {"image_link", mine("<img src=\"logo.gif\">Text"), "1\r\n图片链接"},
    {"image_capitals_is_text", mine("<IMG SRC=\"a\">"), "1\r\n<IMG SRC"},
    {"image_other_attribute_is_text", mine("<img alt=x src=a>"), "1\r\n<img alt"},
    // The 8-character cut counts the trailing CR LF; an emoji is one character, kept or dropped whole.
    {"six_characters_keep_crlf", mine("abcdef"), "1\r\nabcdef\r\n"},
    {"seven_characters_keep_cr", mine("abcdefg"), "1\r\nabcdefg\r"},
    {"ten_characters_cut_to_eight", mine("abcdefghij"), "1\r\nabcdefgh"},
    {"emoji_sixth_keeps_crlf", mine("abcde\U0001F600"), "1\r\nabcde\U0001F600\r\n"},
    {"emoji_eighth_kept_whole", mine("abcdefg\U0001F600z"), "1\r\nabcdefg\U0001F600"},
    // The pattern ignores case, the removal of "</a>" does not; tags inside lose their brackets.
    {"upper_case_anchor", "<A HREF=\"http://www.abc9.com/\">ab</A>", "1\r\nab</A\r\n"},
    {"needle_case_respected", "<a href=\"http://WWW.ABC9.COM/\">Site</a>", "0\r\n.."},
    {"tags_inside_lose_brackets", mine("<b>ab</b>"), "1\r\n<bab</b\r"},
    // "." runs over a CR but never over a LF.
    {"cr_inside_anchor", mine("ab\rcd"), "1\r\nab\rcd\r\n"}, {"lf_inside_anchor_not_found", mine("ab\ncd"), "0\r\n.."},
    {"empty_needle_first_anchor", "<a href=\"http://x.com/\">X</a>" + mine("Mine"), "1\r\nX\r\n", ""},
    {"empty_needle_no_anchor", "<p>text</p>", "1\r\n匹配失败", ""},
};

TABLE_TEST(BackLinkReportTest, ReportsFirstAnchorHoldingNeedle, kReports)
{
    EXPECT_EQ(backLinkReport(GetParam().page, GetParam().needle), GetParam().expected);
}

const QString kMine = QStringLiteral("http://www.abc9.com/");

struct AnchorRow : Row {
    QString page;
    BackLinkFacts expected;
};

const AnchorRow kAnchors[] = {
    {"rel_capitals_single_quotes", "<a href=\"http://www.abc9.com/\" REL='External NoFollow'>A</a>",
     {kMine, {"external", "nofollow"}, false}},
    {"rel_sponsored", "<a href='http://www.abc9.com/' rel=\"sponsored\">A</a>", {kMine, {"sponsored"}, false}},
    {"other_rel_words_follow", "<a href=\"http://www.abc9.com/\" rel=\"noopener nofollowing\">A</a>",
     {kMine, {"noopener", "nofollowing"}, true}},
    {"href_as_written", "<a href=\"http://www.abc9.com/?a=1&amp;b=2\">A</a>", {kMine + "?a=1&amp;b=2", {}, true}},
    {"later_anchor_decides",
     "<a href=\"http://x.com/\" rel=nofollow>X</a><a href=\"http://www.abc9.com/\" rel=ugc>Mine</a>", {kMine, {"ugc"}, false}},
};

// The facts come from the anchor that decided the back-link cell.
TABLE_TEST(BackLinkFactsTest, ReadsTheDecidingAnchor, kAnchors)
{
    const BackLinkResult scan = scanBackLinks(GetParam().page, QStringLiteral("www.abc9.com"));
    ASSERT_FALSE(scan.anchor.isEmpty());
    EXPECT_EQ(backLinkFacts(scan.anchor), GetParam().expected);
}

TEST(BackLinkResult, NoDecidingAnchorWithoutAMatch)
{
    EXPECT_TRUE(scanBackLinks("<a href=\"http://x.com/\">X</a>", QStringLiteral("www.abc9.com")).anchor.isEmpty());
    EXPECT_TRUE(scanBackLinks(QStringLiteral("访问太慢"), QStringLiteral("www.abc9.com")).anchor.isEmpty());
    EXPECT_TRUE(scanBackLinks("no anchors", QString()).anchor.isEmpty()) << "the failure text is no anchor";
}

// A friend's page read for its nofollow (meta and X-Robots-Tag) and its anchors to other sites. The friend is
// www.friend.com, and its page came from friend.com/home/.
struct PageRow : Row {
    QString page;
    bool nofollow;
    int outbound;
    QList<QPair<QByteArray, QByteArray>> headers = {};
};

const PageRow kPages[] = {
    {"nothing", "<meta charset=utf-8><a href=/>x</a>", false, 0},
    {"name_first", "<meta name=\"robots\" content=\"nofollow\">", true, 0},
    {"content_first_single_quotes", "<META CONTENT='NoFollow' NAME='ROBOTS'>", true, 0},
    {"noindex_nofollow", "<meta name=\"robots\" content=\"noindex,nofollow\">", true, 0},
    {"none", "<meta name=\"robots\" content=\"none\">", true, 0},
    {"nofollowing_is_another_word", "<meta name=\"robots\" content=\"nofollowing\">", false, 0},
    {"baiduspider_only", "<meta name=\"Baiduspider\" content=\"nofollow\">", true, 0},
    {"googlebot_only", "<meta name=\"googlebot\" content=\"nofollow\">", false, 0},
    {"header_none_any_case", "", true, 0, {{"x-robots-tag", "NONE"}}},
    {"header_for_baiduspider", "", true, 0, {{"X-Robots-Tag", "baiduspider: nofollow"}}},
    {"header_for_another_agent_only", "", false, 0, {{"X-Robots-Tag", "googlebot: nofollow"}}},
    {"header_agent_then_ours", "", true, 0, {{"X-Robots-Tag", "googlebot: noindex, baiduspider: none"}}},
    {"header_with_dated_directive", "", true, 0, {{"X-Robots-Tag", "unavailable_after: 25 Jun 2010, nofollow"}}},
    {"other_header", "", false, 0, {{"X-Robots", "nofollow"}}},
    // Relative, scheme-relative and other schemes are no absolute http(s) address.
    {"not_absolute_http", "<a href=\"/about\">a</a><a href=\"//other.com/\">s</a><a href=\"mailto:a@b.com\">m</a>",
     false, 0},
    {"own_host_with_and_without_www", "<a href=\"http://friend.com/\">1</a><a href=\"https://www.friend.com/x\">2</a>",
     false, 0},
    {"own_host_upper_case", "<a href=\"HTTP://WWW.FRIEND.COM/\">1</a>", false, 0},
    {"repeats_count", "<a href=\"http://other.com/\">1</a><a href=\"http://other.com/\">2</a>", false, 2},
    {"subdomain_is_another_site", "<a href=\"http://blog.friend.com/\">b</a>", false, 1},
    {"port_user_and_blanks", "<a href=\" http://u@www.friend.com:8080/ \">1</a><a href=\"https://x.org:8443\">2</a>",
     false, 1},
    {"entity_in_scheme", "<a href=\"http&colon;//other.com/\">e</a>", false, 1},
    // What a browser leaves out of the page: a template's content, svg's own <a>, an escaped script body.
    {"template_content_is_no_part", "<template><meta name=robots content=nofollow><a href=http://o.com/>o</a></template>",
     false, 0},
    {"svg_anchor_is_no_link", "<svg><a href=http://o.com/>o</a></svg><a href=http://p.com/>p</a>", false, 1},
    {"escaped_script_body", "<script><!--<script></script><a href=http://o.com/>--></script>", false, 0},
    {"area_and_link_tags_are_no_anchors", "<link href=\"http://cdn.com/a.css\"><area href=\"http://o.com/\">", false,
     0},
};

TABLE_TEST(PageLinkFactsTest, ReadsNofollowAndOutboundAnchors, kPages)
{
    const QStringList own = {"http://www.friend.com/", "https://friend.com/home/"};
    const PageLinkFacts facts = pageLinkFacts(GetParam().page, GetParam().headers, own);
    EXPECT_EQ(facts.nofollow, GetParam().nofollow);
    EXPECT_EQ(facts.outbound, GetParam().outbound);
}

TEST(SiteHost, LowerCaseWithoutWww)
{
    // Case, "www.", ports and other schemes: PageLinkFactsTest's rows.
    const std::pair<const char16_t *, QString> hosts[] = {
        {u"https://[::1]:80/", "::1"}, {u"http:\\\\www.a.com\\b", "a.com"}, {u"http:", ""}};
    for (const auto &[address, host] : hosts)
        EXPECT_EQ(siteHost(address), host);
}

} // namespace
} // namespace friendlinks
