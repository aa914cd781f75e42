#pragma once

#include "cli/Command.h"

namespace friendlinks {

// `friendlinks history SITE` and `history --prune DAYS`: runHistory at the time it runs.
class CliHistory final : public Command {
public:
    [[nodiscard]] QLatin1StringView name() const override { return QLatin1StringView("history"); }
    [[nodiscard]] QString synopsis() const override;
    [[nodiscard]] QString overview() const override;
    [[nodiscard]] QString help() const override;
    [[nodiscard]] QString takeOperand(const QString &site, ParsedArguments &parsed) const override;
    [[nodiscard]] QString complete(const ParsedArguments &parsed) const override;
    [[nodiscard]] int run(const ParsedArguments &parsed, const Invocation &invocation) const override;
};

} // namespace friendlinks
