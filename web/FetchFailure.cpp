#include "web/FetchFailure.h"

namespace friendlinks {

FetchResult::Failure failureOf(QNetworkReply::NetworkError error, bool tlsTrouble, bool viaProxy)
{
    using Failure = FetchResult::Failure;
    if (viaProxy && (error == QNetworkReply::HostNotFoundError || error == QNetworkReply::ConnectionRefusedError))
        return Failure::ProxyUnreachable; // the target's own trouble would come as the proxy's answer
    switch (error) {
    case QNetworkReply::NoError: return Failure::None;
    case QNetworkReply::HostNotFoundError: return Failure::HostNotFound;
    case QNetworkReply::ConnectionRefusedError: return Failure::ConnectionRefused;
    case QNetworkReply::TimeoutError: return Failure::TimedOut;
    case QNetworkReply::SslHandshakeFailedError: return tlsTrouble ? Failure::Certificate : Failure::Other;
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError: return Failure::ProxyUnreachable;
    case QNetworkReply::RemoteHostClosedError: return Failure::ConnectionClosed;
    case QNetworkReply::TooManyRedirectsError: return Failure::TooManyRedirects;
    default: return tlsTrouble ? Failure::Certificate : Failure::Other;
    }
}

} // namespace friendlinks
