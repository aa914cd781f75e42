#pragma once

#include <QString>

namespace friendlinks {

// The site a host belongs to, as browsers and search engines draw the line:
// its registrable domain by the Public Suffix List, one label below a public
// suffix ("www.car.com" -> "car.com", "blog.car.com.cn" -> "car.com.cn",
// "a.b.github.io" -> "b.github.io"), in lower-case ASCII (an IDN host in its
// punycode form). An IP address, or a host that is itself a public suffix, is
// its own site. Empty for an empty or unreadable host.
[[nodiscard]] QString registrableDomain(const QString &host);

} // namespace friendlinks
