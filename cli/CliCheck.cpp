#include "cli/CliCheck.h"

#include "cli/CheckCommand.h"
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

QString CliCheck::complete(const ParsedArguments &parsed) const
{
    return checkSitesProblem(parsed);
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
