#pragma once

#include <QString>

namespace friendlinks {

// Every text the command line shows about itself: help, version, usage errors.

inline const QString kVersion = QStringLiteral("8.0");

// Exit status of any command whose output could not be written completely.
inline constexpr int kExitOutputFailed = 4;

[[nodiscard]] QString usageText();      // friendlinks --help: the window, check and diff
[[nodiscard]] QString checkUsageText(); // friendlinks check --help
[[nodiscard]] QString diffUsageText();  // friendlinks diff --help
[[nodiscard]] QString versionText();    // "friendlinks 8.0\n"

// A usage error in two lines: what is wrong (anything quoted in it escaped
// for the terminal), then where the help is. command is "" or "check" or "diff".
[[nodiscard]] QString usageErrorText(const QString &command, const QString &problem);

} // namespace friendlinks
