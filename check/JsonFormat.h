#pragma once

#include "check/JsonText.h"
#include "check/ResultsModel.h"
#include "web/FetchResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace friendlinks {

// The json of `friendlinks check`, a stable contract: the site as checked,
// its mode and its rows (the six cells by key, "red", and with withFetchFacts
// a "facts" object), then with withFetchFacts the "home" object (homeJson),
// the anchors passed over by reason ("skipped") and why nothing was checked
// ("cause"). A site that could not be fetched gives "unreachable": true and
// no rows. Keys come from the row schema; check/JsonRead reads it all back.
[[nodiscard]] QByteArray formatJson(const ResultsModel &results, bool withFetchFacts = true);
[[nodiscard]] QByteArray formatSiteJson(const SiteOutcome &outcome, const QList<ResultRow> &rows,
                                        bool withFetchFacts = true);
// One row object of a site's "rows", facts included, as formatSiteJson writes it
// (check/JsonRead's readRowJson reads it back).
[[nodiscard]] QByteArray formatRowJson(const ResultRow &row);
// {"status", "final_url", "ms", "tls_error"} of the home page's fetch: status 0 when no answer came.
[[nodiscard]] QString homeJson(const FetchResult &home);

} // namespace friendlinks
