#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace friendlinks {

// One search engine of the launcher: the address is
// "http://" + host + before + keyword + after.
struct SearchEngine {
    const char *name;     // entry shown in the engine choice (UTF-8)
    const char *host;
    const char *before;
    const char *after;
};

inline constexpr int kEngineCount = 11;

[[nodiscard]] const std::array<SearchEngine, kEngineCount> &engineTable();

// Removes U+0020 spaces at both ends only; tabs and other white space stay.
[[nodiscard]] QString trimSpaces(const QString &text);

// The eleven search addresses for a keyword, in table order; the keyword goes in as typed.
[[nodiscard]] QStringList buildSearchUrls(const QString &keyword);

} // namespace friendlinks
