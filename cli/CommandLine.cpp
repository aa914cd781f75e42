#include "cli/CommandLine.h"

#include "cli/CheckCommand.h"
#include "cli/DiffCommand.h"
#include "cli/FdOutput.h"

#include <QCoreApplication>

namespace friendlinks {
namespace {

constexpr int kStdout = 1;
constexpr int kStderr = 2;

// Writes a text meant for stdout; exit status 4 when it could not be written whole.
int writeText(const QString &text, int okStatus)
{
    FdOutput out(kStdout);
    const QByteArray bytes = text.toUtf8();
    if (out.write(bytes) == bytes.size())
        return okStatus;
    FdOutput(kStderr).write(QStringLiteral("friendlinks: 无法写出结果：%1\n").arg(out.errorString()).toUtf8());
    return kExitOutputFailed;
}

int runCheck(int &argc, char **argv, const CheckOptions &options)
{
    QCoreApplication app(argc, argv);
    FdOutput out(kStdout);
    FdOutput err(kStderr);
    const bool colour = colourWanted(isTerminal(kStdout), qEnvironmentVariableIsSet("NO_COLOR"),
                                     qEnvironmentVariable("TERM"));
    CheckCommand command(options, &out, &err, colour, isTerminal(kStderr));
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

std::optional<int> runCommandLine(int &argc, char **argv, const QStringList &arguments, CheckSettings *window)
{
    holdIfClosed(kStdout); // before anything opens a descriptor of its own
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("diff")) {
        FdOutput out(kStdout);
        FdOutput err(kStderr);
        return runDiff(arguments.mid(1), &out, &err);
    }
    const ParsedArguments parsed = parseArguments(arguments);
    switch (parsed.action) {
    case ParsedArguments::Action::Help:
        return writeText(parsed.help, kExitOk);
    case ParsedArguments::Action::Version:
        return writeText(versionText(), kExitOk);
    case ParsedArguments::Action::UsageError: {
        const bool check = !arguments.isEmpty() && arguments.first() == QLatin1String("check");
        FdOutput(kStderr).write(usageErrorText(check ? QStringLiteral("check") : QString(), parsed.error).toUtf8());
        return kExitUsage;
    }
    case ParsedArguments::Action::Check:
        return runCheck(argc, argv, parsed.options);
    case ParsedArguments::Action::Window:
        break;
    }
    *window = parsed.options.settings;
    return std::nullopt;
}

} // namespace friendlinks
