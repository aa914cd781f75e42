#include "check/FailureWords.h"

namespace friendlinks {

QString failureText(FetchResult::Failure failure)
{
    using Failure = FetchResult::Failure;
    switch (failure) {
    case Failure::None: return {};
    case Failure::HostNotFound: return QStringLiteral("找不到主机");
    case Failure::ConnectionRefused: return QStringLiteral("连接被拒绝");
    case Failure::TimedOut: return QStringLiteral("超时未应答");
    case Failure::Certificate: return QStringLiteral("证书不可信");
    case Failure::ProxyUnreachable: return QStringLiteral("代理无法连接");
    case Failure::ConnectionClosed: return QStringLiteral("连接被中断");
    case Failure::EmptyAnswer: return QStringLiteral("应答没有内容");
    case Failure::NotAnAddress: return QStringLiteral("不是网址");
    case Failure::TooManyRedirects: return QStringLiteral("重定向过多");
    case Failure::TooLarge: return QStringLiteral("页面过大");
    case Failure::Other: break;
    }
    return QStringLiteral("网络错误");
}

QString homePageTrouble(const FetchResult &home)
{
    if (home.status >= 400)
        return QStringLiteral("首页返回 HTTP %1").arg(home.status);
    return failureText(home.failure);
}

} // namespace friendlinks
