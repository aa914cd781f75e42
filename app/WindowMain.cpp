#include "app/WindowMain.h"

#include "app/Form2.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace friendlinks {

int runWindow(int &argc, char **argv, const CheckSettings &settings)
{
    // Qt aborts when no platform can start; say it in one line instead.
    const bool hasDisplay = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (!hasDisplay) {
        std::fputs("friendlinks: no display available; use: friendlinks check SITE\n", stdout);
        return 1;
    }
    QApplication app(argc, argv);
    Form2 window(settings);
    window.show();
    return app.exec();
}

} // namespace friendlinks
