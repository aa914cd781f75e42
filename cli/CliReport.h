#pragma once

#include "cli/Command.h"

namespace friendlinks {

// `friendlinks report SITE [--friend URL]`: runReport in the system's time zone.
class CliReport final : public Command {
public:
    [[nodiscard]] QLatin1StringView name() const override { return QLatin1StringView("report"); }
    [[nodiscard]] QString synopsis() const override;
    [[nodiscard]] QString overview() const override;
    [[nodiscard]] QString help() const override;
    [[nodiscard]] QString takeOperand(const QString &site, ParsedArguments &parsed) const override;
    [[nodiscard]] QString complete(const ParsedArguments &parsed) const override;
    [[nodiscard]] int run(const ParsedArguments &parsed, const Invocation &invocation) const override;
};

} // namespace friendlinks
