#include "probes/BaiduState.h"

#include <QRegularExpression>
#include <QUrl>

namespace friendlinks {
namespace {

const QString kNoResultStart = QStringLiteral("抱歉，没有找到与");
const QString kNoResultEnd = QStringLiteral("相关的网页");
const QString kNoSuchUrl = QStringLiteral("没有找到该URL");
const QString kSecurityCheckTitle = QStringLiteral("百度安全验证");
const QString kSecurityCheckHost = QStringLiteral("wappass.baidu.com");
const QString kCaptchaPath = QStringLiteral("/static/captcha/");

// Today's count phrases; blanks and "约" may stand around the number.
const QRegularExpression &countPhrases()
{
    static const QRegularExpression kPhrases(QStringLiteral(
        "(?:该网站共有|找到相关结果数|百度为您找到相关结果)[\\s\\x{00A0}\\x{3000}]*约?[\\s\\x{00A0}\\x{3000}]*"
        "([0-9][0-9,]*)[\\s\\x{00A0}\\x{3000}]*个"));
    return kPhrases;
}

bool isSecurityCheckAddress(const QString &address)
{
    const QUrl url(address);
    return url.host().compare(kSecurityCheckHost, Qt::CaseInsensitive) == 0 || url.path().contains(kCaptchaPath);
}

bool saysNoResult(const QString &page)
{
    if (page.contains(kNoSuchUrl))
        return true;
    const qsizetype start = page.indexOf(kNoResultStart);
    return start >= 0 && page.indexOf(kNoResultEnd, start + kNoResultStart.size()) >= 0;
}

} // namespace

QString baiduStateName(BaiduState state)
{
    switch (state) {
    case BaiduState::Ok: return QStringLiteral("ok");
    case BaiduState::NoResult: return QStringLiteral("no_result");
    case BaiduState::Blocked: return QStringLiteral("blocked");
    case BaiduState::Unreachable: return QStringLiteral("unreachable");
    case BaiduState::UnknownPage: return QStringLiteral("unknown_page");
    }
    return {};
}

bool isBaiduSecurityCheck(const FetchResult &answer)
{
    for (const QString &target : answer.redirects) {
        if (isSecurityCheckAddress(target))
            return true;
    }
    if (!answer.finalUrl.isEmpty() && isSecurityCheckAddress(answer.finalUrl))
        return true;
    return answer.kind == FetchResult::Kind::Page && answer.text.contains(kSecurityCheckTitle);
}

BaiduState baiduState(const FetchResult &answer, bool cellsFilled)
{
    if (cellsFilled)
        return BaiduState::Ok;
    const bool page = answer.kind == FetchResult::Kind::Page;
    if (page && saysNoResult(answer.text))
        return BaiduState::NoResult;
    if (isBaiduSecurityCheck(answer))
        return BaiduState::Blocked;
    if (!page)
        return BaiduState::Unreachable;
    return BaiduState::UnknownPage;
}

std::optional<QString> baiduIndexCount(QStringView page)
{
    const QRegularExpressionMatch match = countPhrases().match(page);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1);
}

} // namespace friendlinks
