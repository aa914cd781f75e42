#pragma once

#include "cli/Arguments.h"

#include <QIODevice>

namespace friendlinks {

// What a command runs with: the program's argc and argv (for an application
// object of its own), its standard output and error, whether each is a terminal.
struct Invocation {
    int &argc;
    char **argv;
    QIODevice *out;
    QIODevice *err;
    bool outIsTerminal = false;
    bool errIsTerminal = false;
};

// One command of the command line, `friendlinks NAME ...`, as the registry
// (cli/Commands.h) lists it: its name, its help, what its operands mean, its
// run. Its options are the entries of the option table (cli/Arguments.cpp)
// that name it; parseOptions reads them in order with its operands.
// A new command is a class like this one and a line in the registry.
class Command {
public:
    virtual ~Command() = default;

    [[nodiscard]] virtual QLatin1StringView name() const = 0;
    // Its lines in the usage block of `friendlinks --help` ("       friendlinks NAME ...").
    [[nodiscard]] virtual QString synopsis() const = 0;
    [[nodiscard]] virtual QString overview() const = 0; // what `friendlinks --help` says of it
    [[nodiscard]] virtual QString help() const = 0;     // `friendlinks NAME --help`

    // An argument that is no option, met in order with the options: empty, or why it cannot be used.
    [[nodiscard]] virtual QString takeOperand(const QString &argument, ParsedArguments &parsed) const = 0;
    // After the last argument: what is missing or wrong, or empty.
    [[nodiscard]] virtual QString complete(const ParsedArguments &parsed) const = 0;
    // Runs it as parsed (the usage checked); its exit status.
    [[nodiscard]] virtual int run(const ParsedArguments &parsed, const Invocation &invocation) const = 0;
};

} // namespace friendlinks
