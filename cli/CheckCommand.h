#pragma once

#include "check/BatchCheck.h"
#include "check/HistoryRecording.h"
#include "cli/ChangesText.h"
#include "cli/Arguments.h"
#include "cli/Usage.h"

#include <QIODevice>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

namespace friendlinks {

// Exit statuses of `friendlinks check` (kExitOutputFailed, 4, in cli/Usage.h).
inline constexpr int kExitOk = 0;
inline constexpr int kExitWorse = 1; // --changes: something got worse since the previous recorded check
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreachable = 3;

// Whether the table's red cells are coloured: only on a terminal, and not
// when NO_COLOR is set or TERM is "dumb".
[[nodiscard]] bool colourWanted(bool outIsTerminal, bool noColorSet, const QString &term);

// The progress line on a terminal's stderr: rows checked of rows for one site;
// for a batch, sites finished of sites and rows checked (the rows' total grows
// as sites are harvested, so it is no total to count against).
[[nodiscard]] QString progressText(int sitesDone, int sites, int rowsDone, int rows);

// The headless check: runs the batch of the sites given (BatchCheck) and
// writes the rows to out in the chosen format, progress and errors to err.
// Each site's check is recorded into the history as it ends (HistoryChoice);
// a history that cannot record is said once on err, and the check goes on.
// With --changes each site's check is first compared with its previous
// recorded check (HistoryChanges), and the changes written after the output;
// with --changes-only they are all it writes, and only for the sites where
// something got worse (stderr then says only failures: the history, the
// output, Baidu's block).
// Emits finished(exit status) once: 0; 1 when, with --changes, something got
// worse; 3 when a site could not be fetched or its home page answered with an
// HTTP error; 4 when out took not all of it, when the history given with
// --history could not record, or when the changes could not be read. Of
// several, the greatest.
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
    void siteFinished(int site, const SiteResult &result);
    void batchFinished();
    void reportSite(const SiteResult &result);
    void writeResult();
    void writeOut(const QByteArray &data);
    void writeErr(const QString &line);
    void sayHistoryFailure();
    void compare(int site, const SiteResult &result);
    void writeChanges();
    [[nodiscard]] QByteArray siteJson(int site);
    [[nodiscard]] bool changesOnly() const { return m_options.changes == ChangesShown::Only; }
    [[nodiscard]] int exitStatus() const;
    // jsonl, tsv and csv of several sites are written as the sites finish
    // (tsv and csv in the order given), and a written site is released.
    [[nodiscard]] bool streams() const;
    void writeStreamed();

    CheckOptions m_options;
    QIODevice *m_out;
    QIODevice *m_err;
    bool m_colour;
    bool m_errIsTerminal;
    BatchCheck *m_batch = nullptr;
    QString m_outError; // why out took not all it was given; empty while it did
    int m_written = 0;  // sites written by writeStreamed()
    bool m_cannotCheck = false; // a site could not be fetched or its home page answered an HTTP error
    int m_unreachable = 0;      // sites that could not be fetched
    QString m_baiduNote;        // Baidu's certificate trouble, said once at the end
    std::unique_ptr<HistoryRecorder> m_recorder; // none with --no-history
    bool m_historySaid = false; // the history's failure was said
    std::unique_ptr<HistoryStore> m_changesStore; // --changes: the history read before each site is recorded
    QList<std::optional<SiteChangesOf>> m_changes; // by site, in the order given; none when not read
    QString m_changesFailure;        // why the changes could not be read; said once
    bool m_worse = false;            // something got worse at some site
};

} // namespace friendlinks
