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
    return parsed.diff.files.size() == 2 ? QString() : QStringLiteral("diff needs two files, OLD.json and NEW.json");
}

int CliDiff::run(const ParsedArguments &parsed, const Invocation &invocation) const
{
    return runDiff(parsed.diff, invocation.out, invocation.err);
}

} // namespace friendlinks
