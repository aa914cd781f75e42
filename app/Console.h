#pragma once

#include <QStringList>

namespace friendlinks {

// The program's arguments as typed. Windows hands argv over in the ANSI code
// page, which loses what that page cannot show; there they are read from the
// UTF-16 command line instead.
[[nodiscard]] QStringList commandArguments(int argc, char **argv);

// Windows: Qt's plugins (the TLS backend above all) are found in the
// program's folder also before the application object exists. Elsewhere nothing.
void findPluginsBesideProgram();

// While it lives, on Windows: stdout and stderr pass our bytes through as
// they are (no "\n" to "\r\n", so files and pipes get what Linux gives), and
// a console shows them as UTF-8 and the table's colour escapes as colours.
// The console gets its own settings back at the end. Nothing elsewhere.
class ConsoleSession {
public:
    ConsoleSession();
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession &) = delete;
    ConsoleSession &operator=(const ConsoleSession &) = delete;

private:
    unsigned m_outputCodePage = 0;  // the console's before, 0 when not changed
    unsigned long m_modes[2] = {};  // stdout's and stderr's console modes before, 0 when not a console
};

} // namespace friendlinks
