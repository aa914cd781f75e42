// robots.txt as crawlers read it: groups, longest match, wildcards, encodings, and what a status means.
#include "probes/RobotsRules.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

// The file of RFC 9309's first example, comments and all.
const char *const kSimpleExample = "User-Agent: *\n"
                                   "Disallow: *.gif$\n"
                                   "Disallow: /example/\n"
                                   "Allow: /publications/\n"
                                   "\n"
                                   "User-Agent: foobot\n"
                                   "Disallow:/\n"
                                   "Allow:/example/page.html\n"
                                   "Allow:/example/allowed.gif\n"
                                   "\n"
                                   "User-Agent: barbot\n"
                                   "User-Agent: bazbot\n"
                                   "Disallow: /example/page.html\n"
                                   "\n"
                                   "User-Agent: quxbot\n"
                                   "\n"
                                   "EOF\n";

const char *const kLongestMatchExample = "User-Agent: foobot\n"
                                         "Allow: /example/page/\n"
                                         "Disallow: /example/page/disallowed.gif\n";

struct VerdictRow : Row {
    const char *robots;
    const char *agent;
    const char *path;
    bool allowed;
    const char *rule;
};

const VerdictRow kVerdicts[] = {
    // The RFC's simple example, crawler by crawler.
    {"simple_foobot_root", kSimpleExample, "foobot", "/", false, "Disallow: /"},
    {"simple_foobot_allowed_page", kSimpleExample, "foobot", "/example/page.html", true, "Allow: /example/page.html"},
    {"simple_foobot_allowed_gif", kSimpleExample, "foobot", "/example/allowed.gif", true,
     "Allow: /example/allowed.gif"},
    {"simple_foobot_other_gif", kSimpleExample, "foobot", "/example/other.gif", false, "Disallow: /"},
    {"simple_barbot_shares_the_group", kSimpleExample, "barbot", "/example/page.html", false,
     "Disallow: /example/page.html"},
    {"simple_bazbot_shares_the_group", kSimpleExample, "bazbot", "/example/page.html", false,
     "Disallow: /example/page.html"},
    {"simple_bazbot_elsewhere", kSimpleExample, "bazbot", "/example/", true, ""},
    {"simple_empty_group_allows_all", kSimpleExample, "quxbot", "/example/x.gif", true, ""},
    {"simple_other_crawler_star_gif", kSimpleExample, "Baiduspider", "/a/b.gif", false, "Disallow: *.gif$"},
    {"simple_star_gif_anchored", kSimpleExample, "Baiduspider", "/a/b.gif?x=1", true, ""},
    {"simple_star_folder", kSimpleExample, "Baiduspider", "/example/page.html", false, "Disallow: /example/"},
    {"simple_star_publications", kSimpleExample, "Baiduspider", "/publications/x", true, "Allow: /publications/"},
    {"simple_star_root", kSimpleExample, "Baiduspider", "/", true, ""},
    // The RFC's longest-match example.
    {"longest_folder_allowed", kLongestMatchExample, "foobot", "/example/page/", true, "Allow: /example/page/"},
    {"longest_file_disallowed", kLongestMatchExample, "foobot", "/example/page/disallowed.gif", false,
     "Disallow: /example/page/disallowed.gif"},
    // Choosing the group.
    {"baidu_group_before_star", "User-agent: *\nDisallow: /\n\nUser-agent: Baiduspider\nAllow: /\n", "Baiduspider",
     "/", true, "Allow: /"},
    {"star_group_when_no_baidu", "User-agent: Googlebot\nAllow: /\n\nUser-agent: *\nDisallow: /\n", "Baiduspider",
     "/", false, "Disallow: /"},
    {"agent_letter_case", "USER-AGENT: BAIDUSPIDER\nDISALLOW: /\n", "Baiduspider", "/", false, "Disallow: /"},
    {"agent_value_with_version", "User-agent: Baiduspider/2.0\nDisallow: /\n", "Baiduspider", "/", false,
     "Disallow: /"},
    {"crawler_given_with_version", "User-agent: baiduspider\nDisallow: /\n", "Baiduspider/2.0", "/", false,
     "Disallow: /"},
    {"longer_token_is_another_crawler", "User-agent: Baiduspider-image\nDisallow: /\n", "Baiduspider", "/", true, ""},
    {"groups_of_one_crawler_merge",
     "User-agent: Baiduspider\nDisallow: /a\n\nUser-agent: Googlebot\nDisallow: /\n\nUser-agent: Baiduspider\n"
     "Disallow: /b\n",
     "Baiduspider", "/b/x", false, "Disallow: /b"},
    {"merged_groups_keep_the_other", "User-agent: Baiduspider\nDisallow: /a\n\nUser-agent: Baiduspider\nDisallow: /b\n",
     "Baiduspider", "/a", false, "Disallow: /a"},
    {"rule_line_ends_the_agent_run", "User-agent: Baiduspider\nDisallow: /private\nUser-agent: *\nDisallow: /\n",
     "Baiduspider", "/", true, ""},
    {"star_and_baidu_in_one_group", "User-agent: *\nUser-agent: Baiduspider\nDisallow: /x\n", "Baiduspider", "/x",
     false, "Disallow: /x"},
    {"rules_before_any_agent_ignored", "Disallow: /\nUser-agent: *\nAllow: /x\n", "Baiduspider", "/", true, ""},
    {"no_groups_allow_all", "Sitemap: http://a.com/s.xml\n", "Baiduspider", "/", true, ""},
    {"empty_file", "", "Baiduspider", "/", true, ""},
    {"blank_line_inside_group", "User-agent: Baiduspider\n\nDisallow: /\n", "Baiduspider", "/", false,
     "Disallow: /"},
    {"sitemap_between_agents", "User-agent: Googlebot\nSitemap: /s.xml\nUser-agent: Baiduspider\nDisallow: /\n",
     "Baiduspider", "/", false, "Disallow: /"},
    // Rules: longest match, ties, empty values.
    {"allow_wins_a_tie", "User-agent: *\nDisallow: /page\nAllow: /page\n", "Baiduspider", "/page", true,
     "Allow: /page"},
    {"allow_wins_a_tie_either_order", "User-agent: *\nAllow: /page\nDisallow: /page\n", "Baiduspider", "/page", true,
     "Allow: /page"},
    {"longer_disallow_wins", "User-agent: *\nAllow: /\nDisallow: /links\n", "Baiduspider", "/links.html", false,
     "Disallow: /links"},
    {"empty_disallow_allows", "User-agent: Baiduspider\nDisallow:\n", "Baiduspider", "/", true, ""},
    {"empty_disallow_keeps_baidu_group", "User-agent: *\nDisallow: /\n\nUser-agent: Baiduspider\nDisallow:\n",
     "Baiduspider", "/", true, ""},
    {"prefix_match_only", "User-agent: *\nDisallow: /a\n", "Baiduspider", "/ba", true, ""},
    {"path_letter_case_counts", "User-agent: *\nDisallow: /Admin\n", "Baiduspider", "/admin", true, ""},
    {"query_is_part_of_the_path", "User-agent: *\nDisallow: /*?\n", "Baiduspider", "/index.php?id=1", false,
     "Disallow: /*?"},
    {"pattern_without_slash", "User-agent: *\nDisallow: admin\n", "Baiduspider", "/admin/x", false,
     "Disallow: admin"},
    {"empty_path_is_root", "User-agent: *\nDisallow: /\n", "Baiduspider", "", false, "Disallow: /"},
    {"fragment_left_out", "User-agent: *\nDisallow: /a$\n", "Baiduspider", "/a#top", false, "Disallow: /a$"},
    {"robots_txt_always_allowed", "User-agent: *\nDisallow: /\n", "Baiduspider", "/robots.txt", true, ""},
    // Special characters.
    {"star_in_the_middle", "User-agent: *\nDisallow: /this/*/exactly\n", "Baiduspider", "/this/a/b/exactly/more",
     false, "Disallow: /this/*/exactly"},
    {"star_needs_its_pieces", "User-agent: *\nDisallow: /this/*/exactly\n", "Baiduspider", "/this/exact", true, ""},
    {"dollar_exact", "User-agent: *\nDisallow: /this/path/exactly$\n", "Baiduspider", "/this/path/exactly", false,
     "Disallow: /this/path/exactly$"},
    {"dollar_longer_path", "User-agent: *\nDisallow: /this/path/exactly$\n", "Baiduspider", "/this/path/exactly/", true,
     ""},
    {"star_then_dollar", "User-agent: *\nDisallow: /*.php$\n", "Baiduspider", "/a.php.php", false,
     "Disallow: /*.php$"},
    {"star_then_dollar_no_end", "User-agent: *\nDisallow: /*.php$\n", "Baiduspider", "/a.php?x", true, ""},
    {"dollar_only_at_the_end", "User-agent: *\nDisallow: /a$b\n", "Baiduspider", "/a$b/c", false, "Disallow: /a$b"},
    {"stars_in_a_row", "User-agent: *\nDisallow: /**a**\n", "Baiduspider", "/xxa", false, "Disallow: /**a**"},
    {"star_alone", "User-agent: *\nDisallow: *\n", "Baiduspider", "/x", false, "Disallow: *"},
    // Percent-encoding, both sides in one spelling (the RFC's table).
    {"query_plain", "User-agent: *\nDisallow: /foo/bar?baz=quz\n", "Baiduspider", "/foo/bar?baz=quz", false,
     "Disallow: /foo/bar?baz=quz"},
    {"non_ascii_in_rule", "User-agent: *\nDisallow: /foo/bar/ツ\n", "Baiduspider", "/foo/bar/%E3%83%84", false,
     "Disallow: /foo/bar/ツ"},
    {"non_ascii_in_path", "User-agent: *\nDisallow: /foo/bar/%E3%83%84\n", "Baiduspider", "/foo/bar/ツ", false,
     "Disallow: /foo/bar/%E3%83%84"},
    {"encoded_unreserved_in_rule", "User-agent: *\nDisallow: /foo/bar/%62%61%7A\n", "Baiduspider", "/foo/bar/baz",
     false, "Disallow: /foo/bar/%62%61%7A"},
    {"encoded_unreserved_in_path", "User-agent: *\nDisallow: /~user/\n", "Baiduspider", "/%7euser/notes", false,
     "Disallow: /~user/"},
    {"lower_case_hex", "User-agent: *\nDisallow: /%e4%b8%ad\n", "Baiduspider", "/%E4%B8%AD", false,
     "Disallow: /%e4%b8%ad"},
    {"encoded_slash_is_not_a_slash", "User-agent: *\nDisallow: /a/\n", "Baiduspider", "/a%2Fb", true, ""},
    {"longest_measured_normalised", "User-agent: *\nAllow: /%7Ea\nDisallow: /~ab\n", "Baiduspider", "/~abc", false,
     "Disallow: /~ab"},
    // Reading the lines.
    {"crlf_lines", "User-agent: *\r\nDisallow: /\r\n", "Baiduspider", "/x", false, "Disallow: /"},
    {"cr_lines", "User-agent: *\rDisallow: /\r", "Baiduspider", "/x", false, "Disallow: /"},
    {"byte_order_mark", "\xEF\xBB\xBFUser-agent: *\nDisallow: /\n", "Baiduspider", "/", false, "Disallow: /"},
    {"comments", "# top\nUser-agent: * # all\nDisallow: / # everything\n", "Baiduspider", "/", false,
     "Disallow: /"},
    {"comment_cuts_the_pattern", "User-agent: *\nDisallow: /#a\n", "Baiduspider", "/b", false, "Disallow: /"},
    {"missing_colon", "User-agent *\nDisallow /\n", "Baiduspider", "/", false, "Disallow: /"},
    {"blanks_around_colon", "User-agent :  Baiduspider \n Disallow :  /x  \n", "Baiduspider", "/x", false,
     "Disallow: /x"},
    {"unknown_lines_skipped", "User-agent: *\nCrawl-delay: 10\nNoindex: /\nrandom text\nDisallow: /x\n",
     "Baiduspider", "/x", false, "Disallow: /x"},
    {"html_error_page", "<html><body>Not found</body></html>\n", "Baiduspider", "/", true, ""},
};

