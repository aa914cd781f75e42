#pragma once

#include "check/CheckEngine.h"

#include <QIODevice>
#include <QObject>
#include <QStringList>

namespace friendlinks {

inline const QString kVersion = QStringLiteral("v8.0");

enum class OutputFormat { Table, Tsv, Json };

struct CheckOptions {
    QString site;
    OutputFormat format = OutputFormat::Table;
    CheckSettings settings;
};

// What the command line asks for.
struct ParsedArguments {
    enum class Action { Window, Check, Help, Version, UsageError };
    Action action = Action::Window;
    CheckOptions options;
    QString error; // for UsageError
};

// Parses the arguments after the program name. With no "check" the window is
// meant; it takes --proxy and --baidu-host too.
[[nodiscard]] ParsedArguments parseArguments(const QStringList &arguments);
[[nodiscard]] QString usageText();

// Exit statuses of `friendlinks check`.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreachable = 3;

// The headless check: runs the engine and writes the rows to out in the chosen
// format, progress and errors to err. Emits finished(exit status) once.
class CheckCommand : public QObject {
    Q_OBJECT
public:
    CheckCommand(CheckOptions options, QIODevice *out, QIODevice *err,
                 bool outIsTerminal, bool errIsTerminal, QObject *parent = nullptr);

    void start();

signals:
    void finished(int exitStatus);

private:
    void writeResult();

    CheckOptions m_options;
    QIODevice *m_out;
    QIODevice *m_err;
    bool m_outIsTerminal;
    bool m_errIsTerminal;
    bool m_unreachable = false;
    CheckEngine m_engine;
};

} // namespace friendlinks
