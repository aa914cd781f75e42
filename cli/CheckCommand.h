#pragma once

#include "check/CheckEngine.h"
#include "cli/Arguments.h"
#include "cli/Usage.h"

#include <QIODevice>
#include <QObject>
#include <QStringList>

#include <memory>
#include <vector>

namespace friendlinks {

// Exit statuses of `friendlinks check` (kExitOutputFailed, 4, in cli/Usage.h).
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreachable = 3;

// Whether the table's red cells are coloured: only on a terminal, and not
// when NO_COLOR is set or TERM is "dumb".
[[nodiscard]] bool colourWanted(bool outIsTerminal, bool noColorSet, const QString &term);

// The headless check: runs one engine per site on one shared worker pool and
// writes the rows to out in the chosen format, progress and errors to err.
// Emits finished(exit status) once: 0; 3 when a site could not be fetched or
// its home page answered with an HTTP error; 4 when out took not all of it.
// colour: red cells in red (colourWanted).
class CheckCommand : public QObject {
    Q_OBJECT
public:
    CheckCommand(CheckOptions options, QIODevice *out, QIODevice *err,
                 bool colour, bool errIsTerminal, QObject *parent = nullptr);

    void start();

signals:
    void finished(int exitStatus);

private:
    void siteFinished(size_t site);
    void reportSite(size_t site);
    void writeResult();
    void writeOut(const QByteArray &data);
    void writeErr(const QString &line);
    [[nodiscard]] QByteArray siteJson(size_t site) const;
    [[nodiscard]] int exitStatus() const;
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
    bool m_colour;
    bool m_errIsTerminal;
    std::vector<std::unique_ptr<CheckEngine>> m_engines; // one per site, in the order given
    std::vector<bool> m_unreachable;
    std::vector<std::pair<int, int>> m_progress; // per site: rows done, rows
    size_t m_finished = 0;
    bool m_toldBaiduBlocked = false;
    QString m_outError; // why out took not all it was given; empty while it did
    std::vector<bool> m_failed;     // per site: unreachable, or its home page answered an HTTP error
    std::shared_ptr<WorkerPool> m_pool;
    size_t m_launched = 0;          // sites started, in the order given
    std::vector<bool> m_siteDone;
    size_t m_written = 0;           // sites written by writeStreamed()
    QString m_baiduTlsError;        // of the sites let go
};

} // namespace friendlinks
