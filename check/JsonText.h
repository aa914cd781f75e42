#pragma once

#include <QString>

namespace friendlinks {

// The pieces of json text the formatters write by hand, so that keys keep their order.

// One text as a JSON string (quotes, escapes, line breaks and line separators escaped).
[[nodiscard]] QString jsonString(const QString &text);
// "true" or "false".
[[nodiscard]] QString jsonBool(bool value);

} // namespace friendlinks
