#pragma once

#include "check/SiteResult.h"

#include <QList>
#include <QString>

namespace friendlinks {

// One line of the window's message area, its text escaped for display.
struct Message {
    enum class Tone {
        Error,  // red: the check could not do what was asked
        Normal, // the window's text colour: what the user should know
        Quiet,  // grey: the mode, the counts
    };
    Tone tone = Tone::Normal;
    QString text;
    // Said while a check runs (Baidu's block): its end says it again in full.
    bool provisional = false;
    bool operator==(const Message &) const = default;
};

// What the area says when a check (or a re-check) ends, in this order: the
// check's notes (CheckNotes, the window's words where a menu helps), then the
// counts, then the mode.
[[nodiscard]] QList<Message> checkMessages(const SiteResult &result);

// "共 N 行，标红 M 处": the rows and their red cells among the six, as the
// command line's table counts them.
[[nodiscard]] QString countsText(const QList<ResultRow> &rows);

// "已停止：检查了 K/N 行"; before the site's page was read, that it was not.
[[nodiscard]] QString stoppedText(int checked, int total);
// The same of a check that a new query stopped, naming its site.
[[nodiscard]] QString replacedText(const QString &site, int checked, int total);

} // namespace friendlinks
