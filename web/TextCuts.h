#pragma once

#include <QString>

namespace friendlinks {

// Removes blanks (U+0020 only) at both ends; tabs and line breaks stay.
[[nodiscard]] QString trimBlanks(const QString &text);

// The first `length` UTF-16 units, one fewer when the cut would split a
// surrogate pair (so a cut never leaves half a character behind).
[[nodiscard]] QString cutText(const QString &text, qsizetype length);

} // namespace friendlinks
