#pragma once

#include "check/CheckEngine.h"

namespace friendlinks {

// Opens the main window and runs the event loop until it is closed.
// Without a display it says so in one line and returns 1.
int runWindow(int &argc, char **argv, const CheckSettings &settings);

} // namespace friendlinks
