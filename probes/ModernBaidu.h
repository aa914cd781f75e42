#pragma once

#include "probes/BaiduProbe.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace friendlinks {

// The real address of the first result of today's Baidu result page: the
// mu="..." attribute of the first result block that has one.
[[nodiscard]] std::optional<QString> firstResultAddress(QStringView page);

// True when two addresses name the same page without regard to scheme, a
// leading "www." or a trailing "/"; the host in any letter case.
[[nodiscard]] bool sameSiteAddress(const QString &a, const QString &b);

// The count of an old page's count text ("约1,230篇，用时" cut to "约1,230篇"):
// the number alone when other text (markup) follows it, empty when none starts it.
[[nodiscard]] QString plainCount(const QString &classicCount);

// The Baidu cells of modern mode: the classic parse when it finds something,
// its count plain (today's count phrase when it has none, else empty);
// otherwise, on today's page, the index count ("1,230" + "篇"), no snapshot
// (Baidu shows none any more) and the verdict from the first result's address
// (empty when the page names none). Nothing when the page holds no count.
[[nodiscard]] std::optional<BaiduResult> parseModernBaiduPage(const QString &page, const QString &site);

// The "site:" query for a row of modern mode: the site without its scheme, either one.
[[nodiscard]] QString modernBaiduQueryUrl(const QString &host, const QString &site);

} // namespace friendlinks
