#include "cli/CliReport.h"

#include "cli/ReportCommand.h"
#include "cli/Usage.h"

namespace friendlinks {

QString CliReport::synopsis() const
{
    return reportSynopsis();
}

QString CliReport::overview() const
{
    return reportOverview();
}

QString CliReport::help() const
{
    return reportUsageText();
}

QString CliReport::takeOperand(const QString &site, ParsedArguments &parsed) const
{
    parsed.reportQuery.sites << site;
    return {};
}

QString CliReport::complete(const ParsedArguments &parsed) const
{
    const ReportQuery &query = parsed.reportQuery;
    if (query.sites.size() != 1)
        return QStringLiteral("report needs one SITE");
    if (query.sites.first().trimmed().isEmpty())
        return QStringLiteral("the site is empty");
    return {};
}

int CliReport::run(const ParsedArguments &parsed, const Invocation &invocation) const
{
    return runReport(parsed.reportQuery, parsed.options.history, invocation.out, invocation.err,
                     QTimeZone::systemTimeZone());
}

} // namespace friendlinks
