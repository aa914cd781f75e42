#pragma once

#include "check/Columns.h"
#include "check/ResultTable.h"
#include "web/FetchResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace friendlinks {

// Output of `friendlinks check` for several sites, built around the one-site
// formatters so that every column and key of theirs comes along.

// {"sites": [ …the one-site objects, in order… ]}
[[nodiscard]] QByteArray joinJsonSites(const QList<QByteArray> &siteObjects);
// One site object on one line (JSON lines); the formatter's line breaks are
// all outside strings, where they carry no meaning.
[[nodiscard]] QByteArray jsonLine(const QByteArray &siteObject);
// The object of a site that cannot be fetched: no rows; given the failed fetch
// of its home page, its "home" object after them.
[[nodiscard]] QByteArray unreachableSiteJson(const QString &site, const QString &mode,
                                             const FetchResult *home = nullptr);

// A tab-separated table (header line first) with a first column "站点":
// siteOfRow[i] is the site of data line i.
[[nodiscard]] QByteArray withSiteColumnTsv(const QByteArray &tsv, const QStringList &siteOfRow);
// The same for the aligned table, whose last line is the summary.
[[nodiscard]] QByteArray withSiteColumnTable(const QByteArray &table, const QStringList &siteOfRow);

} // namespace friendlinks
