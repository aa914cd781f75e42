#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <vector>

namespace friendlinks {

// Qt reads an answer's header without any limit of its own: a server that
// never ends a header line fills memory until the time limit. Qt shows no
// header bytes before the header is whole, so this watches what it can: while
// the process's resident memory is above the limit, every fetch whose header
// has been coming for more than a second, while memory grew by more than
// 48 MB, is stopped (such an answer would end as too slow anyway; a server that
// is only slow to begin its answer loses its row only when memory runs away). A watch on Linux only; elsewhere
// the time limit alone ends such an answer.
// One watch serves the fetchers of a pool; it must outlive their requests.
class HeaderWatch {
public:
    HeaderWatch();
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
        qint64 residentAtStart;
        std::function<void()> stop;
    };
    std::vector<Waiting> m_waiting;
    QTimer m_timer;
};

} // namespace friendlinks
