#include "probes/BaiduProbe.h"

#include "web/FetchResult.h"

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

QString resultPage(const QString &count, const QString &snapshotLine)
{
    return QStringLiteral("<html><body><div>百度一下，找到相关网页%1篇，用时0.001秒</div>\n"
                          "<table><tr><td><a href=\"http://x\">Title</a><br>%2</td></tr></table>\n"
                          "</body></html>")
        .arg(count, snapshotLine);
}

const QString kSnapshotLine = QStringLiteral("<font color=#008000>www.abc9.com/ 12K 2010-1-15 </font>");

TEST(BareSite, RemovesEveryLowerCaseScheme)
{
    EXPECT_EQ(bareSite("http://www.abc9.com/"), "www.abc9.com/");
    EXPECT_EQ(bareSite("www.abc9.com"), "www.abc9.com");
    EXPECT_EQ(bareSite("HTTP://www.abc9.com"), "HTTP://www.abc9.com");
    EXPECT_EQ(bareSite("ahttp://b/http://c"), "ab/c");
    EXPECT_EQ(bareSite("https://x"), "https://x");
}

TEST(BaiduQueryUrl, AppendsBareSiteUnescaped)
{
    EXPECT_EQ(baiduQueryUrl(kDefaultBaiduHost, "http://www.abc9.com"),
              "http://www.baidu.com/s?wd=site:www.abc9.com");
    EXPECT_EQ(baiduQueryUrl(kDefaultBaiduHost, "www.abc9.com"), baiduQueryUrl(kDefaultBaiduHost, "http://www.abc9.com"));
    EXPECT_EQ(baiduQueryUrl("127.0.0.1:8080", "a b&c=中"), "http://127.0.0.1:8080/s?wd=site:a b&c=中");
}

struct ParseCase {
    const char *name;
    QString page;
    QString site;
    std::optional<BaiduResult> expected;
};

