#pragma once

#include "check/ResultsModel.h"

#include <QString>

namespace friendlinks {

// Why a site's own page gave nothing to check, as a name for scripts:
// "host_not_found", "connection_refused", "timeout", "tls_untrusted", "too_many_redirects",
// "proxy_failed", "connection_closed", "empty_answer", "http_error" (a modern
// check reads no links from an error page), "not_an_address", "other";
// empty when the page was read.
[[nodiscard]] QString notCheckedCause(const SiteOutcome &outcome);
// The failure of the site's own page that a cause names; None for "http_error" and "", Other for a name not known.
[[nodiscard]] FetchResult::Failure causeFailure(const QString &cause);

} // namespace friendlinks
