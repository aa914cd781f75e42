#pragma once

#include "check/Columns.h"

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

} // namespace friendlinks
