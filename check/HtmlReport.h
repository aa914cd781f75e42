#pragma once

#include "check/ReportData.h"

#include <QByteArray>
#include <QString>
#include <QTimeZone>

namespace friendlinks {

// A report as one self-contained HTML file (UTF-8): inline CSS, an inline SVG
// chart per friend, no script, nothing fetched (a Content-Security-Policy that
// allows nothing but its own styles and data: images, and no address of any
// resource in it), printable. Every text that came from a page or a site
// (addresses, anchor texts, cells) is escaped, so none can add markup.
// Check times are shown in zone; days (since when, chart points) are UTC days.
//
//   out.write(htmlReport(data, QTimeZone::systemTimeZone()));

// The whole report: the latest check with its red cells, what changed since
// the check before it and since when, the index chart of each friend, and a
// notice for each partner whose link back went wrong.
[[nodiscard]] QByteArray htmlReport(const ReportData &data, const QTimeZone &zone);

// One partner's notice alone, as a page of its own to send.
[[nodiscard]] QByteArray htmlNotice(const ReportData &data, const PartnerNotice &notice, const QTimeZone &zone);

// The notice's sentence about the link back ("您站上指向我站的链接自 12-03 起不见了"),
// its dates relative to the latest check (the year shown only when it differs).
[[nodiscard]] QString noticeSentence(const PartnerNotice &notice, const QDate &checkDay);

} // namespace friendlinks
