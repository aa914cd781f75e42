#pragma once

#include <QString>

namespace friendlinks {

// What the command line accepts as a site to check, before any request.

// Why text cannot be a web address to check, or empty when it can: empty or
// blank, a control character in it, a leading "-", a scheme other than http
// and https, no host.
[[nodiscard]] QString siteProblem(const QString &text);

// Whether the host part of a site as typed holds a capital letter.
[[nodiscard]] bool hasUpperCaseHost(const QString &text);

// The site, trimmed, with its scheme and host in lower case, the rest as typed.
[[nodiscard]] QString withLowerCaseHost(const QString &text);

} // namespace friendlinks
