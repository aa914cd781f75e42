#pragma once

#include <QString>

namespace friendlinks {

// Removes blanks (U+0020 only) at both ends; tabs and line breaks stay.
[[nodiscard]] QString trimBlanks(const QString &text);

// The first `length` characters as the user sees them: a surrogate pair (an
// emoji) is one character, kept or dropped whole; CR and LF count one each.
[[nodiscard]] QString cutText(const QString &text, qsizetype length);

} // namespace friendlinks
