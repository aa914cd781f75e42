#pragma once

#include "cli/Command.h"

namespace friendlinks {

// `friendlinks diff OLD.json NEW.json`: runDiff on the two files.
class CliDiff final : public Command {
public:
    [[nodiscard]] QLatin1StringView name() const override { return QLatin1StringView("diff"); }
    [[nodiscard]] QString synopsis() const override;
    [[nodiscard]] QString overview() const override;
    [[nodiscard]] QString help() const override;
    [[nodiscard]] QString takeOperand(const QString &file, ParsedArguments &parsed) const override;
    [[nodiscard]] QString complete(const ParsedArguments &parsed) const override;
    [[nodiscard]] int run(const ParsedArguments &parsed, const Invocation &invocation) const override;
};

} // namespace friendlinks
