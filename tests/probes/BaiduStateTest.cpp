#include "probes/BaiduState.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

FetchResult answer(const QString &text, const QStringList &redirects = {}, int status = 200,
                   FetchResult::Kind kind = FetchResult::Kind::Page)
{
    FetchResult a;
    a.kind = kind;
    a.text = text;
    a.status = status;
    a.redirects = redirects;
    a.finalUrl = redirects.isEmpty() ? QStringLiteral("http://www.baidu.com/s?wd=site:a.com") : redirects.last();
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
    {"captcha_redirect_not_followed", answer("moved", {"http://wappass.baidu.com/"}, 302), BaiduState::Blocked},
    {"captcha_path_on_another_host", answer("x", {"http://www.baidu.com/static/captcha/a.html"}), BaiduState::Blocked},
    {"captcha_redirect_with_empty_body", answer(kEmptyBody, {kCaptchaUrl}, 0, EmptyBody), BaiduState::Blocked},
    {"security_check_page_200", answer("<html><title>百度安全验证</title><p>网络不给力</p></html>"), BaiduState::Blocked},
    {"ordinary_redirect", answer("<p>?</p>", {"http://www.baidu.com/s?wd=site%3Aa.com"}), BaiduState::UnknownPage},
    {"empty_answer", answer(kEmptyBody, {}, 0, EmptyBody), BaiduState::Unreachable},
    {"time_out", answer(kTooSlow, {}, 0, TooSlow), BaiduState::Unreachable},
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
    {"result_count", "<span>找到相关结果数约2,100,000个</span>", "2,100,000"},
    {"result_count_without_about", "找到相关结果数 300 个", "300"}, {"for_you", "百度为您找到相关结果约 1,230 个", "1,230"},
    {"first_phrase_in_page_order", "百度为您找到相关结果约7个 … 该网站共有 9 个网页被百度收录", "7"},
    {"old_phrase_only", "百度一下，找到相关网页约1,230篇，用时0.1秒", std::nullopt}, {"no_number", "百度为您找到相关结果约个", std::nullopt},
    {"empty", "", std::nullopt},
};

TABLE_TEST(BaiduCountTest, ReadsTodaysPhrases, kCounts)
{
    EXPECT_EQ(baiduIndexCount(GetParam().page), GetParam().count);
}

} // namespace
} // namespace friendlinks
