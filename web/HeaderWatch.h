#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace friendlinks {

class BodyBudget;

// Qt reads an answer's header without any limit of its own: a server that
// never ends a header line fills memory at the speed of the line until the
// time limit. Qt shows no header bytes before the header is whole, so this
// watches what it can see: the bytes the process read from the network (Qt's
// network threads, on Linux; the whole process, on Windows) against the page
// bytes the fetches took (the body budget). Bytes read that no fetch took are
// header bytes, give or take what waits in Qt's buffers: once more than 8 MB
// of them came while a fetch waited a quarter second for its header, the
// fetches waiting that long are stopped, as too slow (no real header comes
// near 8 MB; a server merely slow to begin its answer is stopped only while
// another's header floods in). Where neither count is known, a second rule
// stands alone: while resident memory is above 100 MB, a fetch that waited a
// second while memory grew by 48 MB is stopped.
// One watch serves the fetchers of a pool; it must outlive their requests.
class HeaderWatch {
public:
    // budget: the page bytes taken, to tell header bytes from body bytes.
    explicit HeaderWatch(const BodyBudget *budget);
    HeaderWatch(const HeaderWatch &) = delete;
    HeaderWatch &operator=(const HeaderWatch &) = delete;

    // A fetch now waits for a header; stop ends it. Keyed by the caller.
    void add(const void *fetch, std::function<void()> stop);
    // Its header is in, or it ended.
    void remove(const void *fetch);

private:
    void tick();

    struct Waiting {
        const void *fetch;
        QElapsedTimer since;
        std::optional<qint64> residentAtStart; // none before its first tick
        std::optional<qint64> strayAtStart; // network bytes read less page bytes taken, when it began to wait
        std::function<void()> stop;
    };
    // Network bytes read less page bytes taken; none where the counts are unknown.
    [[nodiscard]] std::optional<qint64> strayBytes() const;

    const BodyBudget *m_budget;
    std::vector<Waiting> m_waiting;
    QTimer m_timer;
};

} // namespace friendlinks
