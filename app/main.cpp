#include "app/Console.h"
#include "app/QtNoise.h"
#include "app/WindowMain.h"
#include "cli/CommandLine.h"

using namespace friendlinks;

int main(int argc, char **argv)
{
    dropQtInternalNoise();
    const ConsoleSession console;
    findPluginsBesideProgram();
    WindowArguments window;
    if (const std::optional<int> status = runCommandLine(argc, argv, commandArguments(argc, argv), &window))
        return *status;
    return runWindow(argc, argv, WindowStart{window.settings, window.givenOptions, window.site, window.check});
}
