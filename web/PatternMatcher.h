#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace friendlinks {

// What TestRegExp returns when nothing matches.
inline const QString kMatchFailed = QStringLiteral("匹配失败");
// The one list separator of match lists and probe results.
inline const QString kLineBreak = QStringLiteral("\r\n");

// Thrown by TestRegExp for a pattern that does not compile. The system's own
// patterns are fixed and always compile; this guards against programming errors.
class PatternError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Runs one pattern over one text, case-insensitively, and returns every
// non-overlapping match from left to right, each followed by "\r\n";
// exactly kMatchFailed when nothing matches. "." matches any character but
// LF; \w and \d are ASCII only. Linear time in the text (RE2).
// Throws PatternError when myPattern does not compile. Thread-safe.
[[nodiscard]] QString TestRegExp(const QString &myPattern, const QString &myString);

// The matches TestRegExp would list, handed to onMatch one by one until it
// returns false, without building the list: for scanning whole pages, where
// the list would hold a second copy of the page. Returns the number of matches
// handed over. Same rules and errors as TestRegExp.
qsizetype forEachMatch(const QString &myPattern, const QString &myString,
                       const std::function<bool(const QString &match)> &onMatch);

// Cuts a match list (or any CR LF separated text) at every "\r\n".
// k matches give k pieces and one empty last piece; kMatchFailed gives itself.
[[nodiscard]] QStringList splitLines(const QString &text);

// The first piece of splitLines(text), without building the whole list.
[[nodiscard]] QString firstLine(const QString &text);

} // namespace friendlinks
