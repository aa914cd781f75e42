#include "probes/DomainRules.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

struct OutboundRow : Row {
    QString site;
    QString link;
    int expected;
};

// "abc9" plays the name N: letters and digits holding none of the endings.
const OutboundRow kOutbound[] = {
    {"www_com_own_link", "www.abc9.com", "http://www.abc9.com/page.html", 0},
    {"www_com_other_site", "www.abc9.com", "http://www.other.com/", 1},
    {"trailing_slash", "www.abc9.com/", "http://www.abc9.com/", 0}, {"com_cn", "www.abc9.com.cn", "http://abc9/", 0},
    {"bbs_net", "bbs.abc9.net", "http://abc9/", 0}, {"blog_org", "blog.abc9.org", "http://abc9/", 0},
    // Without a known host prefix "http:" stays in front of the name.
    {"no_known_prefix", "abc9.com", "http://abc9.com/", 1},
    {"no_known_prefix_matching_reduced", "abc9.com", "xhttp:abc9", 0},
    // ".cn" goes first out of "www.cnabc9.com", so "http://www." is never found afterwards.
    {"ending_inside_address", "www.cnabc9.com", "http://www.cnabc9.com/", 1},
    {"ending_inside_address_reduced", "www.cnabc9.com", "http:wwwabc9", 0},
    {"tv_anywhere", "www.abtvc9.com", "http://abc9/", 0},
    // The scheme test ignores case, the removals do not.
    {"capital_scheme", "HTTP://www.abc9.com", "http://abc9/", 1},
    {"capital_scheme_reduced", "HTTP://www.abc9.com", "HTTP:www.abc9", 0},
    // The reduced name is empty: every non-empty link contains it.
    {"empty_reduced_name", "http://www.", "http://anything/", 0},
    {"empty_reduced_name_empty_link", "http://www.", "", 1},
    // An entry with its trailing blank is removed only with that blank.
    {"blank_ending", "www.abc9.edu ", "http://abc9/", 0}, {"edu_without_blank", "www.abc9.edu", "http://abc9.edu/", 0},
    {"edu_without_blank_other", "www.abc9.edu", "http://abc9/", 1},
    {"link_case_respected", "www.abc9.com", "http://www.ABC9.com/", 1},
    // Typed as https the prefix "http://www." never matches: the check takes it as http (asHttpSite).
    {"https_site_as_typed", "https://www.abc9.com", "http://www.abc9.com/", 1},
};

TABLE_TEST(OutboundLinkTest, JudgesLinkAgainstReducedSite, kOutbound)
{
    EXPECT_EQ(IsOutboundLink(GetParam().link, GetParam().site), GetParam().expected);
}

struct HomePageRow : Row {
    QString link;
    int expected;
};

const HomePageRow kHomePages[] = {
    {"root", "http://www.abc9.com/", 1},                   {"bbs_dir", "http://www.abc9.com/bbs/", 1},
    {"windows7_dir_no_slash", "http://www.abc9.com/windows7", 1}, {"other_dir", "http://www.abc9.com/news/", 0},
    {"bbs_host", "http://bbs.abc9.net/", 1},               {"blog_host", "http://blog.abc9.org", 1},
    {"no_known_host_prefix", "http://abc9.com/", 0},       {"capital_host", "http://WWW.abc9.com/", 0},
    {"https", "https://www.abc9.com/", 0},                 {"com_cn", "http://www.abc9.com.cn/", 1},
    {"name_ending_in_tv", "http://www.abc9tv/", 1},        {"star_spans_slash", "http://www.abc9.com/x/y.com/", 1},
    {"unknown_ending", "http://www.abc9.de/", 0},          {"blank_ending_needs_blank", "http://www.abc9.gov /", 1},
    {"edu_without_blank", "http://www.abc9.edu/", 0},      {"la_not_a_pattern_ending", "http://www.abc9.la/", 0},
    {"empty", "", 0},                                      {"chinese_name", "http://www.中文.com/", 1},
};

TABLE_TEST(HomePageLinkTest, MatchesHomePagePatterns, kHomePages)
{
    EXPECT_EQ(IsHomePageLink(GetParam().link), GetParam().expected);
}

TEST(WildcardMatch, WholeTextStarsSpanAnythingAndStayFast)
{
    // Stars over slashes, case and other scripts: HomePageLinkTest's rows.
    const std::tuple<QString, QString, bool> cases[] = {
        {"", "", true}, {"", "a", false}, {"*", "", true}, {"a*c", "acx", false}, {"a*c", "xac", false},
        {"a*b*c", "aXcYb", false}, {"a?c", "abc", false},
    };
    for (const auto &[pattern, text, expected] : cases)
        EXPECT_EQ(wildcardMatch(pattern, text), expected) << pattern.toStdString() << " vs " << text.toStdString();
    // Backtracking only to the last star: no exponential blow-up.
    EXPECT_FALSE(wildcardMatch(QString("*a").repeated(30) + QStringLiteral("b"), QString(2000, QLatin1Char('a'))));
}

TEST(AsHttpSite, HttpsInAnyCaseBecomesHttp)
{
    EXPECT_EQ(asHttpSite("HtTpS://www.abc9.com/"), "http://www.abc9.com/");
    for (const QString same : {"http://www.abc9.com", "www.abc9.com", " https://x", "https:/x", ""})
        EXPECT_EQ(asHttpSite(same), same);
}

} // namespace
} // namespace friendlinks
