#pragma once

#include "web/FetchResult.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace friendlinks {

// What one Baidu answer was, beyond the three cells.
enum class BaiduState {
    Ok,          // the row's Baidu cells were filled
    NoResult,    // Baidu knows no page of the site
    Blocked,     // Baidu asked for a security check instead of answering
    Unreachable, // no answer: time-out, empty, network error
    UnknownPage, // an answer the check cannot read
};

// "ok", "no_result", "blocked", "unreachable", "unknown_page".
[[nodiscard]] QString baiduStateName(BaiduState state);

// The state of one Baidu answer, the first that applies in the order above;
// cellsFilled tells whether the Baidu cells were read from it.
[[nodiscard]] BaiduState baiduState(const FetchResult &answer, bool cellsFilled);

// True when the answer is Baidu's security check: a redirect, at any step, to
// wappass.baidu.com or to a /static/captcha/ path, or a page saying "百度安全验证".
[[nodiscard]] bool isBaiduSecurityCheck(const FetchResult &answer);

// The index count as Baidu writes it today ("1,230"), from one of its count
// phrases; digits and commas only. Nothing when the page holds none.
[[nodiscard]] std::optional<QString> baiduIndexCount(QStringView page);

} // namespace friendlinks
