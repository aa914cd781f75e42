#pragma once

#include "check/ProgramVersion.h"

#include <QStringList>

namespace friendlinks {

// Every text the command line shows about itself: help, version, usage errors.

inline const QString kVersion = kProgramVersion;

// Exit status of any command whose output could not be written completely.
inline constexpr int kExitOutputFailed = 4;

// friendlinks --help: the window's usage, each command's synopsis (its lines
// "       friendlinks NAME ..."), then what it says of the window and of each command.
[[nodiscard]] QString wholeUsageText(const QStringList &synopses, const QStringList &overviews);

[[nodiscard]] QString checkSynopsis();
[[nodiscard]] QString checkOverview();
[[nodiscard]] QString checkUsageText(); // friendlinks check --help
[[nodiscard]] QString diffSynopsis();
[[nodiscard]] QString diffOverview();
[[nodiscard]] QString diffUsageText();  // friendlinks diff --help
[[nodiscard]] QString historySynopsis();
[[nodiscard]] QString historyOverview();
[[nodiscard]] QString historyUsageText(); // friendlinks history --help
[[nodiscard]] QString reportSynopsis();
[[nodiscard]] QString reportOverview();
[[nodiscard]] QString reportUsageText(); // friendlinks report --help
[[nodiscard]] QString versionText();    // "friendlinks 8.0\n"

// A usage error in two lines: what is wrong (anything quoted in it escaped
// for the terminal), then where the help is. command is "" or "check" or "diff".
[[nodiscard]] QString usageErrorText(const QString &command, const QString &problem);

} // namespace friendlinks
