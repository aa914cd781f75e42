#include "probes/BaiduProbe.h"

#include "probes/BaiduState.h"
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
    // "年" is no path character: the run stops before it.
    {"chinese_date", snapshot("www.abc9.com/ 12K 2010年1月15日"), five("12K 2010\r\n")},
    {"upper_case_font_tag", resultPage("5", "<FONT COLOR=green>www.abc9.com/ 1K 2012-12-1</FONT>"), five("1K 2012-12-1\r\n")},
    {"count_phrase_twice", kPhrase + "7 and more" + kPhrase + "8篇，用时" + kLine,
     BaiduResult{"7 and more篇", "12K 2010-1-15 \r\n", kHomePageFirst}},
    // The snapshot line stands before the phrase: the count runs to the page end.
    {"count_without_end_phrase_runs_to_the_end", kLine + kPhrase + "12 pages",
     BaiduResult{"12 pages篇", "12K 2010-1-15 \r\n", kHomePageFirst}},
    {"nothing_after_phrase", "<p>x</p>" + kLine + kPhrase, std::nullopt},
    {"half_width_comma_not_the_phrase", resultPage("5").replace("，", ","), std::nullopt},
    {"no_snapshot_line", snapshot("no date here"), std::nullopt},
    {"snapshot_without_path", snapshot("www.abc9.com 12K 2010-1-15"), std::nullopt},
    {"snapshot_across_line_feed", snapshot("www.abc9.com/ 12K\n2010-1-15"), std::nullopt},
};

TABLE_TEST(BaiduParseTest, ReadsCountSnapshotAndVerdict, kParses)
{
    EXPECT_EQ(parseBaiduPage(GetParam().page, GetParam().site), GetParam().expected);
}

// Baidu's state reads the kind, the text and the redirects of an answer.
FetchResult answer(const QString &text, const QStringList &redirects = {},
                   FetchResult::Kind kind = FetchResult::Kind::Page)
{
    FetchResult a;
    a.kind = kind;
    a.text = text;
    a.redirects = redirects;
    return a;
}

const QString kCaptchaUrl = QStringLiteral("http://wappass.baidu.com/static/captcha/tuxing.html?ak=1&backurl=x");
const QString kResults = QStringLiteral("<div class=\"nums\">百度为您找到相关结果约1,230个</div>");
using enum FetchResult::Kind;

struct StateRow : Row {
    FetchResult answer;
    BaiduState state;
    bool cellsFilled = false;
};

const StateRow kStates[] = {
    {"cells_filled", answer(kResults), BaiduState::Ok, true},
    {"todays_layout", answer(kResults), BaiduState::UnknownPage},
    {"no_result_phrase", answer("<p>抱歉，没有找到与<em>“site:a.com”</em>相关的网页。</p>"), BaiduState::NoResult},
    {"no_such_url", answer("<p>没有找到该URL。您可以直接访问</p>"), BaiduState::NoResult},
    {"half_a_no_result_phrase", answer("<p>相关的网页 抱歉，没有找到与</p>"), BaiduState::UnknownPage},
    {"captcha_redirect_followed", answer("<title>百度安全验证</title>", {kCaptchaUrl}), BaiduState::Blocked},
    {"captcha_path_on_another_host", answer("x", {"http://www.baidu.com/static/captcha/a.html"}), BaiduState::Blocked},
    {"captcha_redirect_with_empty_body", answer(QString(), {kCaptchaUrl}, EmptyBody), BaiduState::Blocked},
    {"security_check_page_200", answer("<html><title>百度安全验证</title><p>网络不给力</p></html>"), BaiduState::Blocked},
    {"ordinary_redirect", answer("<p>?</p>", {"http://www.baidu.com/s?wd=site%3Aa.com"}), BaiduState::UnknownPage},
    {"empty_answer", answer(QString(), {}, EmptyBody), BaiduState::Unreachable},
};

TABLE_TEST(BaiduStateTest, FirstStateThatApplies, kStates)
{
    EXPECT_EQ(baiduStateName(baiduState(GetParam().answer, GetParam().cellsFilled)), baiduStateName(GetParam().state));
}

struct CountRow : Row {
    QString page;
    std::optional<QString> count;
};

const CountRow kCounts[] = {
    {"site_count", "<b>该网站共有 1,234 个网页被百度收录</b>", "1,234"}, {"site_count_no_blanks", "该网站共有56个网页被百度收录", "56"},
    {"result_count", "<span>找到相关结果数约2,100,000个</span>", "2,100,000"}, {"for_you", "百度为您找到相关结果约 1,230 个", "1,230"},
    {"first_phrase_in_page_order", "百度为您找到相关结果约7个 … 该网站共有 9 个网页被百度收录", "7"},
    {"old_phrase_only", "百度一下，找到相关网页约1,230篇，用时0.1秒", std::nullopt}, {"no_number", "百度为您找到相关结果约个", std::nullopt},
};

TABLE_TEST(BaiduCountTest, ReadsTodaysPhrases, kCounts)
{
    EXPECT_EQ(baiduIndexCount(GetParam().page), GetParam().count);
}

} // namespace
} // namespace friendlinks
