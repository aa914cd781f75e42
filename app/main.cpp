#include "app/Console.h"
#include "app/WindowMain.h"
#include "cli/CheckCommand.h"
#include "cli/DiffCommand.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

using namespace friendlinks;

namespace {

int runCheck(int &argc, char **argv, const CheckOptions &options)
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 1;
    CheckCommand command(options, &out, &err, isatty(STDOUT_FILENO) != 0, isatty(STDERR_FILENO) != 0);
    int status = 1;
    QObject::connect(&command, &CheckCommand::finished, &app, [&](int exitStatus) {
        status = exitStatus;
        app.quit();
    });
    command.start();
    app.exec();
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    const ConsoleSession console;
    findPluginsBesideProgram();
    const QStringList arguments = commandArguments(argc, argv);

    if (!arguments.isEmpty() && arguments.first() == QLatin1String("diff")) {
        QFile out;
        QFile err;
        if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
            return kDiffUsage;
        return runDiff(arguments.mid(1), &out, &err);
    }
    const ParsedArguments parsed = parseArguments(arguments);
    switch (parsed.action) {
    case ParsedArguments::Action::Help:
        std::fputs(qPrintable(usageText()), stdout);
        return kExitOk;
    case ParsedArguments::Action::Version:
        std::printf("%s\n", qPrintable(kVersion));
        return kExitOk;
    case ParsedArguments::Action::UsageError:
        std::fprintf(stderr, "friendlinks: %s\n%s", qPrintable(parsed.error), qPrintable(usageText()));
        return kExitUsage;
    case ParsedArguments::Action::Check:
        return runCheck(argc, argv, parsed.options);
    case ParsedArguments::Action::Window:
        break;
    }
    return runWindow(argc, argv, parsed.options.settings);
}
