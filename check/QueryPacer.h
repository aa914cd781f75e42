#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <deque>
#include <functional>

namespace friendlinks {

// Lets queued queries start in order, the starts of two at least the interval
// apart and, with an interval, one query at a time (so a wait for a free
// connection cannot bring two starts closer): a search engine is asked at a
// pace it tolerates. An action returns whether it sent a query; one that did
// not leaves the pace as it was. Whoever sends a query reports its answer
// with queryDone(). With an interval of 0 an action runs at once, inside
// enqueue(). Waits on a timer, never blocks. Several checks of a batch share
// one pacer: each action names its owner, so one check can be forgotten alone.
class QueryPacer {
public:
    explicit QueryPacer(int intervalMs);

    void enqueue(const void *owner, std::function<bool()> action);
    // The query an action sent has its answer.
    void queryDone();
    // Nothing more will be asked: every waiting action, and every later one, runs at once.
    void releaseAll();
    // Forgets the owner's waiting actions (they never run), and its query in
    // flight, whose answer will not be reported: the others go on.
    void forget(const void *owner);

    [[nodiscard]] int waiting() const { return int(m_queue.size()); }

private:
    void runDue();

    int m_intervalMs;
    QElapsedTimer m_sinceLastStart;
    struct Waiting {
        const void *owner;
        std::function<bool()> action;
    };
    std::deque<Waiting> m_queue;
    QTimer m_timer;
    const void *m_inFlightOwner = nullptr;
    bool m_inFlight = false;
    bool m_released = false;
    bool m_running = false;
};

} // namespace friendlinks
