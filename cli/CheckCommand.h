#pragma once

#include "check/CheckEngine.h"

#include <QIODevice>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

namespace friendlinks {

inline const QString kVersion = QStringLiteral("v8.0");

enum class OutputFormat { Table, Tsv, Json, Jsonl, Csv };

struct CheckOptions {
    QString site;       // the first site
    QStringList sites;  // every site in the order given (SITE arguments and --sites); site when empty
    OutputFormat format = OutputFormat::Table;
    bool facts = false; // tsv and table: the fact columns after the six (json always has them)
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

// The sites of a --sites file: one a line, blank lines and lines starting
// with "#" skipped, blanks around a site dropped.
[[nodiscard]] QStringList parseSitesList(const QString &text);

// The headless check: runs one engine per site on one shared worker pool and
// writes the rows to out in the chosen format, progress and errors to err.
// Emits finished(exit status) once: 0, or 3 when a site could not be fetched.
class CheckCommand : public QObject {
    Q_OBJECT
public:
    CheckCommand(CheckOptions options, QIODevice *out, QIODevice *err,
                 bool outIsTerminal, bool errIsTerminal, QObject *parent = nullptr);

    void start();

signals:
    void finished(int exitStatus);

private:
    void siteFinished(size_t site);
    void writeResult();
    [[nodiscard]] QByteArray siteJson(size_t site) const;
    // A batch keeps only so many sites started ahead of the workers; the
    // next one starts as one finishes.
    void makeEngine(size_t site);
    void launchNext();
    // jsonl, tsv and csv of several sites are written as the sites finish
    // (tsv and csv in the order given), and a written site is let go.
    [[nodiscard]] bool streams() const;
    void writeStreamed();
    void letGo(size_t site);

    CheckOptions m_options;
    QIODevice *m_out;
    QIODevice *m_err;
    bool m_outIsTerminal;
    bool m_errIsTerminal;
    std::vector<std::unique_ptr<CheckEngine>> m_engines; // one per site, in the order given
    std::vector<bool> m_unreachable;
    std::vector<std::pair<int, int>> m_progress; // per site: rows done, rows
    size_t m_finished = 0;
    bool m_toldBaiduBlocked = false;
    std::shared_ptr<WorkerPool> m_pool;
    size_t m_launched = 0;          // sites started, in the order given
    std::vector<bool> m_siteDone;
    size_t m_written = 0;           // sites written by writeStreamed()
    QString m_baiduTlsError;        // of the sites let go
};

} // namespace friendlinks
