#include "probes/BaiduProbe.h"

#include "web/FetchResult.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

const QString kLine = QStringLiteral("<font color=#008000>www.abc9.com/ 12K 2010-1-15 </font>");

QString resultPage(const QString &count, const QString &snapshotLine = kLine)
{
    return QStringLiteral("<html><body><div>百度一下，找到相关网页%1篇，用时0.001秒</div>\n"
                          "<table><tr><td><a href=\"http://x\">Title</a><br>%2</td></tr></table>\n</body></html>")
        .arg(count, snapshotLine);
}

QString snapshot(const QString &text) { return resultPage("5", "<font color=#008000>" + text + "</font>"); }

TEST(BaiduQuery, RemovesEveryLowerCaseSchemeAndAppendsTheBareSiteUnescaped)
{
    const std::pair<QString, QString> bare[] = {{"http://www.abc9.com/", "www.abc9.com/"}, {"www.abc9.com", "www.abc9.com"},
        {"HTTP://www.abc9.com", "HTTP://www.abc9.com"}, {"ahttp://b/http://c", "ab/c"}, {"https://x", "https://x"}};
    for (const auto &[site, expected] : bare)
        EXPECT_EQ(bareSite(site), expected);
    EXPECT_EQ(baiduQueryUrl(kDefaultBaiduHost, "http://www.abc9.com"), "http://www.baidu.com/s?wd=site:www.abc9.com");
    EXPECT_EQ(baiduQueryUrl("127.0.0.1:8080", "a b&c=中"), "http://127.0.0.1:8080/s?wd=site:a b&c=中");
}

struct ParseRow : Row {
    QString page;
    std::optional<BaiduResult> expected;
    QString site = QStringLiteral("www.abc9.com");
};

BaiduResult five(const QString &snapshot = "12K 2010-1-15 \r\n", const QString &verdict = kHomePageFirst)
{
    return {"5篇", snapshot, verdict};
}

const QString kPhrase = QStringLiteral("百度一下，找到相关网页");

const ParseRow kParses[] = {
    {"usual_page", resultPage("约1,230"), BaiduResult{"约1,230篇", "12K 2010-1-15 \r\n", kHomePageFirst}},
    {"scheme_in_site_same_verdict", resultPage("5"), five(), "http://www.abc9.com"},
    {"site_with_slash_no_second_one", resultPage("5"), five(), "www.abc9.com/"},
    {"site_with_two_slashes_not_first", resultPage("5"), five("12K 2010-1-15 \r\n", kNotFirst), "www.abc9.com//"},
    {"capital_scheme_kept", resultPage("5"), five("12K 2010-1-15 \r\n", kNotFirst), "HTTP://www.abc9.com"},
    {"first_result_differs_in_case", snapshot("WWW.abc9.com/ 3K 2011-02-03"), five("3K 2011-02-03\r\n", kNotFirst)},
    {"first_result_inner_page", snapshot("www.abc9.com/news/a.html 3K 2011.2.3"), five("3K 2011.2.3\r\n", kNotFirst)},
    {"blanks_before_line_break_stay", snapshot("www.abc9.com/ 12K 2010-1-15    "), five("12K 2010-1-15    \r\n")},
    {"blanks_after_first_blank_trimmed", snapshot("www.abc9.com/   12K 2010-1-15"), five("12K 2010-1-15\r\n")},
    // "年" and "|" are no path characters: the run stops before them.
    {"chinese_date", snapshot("www.abc9.com/ 12K 2010年1月15日"), five("12K 2010\r\n")},
    {"bar_separator", snapshot("www.abc9.com/ 12K 2010|1|15"), five("12K 2010\r\n")},
    {"upper_case_font_tag", resultPage("5", "<FONT COLOR=green>www.abc9.com/ 1K 2012-12-1</FONT>"), five("1K 2012-12-1\r\n")},
    {"count_phrase_twice", kPhrase + "7 and more" + kPhrase + "8篇，用时" + kLine,
     BaiduResult{"7 and more篇", "12K 2010-1-15 \r\n", kHomePageFirst}},
    // The snapshot line stands before the phrase: the count runs to the page end.
    {"count_without_end_phrase_runs_to_the_end", kLine + kPhrase + "12 pages",
     BaiduResult{"12 pages篇", "12K 2010-1-15 \r\n", kHomePageFirst}},
    {"count_without_end_phrase", "x" + kPhrase + "12 pages, no end", std::nullopt},
    {"nothing_after_phrase", "<p>x</p>" + kLine + kPhrase, std::nullopt},
    {"nothing_between_phrases", kLine + kPhrase + kPhrase + "5篇，用时", std::nullopt},
    {"half_width_comma_not_the_phrase", resultPage("5").replace("，", ","), std::nullopt},
    {"too_slow_marker", kTooSlow, std::nullopt},
    {"empty_body_marker", kEmptyBody, std::nullopt},
    {"empty_page", "", std::nullopt},
    {"no_snapshot_line", snapshot("no date here"), std::nullopt},
    {"snapshot_without_path", snapshot("www.abc9.com 12K 2010-1-15"), std::nullopt},
    {"end_before_the_phrase", "篇，用时" + kLine + kPhrase, std::nullopt},
    {"phrase_without_snapshot", kPhrase + "约5篇，用时0.1秒", std::nullopt},
    {"snapshot_across_line_feed", snapshot("www.abc9.com/ 12K\n2010-1-15"), std::nullopt},
};

TABLE_TEST(BaiduParseTest, ReadsCountSnapshotAndVerdict, kParses)
{
    EXPECT_EQ(parseBaiduPage(GetParam().page, GetParam().site), GetParam().expected);
}

} // namespace
} // namespace friendlinks
