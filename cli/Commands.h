#pragma once

#include "cli/Command.h"

#include <QList>

namespace friendlinks {

// The registry: every command of the command line, in the order `friendlinks --help` lists them.
[[nodiscard]] const QList<const Command *> &commands();

// The command of that name, or none.
[[nodiscard]] const Command *findCommand(const QString &name);

// Parses the arguments after the program name. A first argument that names a
// command runs it with the options the option table gives it; without one the
// window is meant, with the options the table gives the window. Every site is
// one that can be checked (siteProblem), else it is a usage error.
[[nodiscard]] ParsedArguments parseArguments(const QStringList &arguments);

// `friendlinks --help`: the window and every command.
[[nodiscard]] QString usageText();

} // namespace friendlinks
