#include "cli/CliHistory.h"

#include "cli/HistoryCommand.h"
#include "cli/Usage.h"

namespace friendlinks {

QString CliHistory::synopsis() const
{
    return historySynopsis();
}

QString CliHistory::overview() const
{
    return historyOverview();
}

QString CliHistory::help() const
{
    return historyUsageText();
}

QString CliHistory::takeOperand(const QString &site, ParsedArguments &parsed) const
{
    parsed.historyQuery.sites << site;
    return {};
}

QString CliHistory::complete(const ParsedArguments &parsed) const
{
    const HistoryQuery &query = parsed.historyQuery;
    if (query.pruneDays >= 0 && !query.friendLink.isEmpty())
        return QStringLiteral("--friend goes with a SITE, not with --prune");
    if (query.pruneDays >= 0)
        return query.sites.isEmpty() ? QString() : QStringLiteral("history takes a SITE or --prune DAYS, not both");
    if (query.sites.size() != 1)
        return QStringLiteral("history needs one SITE (or --prune DAYS)");
    if (query.sites.first().trimmed().isEmpty())
        return QStringLiteral("the site is empty");
    return {};
}

int CliHistory::run(const ParsedArguments &parsed, const Invocation &invocation) const
{
    return runHistory(parsed.historyQuery, parsed.options.history, invocation.out, invocation.err,
                      {QDateTime::currentDateTimeUtc(), QTimeZone::systemTimeZone()});
}

} // namespace friendlinks
