#pragma once

#include "web/FetchResult.h"

#include <QNetworkReply>

namespace friendlinks {

// The failure of a reply that ended with a transport error; tlsTrouble is
// whether the handshake named certificate trouble, viaProxy whether the request
// went through an HTTP proxy (whose own host is then the one not found or refusing).
[[nodiscard]] FetchResult::Failure failureOf(QNetworkReply::NetworkError error, bool tlsTrouble, bool viaProxy = false);

} // namespace friendlinks
