#include "check/SiteCause.h"

namespace friendlinks {
namespace {

QString failureName(FetchResult::Failure failure)
{
    using Failure = FetchResult::Failure;
    switch (failure) {
    case Failure::None: return QStringLiteral("empty_answer"); // unreachable without a transport error
    case Failure::HostNotFound: return QStringLiteral("host_not_found");
    case Failure::ConnectionRefused: return QStringLiteral("connection_refused");
    case Failure::TimedOut: return QStringLiteral("timeout");
    case Failure::Certificate: return QStringLiteral("tls_untrusted");
    case Failure::ProxyUnreachable: return QStringLiteral("proxy_failed");
    case Failure::ConnectionClosed: return QStringLiteral("connection_closed");
    case Failure::EmptyAnswer: return QStringLiteral("empty_answer");
    case Failure::NotAnAddress: return QStringLiteral("not_an_address");
    case Failure::TooManyRedirects: return QStringLiteral("too_many_redirects");
    case Failure::TooLarge: return QStringLiteral("too_large");
    case Failure::Other: break;
    }
    return QStringLiteral("other");
}

} // namespace

FetchResult::Failure causeFailure(const QString &cause)
{
    using Failure = FetchResult::Failure;
    if (cause.isEmpty() || cause == QLatin1String("http_error"))
        return Failure::None;
    if (cause == failureName(Failure::EmptyAnswer)) // None's name too: an answer without a body is the one meant
        return Failure::EmptyAnswer;
    for (int i = int(Failure::HostNotFound); i <= int(Failure::TooLarge); ++i)
        if (failureName(Failure(i)) == cause)
            return Failure(i);
    return Failure::Other;
}

QString notCheckedCause(const SiteOutcome &outcome)
{
    if (!outcome.reachable)
        return failureName(outcome.home.failure);
    if (outcome.modern && outcome.home.status >= 400)
        return QStringLiteral("http_error");
    return {};
}

} // namespace friendlinks
