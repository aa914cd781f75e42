#include "cli/CommandLine.h"

#include "cli/CheckCommand.h"
#include "cli/Commands.h"
#include "cli/FdOutput.h"

namespace friendlinks {
namespace {

constexpr int kStdout = 1;
constexpr int kStderr = 2;

// Writes a text meant for stdout; exit status 4 when it could not be written whole.
int writeText(const QString &text, int okStatus, const Invocation &invocation)
{
    const QByteArray bytes = text.toUtf8();
    if (invocation.out->write(bytes) == bytes.size())
        return okStatus;
    invocation.err->write(QStringLiteral("friendlinks: 无法写出结果：%1\n").arg(invocation.out->errorString()).toUtf8());
    return kExitOutputFailed;
}

} // namespace

int runParsed(const ParsedArguments &parsed, const Invocation &invocation)
{
    switch (parsed.action) {
    case ParsedArguments::Action::Help:
        return writeText(parsed.help, kExitOk, invocation);
    case ParsedArguments::Action::Version:
        return writeText(versionText(), kExitOk, invocation);
    case ParsedArguments::Action::UsageError: {
        const QString command = parsed.command ? QString(parsed.command->name()) : QString();
        invocation.err->write(usageErrorText(command, parsed.error).toUtf8());
        return kExitUsage;
    }
    case ParsedArguments::Action::Run:
        return parsed.command->run(parsed, invocation);
    case ParsedArguments::Action::Window:
        break;
    }
    return kExitUsage; // the window is not run from here
}

std::optional<int> runCommandLine(int &argc, char **argv, const QStringList &arguments, WindowArguments *window)
{
    holdIfClosed(kStdout); // before anything opens a descriptor of its own
    const ParsedArguments parsed = parseArguments(arguments);
    if (parsed.action == ParsedArguments::Action::Window) {
        *window = WindowArguments{parsed.options.settings, parsed.givenOptions, parsed.options.site, parsed.checkAtStart};
        return std::nullopt;
    }
    FdOutput out(kStdout);
    FdOutput err(kStderr);
    return runParsed(parsed, Invocation{argc, argv, &out, &err, isTerminal(kStdout), isTerminal(kStderr)});
}

} // namespace friendlinks
