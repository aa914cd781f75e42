#include "cli/Commands.h"

#include "cli/CliCheck.h"
#include "cli/CliDiff.h"
#include "cli/CliHistory.h"
#include "cli/CliReport.h"
#include "check/SiteText.h"
#include "cli/Usage.h"

namespace friendlinks {

const QList<const Command *> &commands()
{
    static const CliCheck check;
    static const CliDiff diff;
    static const CliHistory history;
    static const CliReport report;
    static const QList<const Command *> all{&check, &diff, &history, &report};
    return all;
}

const Command *findCommand(const QString &name)
{
    for (const Command *command : commands()) {
        if (name == command->name())
            return command;
    }
    return nullptr;
}

namespace {

// The window takes one site to fill its box with. A word with neither a dot
// nor a scheme is a command mistyped ("friendlinks chek"), not a site.
QString takeWindowSite(const QString &argument, ParsedArguments &parsed)
{
    const bool siteLike = argument.contains(QLatin1Char('.')) || argument.contains(QLatin1String("://"));
    if (!siteLike)
        return QStringLiteral("unknown command \"%1\"").arg(argument);
    if (!parsed.options.sites.isEmpty())
        return QStringLiteral("the window takes one SITE, not also \"%1\"").arg(argument);
    if (const QString problem = siteProblem(argument); !problem.isEmpty())
        return problem;
    parsed.options.sites << argument;
    return {};
}

} // namespace

ParsedArguments parseArguments(const QStringList &arguments)
{
    using Action = ParsedArguments::Action;
    ParsedArguments parsed;
    const Command *command = arguments.isEmpty() ? nullptr : findCommand(arguments.first());
    parsed.command = command;
    parsed.action = command ? Action::Run : Action::Window;
    const auto takeOperand = [&](const QString &argument) {
        return command ? command->takeOperand(argument, parsed) : takeWindowSite(argument, parsed);
    };
    parseOptions(arguments, command ? 1 : 0, command ? command->name() : kWindowScope, takeOperand, parsed);
    if (parsed.action == Action::Run) {
        parsed.error = command->complete(parsed);
        if (!parsed.error.isEmpty())
            parsed.action = Action::UsageError;
    }
    if (parsed.action == Action::Window && parsed.checkAtStart && parsed.options.site.isEmpty()) {
        parsed.action = Action::UsageError;
        parsed.error = QStringLiteral("--check needs a SITE");
    }
    if (parsed.action == Action::Help)
        parsed.help = command ? command->help() : usageText();
    return parsed;
}

QString usageText()
{
    QStringList synopses, overviews;
    for (const Command *command : commands()) {
        synopses << command->synopsis();
        overviews << command->overview();
    }
    return wholeUsageText(synopses, overviews);
}

} // namespace friendlinks
