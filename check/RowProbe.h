#pragma once

#include "check/ResultsModel.h"
#include "web/FetchResult.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace friendlinks {

// The row a probe is run for.
struct RowContext {
    int row = 0;
    int worker = 0; // the pool's worker the row's probes run on, one after the other
    QString link;   // the row's address (lianjie)
    // The friend's page when the probe just before read it (the page probe),
    // else null. A probe reads what it needs of it in run() and keeps no more.
    std::shared_ptr<const FetchResult> page = {};
};

// What one probe of a row found: the change to the row's fields (applied in
// one model call), and what it learnt of the search engine for the site.
struct ProbeResult {
    std::function<void(ResultRow &)> change;
    bool searchBlocked = false; // the search engine asked for its security check
    bool keptEarlierAnswer = false; // blocked, the row took an earlier check's answer instead
    QString searchTlsError;     // certificate trouble of the search engine's answer
    std::shared_ptr<const FetchResult> page; // the friend's page it read, for the next probe
};

// One probe of a row, as the engine runs it: it fetches one thing (the
// friend's page, a search engine's answer, the friend's robots.txt, ...) and
// fills the fields it names, and only those. The engine runs a row's probes in
// order, each once the one before has its result.
class RowProbe {
public:
    virtual ~RowProbe() = default;
    [[nodiscard]] virtual QString name() const = 0;
    // What it fetches, in words ("the friend's home page").
    [[nodiscard]] virtual QString fetches() const = 0;
    // The keys of the cells and facts it fills, as the json names them.
    [[nodiscard]] virtual QStringList fills() const = 0;
    // Empties the fields it fills, as before it ran (a re-check does so).
    virtual void clear(ResultRow &row) const = 0;
    // Probes the row; done runs once with the result, unless the run is
    // cancelled first (its fetches are then aborted).
    virtual void run(const RowContext &row, std::function<void(const ProbeResult &)> done) = 0;
};

using RowProbes = std::vector<std::unique_ptr<RowProbe>>;

} // namespace friendlinks
