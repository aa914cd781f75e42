#include "cli/CliCheck.h"

#include "cli/CheckCommand.h"
#include "check/SiteText.h"
#include "cli/Usage.h"

#include <QCoreApplication>

namespace friendlinks {

QString CliCheck::synopsis() const
{
    return checkSynopsis();
}

QString CliCheck::overview() const
{
    return checkOverview();
}

QString CliCheck::help() const
{
    return checkUsageText();
}

QString CliCheck::takeOperand(const QString &site, ParsedArguments &parsed) const
{
    parsed.options.sites << site;
    parsed.sitesGiven = true;
    return {};
}

// After the last argument: sites were given, each one a site that can be checked.
QString CliCheck::complete(const ParsedArguments &parsed) const
{
    if (!parsed.sitesGiven)
        return QStringLiteral("check needs a SITE");
    if (parsed.options.sites.isEmpty())
        return QStringLiteral("--sites lists no site");
    for (const QString &site : parsed.options.sites) {
        if (const QString problem = siteProblem(site); !problem.isEmpty())
            return problem;
    }
    if (parsed.options.changes != ChangesShown::None && parsed.options.history.off)
        return QStringLiteral("%1 compares with the history, which --no-history turns off")
            .arg(parsed.options.changes == ChangesShown::Only ? "--changes-only" : "--changes");
    return {};
}

int CliCheck::run(const ParsedArguments &parsed, const Invocation &invocation) const
{
    QCoreApplication app(invocation.argc, invocation.argv);
    const bool colour = colourWanted(invocation.outIsTerminal, qEnvironmentVariableIsSet("NO_COLOR"),
                                     qEnvironmentVariable("TERM"));
    CheckCommand command(parsed.options, invocation.out, invocation.err, colour, invocation.errIsTerminal);
    int status = 1;
    QObject::connect(&command, &CheckCommand::finished, &app, [&](int exitStatus) {
        status = exitStatus;
        app.quit();
    });
    command.start();
    app.exec();
    return status;
}

} // namespace friendlinks