TABLE_TEST(RobotsVerdictTest, Verdict, kVerdicts)
{
    const VerdictRow &row = GetParam();
    const RobotsVerdict verdict =
        robotsVerdict(QString::fromUtf8(row.robots), QString::fromUtf8(row.agent), QString::fromUtf8(row.path));
    EXPECT_EQ(verdict.allowed, row.allowed);
    EXPECT_EQ(verdict.rule, QString::fromUtf8(row.rule));
}

struct NormalRow : Row {
    const char *text;
    const char *normal;
};

const NormalRow kNormals[] = {
    {"plain", "/a/b.html", "/a/b.html"},
    {"unreserved_decoded", "/%41%7a%30%2D%2e%5F%7E", "/Az0-._~"},
    {"reserved_kept_upper", "/a%2fb%3a%3F", "/a%2Fb%3A%3F"},
    {"non_ascii_encoded", "/中", "/%E4%B8%AD"},
    {"space_encoded", "/a b", "/a%20b"},
    {"stray_percent_kept", "/100%", "/100%"},
    {"half_escape_kept", "/%4", "/%4"},
    {"specials_kept", "/*.gif$", "/*.gif$"},
};

TABLE_TEST(RobotsPathTest, Normalised, kNormals)
{
    EXPECT_EQ(normalisedRobotsPath(QString::fromUtf8(GetParam().text)), QString::fromUtf8(GetParam().normal));
}

