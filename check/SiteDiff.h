#pragma once

#include "check/JsonRead.h"
#include "check/RowSchema.h"

#include <QList>
#include <QString>

namespace friendlinks {

// What changed for one friend link between two checks.
struct LinkChange {
    QString site;
    QString lianjie;
    QString change;   // one of the kChange… codes (check/RowSchema)
    QString oldValue;
    QString newValue;
    bool operator==(const LinkChange &) const = default;
};

// The changes from older to newer: sites matched by site (a site missing from
// either side is not compared), rows by lianjie with repeats paired in order,
// a pair's changes by the schema's diff rules, field by field. A site that could not be
// checked on one side (unreachable, or its home page answered an HTTP error)
// is one unreachable or reachable change, its rows not compared.
// Per site, regressions first, each group in row order.
[[nodiscard]] QList<LinkChange> diffChecks(const QList<SiteRows> &older, const QList<SiteRows> &newer);

} // namespace friendlinks
