#pragma once

#include "app/WindowStart.h"

namespace friendlinks {

class Form2;

// Opens the main window and runs the event loop until it is closed.
// Without a display it says so in one line and returns 1.
int runWindow(int &argc, char **argv, const WindowStart &start);

// The window as start asks for it, before it shows: the remembered settings
// under the command line's, the remembered size, place and fact columns, the
// site given in the box (else the last one checked) and, with start.check, its
// check once the event loop runs.
void applyWindowStart(Form2 &window, const WindowStart &start);
// The settings the window's checks start with: what is remembered, each option given at start winning.
[[nodiscard]] CheckSettings startSettings(const WindowStart &start, QStringList *unreadableCaFiles = nullptr);

} // namespace friendlinks
