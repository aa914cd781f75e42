#pragma once

#include "web/FetchResult.h"

#include <QNetworkReply>
#include <QString>

namespace friendlinks {

// The failure of a reply that ended with a transport error; tlsTrouble is
// whether the handshake named certificate trouble, viaProxy whether the request
// went through an HTTP proxy (whose own host is then the one not found or refusing).
[[nodiscard]] FetchResult::Failure failureOf(QNetworkReply::NetworkError error, bool tlsTrouble, bool viaProxy = false);

// A failure in words for people ("连接被拒绝"); empty for None.
[[nodiscard]] QString failureText(FetchResult::Failure failure);

// What went wrong with the fetch of a checked site's own page, in words: its
// HTTP error status ("首页返回 HTTP 404"), else its failure; empty when neither.
[[nodiscard]] QString homePageTrouble(const FetchResult &home);

} // namespace friendlinks
