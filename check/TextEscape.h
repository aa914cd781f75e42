#pragma once

#include <QString>

namespace friendlinks {

// Text from pages and files is shown to people only through these: a control
// character or a bidirectional control could otherwise move the cursor, clear
// a terminal, or reverse and hide what follows it on screen.

// C0 and C1 controls, DEL, and the bidirectional controls (U+061C, U+200E,
// U+200F, U+202A–U+202E, U+2066–U+2069).
[[nodiscard]] bool isUnsafeForDisplay(char32_t c);

// Every unsafe character as a visible escape: \t \r \n for tab and line breaks,
// \x1b for the other controls below U+0100, \u202e for the bidirectional ones.
// Other characters (a backslash too) stay as they are.
[[nodiscard]] QString escapeForDisplay(const QString &text);

// The same, but CR and LF stay: a csv field keeps its line breaks (quoted).
[[nodiscard]] QString escapeKeepingLineBreaks(const QString &text);

// A cell's text as the list shows it: one trailing line break dropped.
[[nodiscard]] QString cellDisplayText(const QString &text);

// A cell as a terminal table shows it: one trailing line break dropped (as the
// window does), the rest escaped.
[[nodiscard]] QString displayCellText(const QString &text);

// A cell as the window's list shows it, on one line: line breaks as blanks,
// trailing blanks dropped, the other unsafe characters escaped.
[[nodiscard]] QString oneLineCellText(const QString &text);

// A spreadsheet field that cannot start a formula: a leading apostrophe when
// the text starts with =, +, -, @, a tab or a carriage return.
[[nodiscard]] QString formulaSafe(const QString &text);

} // namespace friendlinks
