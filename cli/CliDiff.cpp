#include "cli/CliDiff.h"

#include "cli/DiffCommand.h"
#include "cli/Usage.h"

namespace friendlinks {

QString CliDiff::synopsis() const
{
    return diffSynopsis();
}

QString CliDiff::overview() const
{
    return diffOverview();
}

QString CliDiff::help() const
{
    return diffUsageText();
}

QString CliDiff::takeOperand(const QString &file, ParsedArguments &parsed) const
{
    parsed.diff.files << file;
    return {};
}

QString CliDiff::complete(const ParsedArguments &parsed) const
{
    const qsizetype given = parsed.diff.files.size();
    if (given == 2 && parsed.diff.since.isValid())
        return QStringLiteral("--since goes with a SITE, not with two files");
    return given == 1 || given == 2 ? QString()
                                    : QStringLiteral("diff needs two files, OLD.json and NEW.json, or a SITE");
}

int CliDiff::run(const ParsedArguments &parsed, const Invocation &invocation) const
{
    return runDiff(parsed.diff, invocation.out, invocation.err, parsed.options.history);
}

} // namespace friendlinks