struct StatusRow : Row {
    int status;
    RobotsAvailability availability;
};

const StatusRow kStatuses[] = {
    {"ok", 200, RobotsAvailability::Rules},
    {"no_content", 204, RobotsAvailability::Rules},
    {"redirects_left", 301, RobotsAvailability::AllowAll},
    {"not_found", 404, RobotsAvailability::AllowAll},
    {"forbidden", 403, RobotsAvailability::AllowAll},
    {"gone", 410, RobotsAvailability::AllowAll},
    {"too_many_requests", 429, RobotsAvailability::AllowAll},
    {"server_error", 500, RobotsAvailability::Unknown},
    {"unavailable", 503, RobotsAvailability::Unknown},
    {"unreachable", 0, RobotsAvailability::Unknown},
    {"informational", 100, RobotsAvailability::Unknown},
    {"out_of_range", 700, RobotsAvailability::Unknown},
};

TABLE_TEST(RobotsStatusTest, Availability, kStatuses)
{
    EXPECT_EQ(robotsAvailability(GetParam().status), GetParam().availability);
}

TEST(RobotsAnswerTest, StatusDecidesBeforeTheBody)
{
    const QString disallowAll = QStringLiteral("User-agent: *\nDisallow: /\n");
    const RobotsAnswer ok = robotsAnswer(200, disallowAll, kBaiduSpiderToken, u"/");
    EXPECT_EQ(ok.allowed, std::optional<bool>(false));
    EXPECT_EQ(ok.rule, QStringLiteral("Disallow: /"));
    // An error page's body that reads like rules changes nothing.
    const RobotsAnswer missing = robotsAnswer(404, disallowAll, kBaiduSpiderToken, u"/");
    EXPECT_EQ(missing.allowed, std::optional<bool>(true));
    EXPECT_TRUE(missing.rule.isEmpty());
    const RobotsAnswer failing = robotsAnswer(503, disallowAll, kBaiduSpiderToken, u"/");
    EXPECT_FALSE(failing.allowed.has_value());
    EXPECT_TRUE(failing.rule.isEmpty());
}

TEST(RobotsVerdictTest, ReadsNoFurtherThanTheLimit)
{
    // A rule beyond the limit is not read, one just inside it is.
    const QString head = QStringLiteral("User-agent: *\n");
    const QString rule = QStringLiteral("\nDisallow: /a\n");
    const QString inside = head + QString(kRobotsMaxChars - head.size() - rule.size(), u'#') + rule;
    EXPECT_FALSE(robotsVerdict(inside, kBaiduSpiderToken, u"/a").allowed);
    const QString beyond = head + QString(kRobotsMaxChars, u'#') + rule;
    EXPECT_TRUE(robotsVerdict(beyond, kBaiduSpiderToken, u"/a").allowed);
}

} // namespace
} // namespace friendlinks
