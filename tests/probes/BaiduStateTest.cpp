#include "probes/BaiduState.h"

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

FetchResult page(const QString &text, int status = 200, const QStringList &redirects = {})
{
    FetchResult answer;
    answer.kind = FetchResult::Kind::Page;
    answer.text = text;
    answer.status = status;
    answer.redirects = redirects;
    answer.finalUrl = redirects.isEmpty() ? QStringLiteral("http://www.baidu.com/s?wd=site:a.com") : redirects.last();
    return answer;
}

FetchResult failure(FetchResult::Kind kind, const QStringList &redirects = {})
{
    FetchResult answer;
    answer.kind = kind;
    answer.text = kind == FetchResult::Kind::TooSlow ? kTooSlow : kEmptyBody;
    answer.redirects = redirects;
    return answer;
}

const QString kCaptchaUrl = QStringLiteral("http://wappass.baidu.com/static/captcha/tuxing.html?ak=1&backurl=x");
const QString kResults = QStringLiteral("<div class=\"nums\">百度为您找到相关结果约1,230个</div>");

struct StateCase {
    const char *name;
    FetchResult answer;
    bool cellsFilled;
    BaiduState state;
};
void PrintTo(const StateCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class BaiduStateTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(BaiduStateTest, FirstStateThatApplies)
{
    EXPECT_EQ(baiduStateName(baiduState(GetParam().answer, GetParam().cellsFilled)),
              baiduStateName(GetParam().state));
}

const StateCase kStateCases[] = {
    {"cells_filled", page(kResults), true, BaiduState::Ok},
    {"no_result_phrase", page("<p>抱歉，没有找到与<em>“site:a.com”</em>相关的网页。</p>"), false, BaiduState::NoResult},
    {"no_such_url", page("<p>没有找到该URL。您可以直接访问</p>"), false, BaiduState::NoResult},
    {"half_a_no_result_phrase", page("<p>相关的网页 抱歉，没有找到与</p>"), false, BaiduState::UnknownPage},
    {"captcha_redirect_followed", page("<title>百度安全验证</title>", 200, {kCaptchaUrl}), false, BaiduState::Blocked},
    {"captcha_redirect_not_followed", page("moved", 302, {"http://wappass.baidu.com/"}), false, BaiduState::Blocked},
    {"captcha_path_on_another_host", page("x", 200, {"http://www.baidu.com/static/captcha/a.html"}), false,
     BaiduState::Blocked},
    {"captcha_redirect_with_empty_body", failure(FetchResult::Kind::EmptyBody, {kCaptchaUrl}), false,
     BaiduState::Blocked},
    {"security_check_page_200", page("<html><title>百度安全验证</title><p>网络不给力</p></html>"), false,
     BaiduState::Blocked},
    {"ordinary_redirect", page("<p>?</p>", 200, {"http://www.baidu.com/s?wd=site%3Aa.com"}), false,
     BaiduState::UnknownPage},
    {"empty_answer", failure(FetchResult::Kind::EmptyBody), false, BaiduState::Unreachable},
    {"time_out", failure(FetchResult::Kind::TooSlow), false, BaiduState::Unreachable},
    {"todays_layout", page(kResults), false, BaiduState::UnknownPage},
};

INSTANTIATE_TEST_SUITE_P(Answers, BaiduStateTest, ::testing::ValuesIn(kStateCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct CountCase {
    const char *name;
    QString page;
    std::optional<QString> count;
};
void PrintTo(const CountCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class BaiduCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(BaiduCountTest, ReadsTodaysPhrases)
{
    EXPECT_EQ(baiduIndexCount(GetParam().page), GetParam().count);
}

const CountCase kCountCases[] = {
    {"site_count", "<b>该网站共有 1,234 个网页被百度收录</b>", "1,234"},
    {"site_count_no_blanks", "该网站共有56个网页被百度收录", "56"},
    {"result_count", "<span>找到相关结果数约2,100,000个</span>", "2,100,000"},
    {"result_count_without_about", "找到相关结果数 300 个", "300"},
    {"for_you", "百度为您找到相关结果约 1,230 个", "1,230"},
    {"first_phrase_in_page_order", "百度为您找到相关结果约7个 … 该网站共有 9 个网页被百度收录", "7"},
    {"old_phrase_only", "百度一下，找到相关网页约1,230篇，用时0.1秒", std::nullopt},
    {"no_number", "百度为您找到相关结果约个", std::nullopt},
    {"empty", "", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Pages, BaiduCountTest, ::testing::ValuesIn(kCountCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace friendlinks
