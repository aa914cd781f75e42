#pragma once

#include <QString>
#include <QStringView>

namespace friendlinks {

// The address href leads to from base (both as written in a page): absolute
// http or https, scheme and host in lower case; empty when it leads elsewhere
// (mailto:, javascript:, no host) or cannot be read.
[[nodiscard]] QString resolveLinkAddress(const QString &base, QStringView href);

} // namespace friendlinks