void PrintTo(const ParseCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class BaiduParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(BaiduParseTest, ReadsCountSnapshotAndVerdict)
{
    const ParseCase &c = GetParam();
    const auto result = parseBaiduPage(c.page, c.site);
    ASSERT_EQ(result.has_value(), c.expected.has_value()) << c.name;
    if (result) {
        EXPECT_EQ(result->count, c.expected->count) << c.name;
        EXPECT_EQ(result->snapshot, c.expected->snapshot) << c.name;
        EXPECT_EQ(result->verdict, c.expected->verdict) << c.name;
    }
}

BaiduResult result(const QString &count, const QString &snapshot, const QString &verdict)
{
    return BaiduResult{count, snapshot, verdict};
}

const ParseCase kCases[] = {
    {"usual_page", resultPage("约1,230", kSnapshotLine), "www.abc9.com",
     result("约1,230篇", "12K 2010-1-15 \r\n", kHomePageFirst)},
    {"scheme_in_site_same_verdict", resultPage("5", kSnapshotLine), "http://www.abc9.com",
     result("5篇", "12K 2010-1-15 \r\n", kHomePageFirst)},
    {"site_with_slash_no_second_one", resultPage("5", kSnapshotLine), "www.abc9.com/",
     result("5篇", "12K 2010-1-15 \r\n", kHomePageFirst)},
    {"site_with_two_slashes_not_first", resultPage("5", kSnapshotLine), "www.abc9.com//",
     result("5篇", "12K 2010-1-15 \r\n", kNotFirst)},
    {"first_result_differs_in_case", resultPage("5", "<font color=#008000>WWW.abc9.com/ 3K 2011-02-03</font>"),
     "www.abc9.com", result("5篇", "3K 2011-02-03\r\n", kNotFirst)},
    {"first_result_inner_page", resultPage("5", "<font color=#008000>www.abc9.com/news/a.html 3K 2011.2.3</font>"),
     "www.abc9.com", result("5篇", "3K 2011.2.3\r\n", kNotFirst)},
    {"capital_scheme_kept", resultPage("5", kSnapshotLine), "HTTP://www.abc9.com",
     result("5篇", "12K 2010-1-15 \r\n", kNotFirst)},
    {"blanks_before_line_break_stay", resultPage("5", "<font color=#008000>www.abc9.com/ 12K 2010-1-15    </font>"),
     "www.abc9.com", result("5篇", "12K 2010-1-15    \r\n", kHomePageFirst)},
    {"blanks_after_first_blank_trimmed", resultPage("5", "<font color=#008000>www.abc9.com/   12K 2010-1-15</font>"),
     "www.abc9.com", result("5篇", "12K 2010-1-15\r\n", kHomePageFirst)},
    // "年" is no path character: the run stops before it.
    {"chinese_date", resultPage("5", "<font color=#008000>www.abc9.com/ 12K 2010年1月15日</font>"),
     "www.abc9.com", result("5篇", "12K 2010\r\n", kHomePageFirst)},
    {"bar_separator", resultPage("5", "<font color=#008000>www.abc9.com/ 12K 2010|1|15</font>"),
     "www.abc9.com", result("5篇", "12K 2010\r\n", kHomePageFirst)},
    {"upper_case_font_tag", resultPage("5", "<FONT COLOR=green>www.abc9.com/ 1K 2012-12-1</FONT>"),
     "www.abc9.com", result("5篇", "1K 2012-12-1\r\n", kHomePageFirst)},
    {"count_without_end_phrase", "x百度一下，找到相关网页12 pages, no end", "www.abc9.com", std::nullopt},
    {"count_phrase_twice", "百度一下，找到相关网页7 and more百度一下，找到相关网页8篇，用时" + kSnapshotLine,
     "www.abc9.com", result("7 and more篇", "12K 2010-1-15 \r\n", kHomePageFirst)},
    {"nothing_after_phrase", "<p>x</p>" + kSnapshotLine + "百度一下，找到相关网页", "www.abc9.com", std::nullopt},
    {"nothing_between_phrases", kSnapshotLine + "百度一下，找到相关网页百度一下，找到相关网页5篇，用时", "www.abc9.com",
     std::nullopt},
    {"half_width_comma_not_the_phrase", resultPage("5", kSnapshotLine).replace("，", ","), "www.abc9.com", std::nullopt},
    {"too_slow_marker", kTooSlow, "www.abc9.com", std::nullopt},
    {"empty_body_marker", kEmptyBody, "www.abc9.com", std::nullopt},
    {"empty_page", "", "www.abc9.com", std::nullopt},
    {"no_snapshot_line", resultPage("5", "<font color=#008000>no date here</font>"), "www.abc9.com", std::nullopt},
    {"snapshot_without_path", resultPage("5", "<font color=#008000>www.abc9.com 12K 2010-1-15</font>"),
     "www.abc9.com", std::nullopt},
    {"phrase_at_the_very_end", "<html>" + kSnapshotLine + "百度一下，找到相关网页", "www.abc9.com", std::nullopt},
    {"end_before_the_phrase", "篇，用时" + kSnapshotLine + "百度一下，找到相关网页", "www.abc9.com", std::nullopt},
    {"phrase_without_snapshot", "百度一下，找到相关网页约5篇，用时0.1秒", "www.abc9.com", std::nullopt},
    // A snapshot line split by a line break is no snapshot line.
    {"snapshot_across_line_feed", resultPage("5", "<font color=#008000>www.abc9.com/ 12K\n2010-1-15</font>"),
     "www.abc9.com", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, BaiduParseTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(BaiduParse, CountWithoutEndPhraseRunsToPageEnd)
{
    const QString page = kSnapshotLine + QStringLiteral("百度一下，找到相关网页12 pages");
    // The snapshot line stands before the phrase: the count runs to the page end.
    const auto parsed = parseBaiduPage(page, "www.abc9.com");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->count, "12 pages篇");
}

} // namespace
} // namespace friendlinks
