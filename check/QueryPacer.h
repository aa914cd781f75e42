#pragma once

#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

namespace friendlinks {

// Lets queued queries start in order, the starts of two at least the interval
// apart and, with an interval, one query at a time (so a wait for a free
// connection cannot bring two starts closer): a search engine is asked at a
// pace it tolerates. An action returns whether it sent a query; one that did
// not leaves the pace as it was. Whoever sends a query reports its answer
// with queryDone(). With an interval of 0 an action runs at once, inside
// enqueue(). Waits on a timer, never blocks. Several checks of a batch share
// one pacer: each action names its owner, so one owner can be forgotten alone.
// The pace is decided on the pacer's clock, which a test may replace.
class QueryPacer {
public:
    // Milliseconds on a steady clock.
    using Clock = std::function<qint64()>;

    explicit QueryPacer(int intervalMs, Clock clock = {});

    void enqueue(const void *owner, std::function<bool()> action);
    // The query an action sent has its answer.
    void queryDone();
    // Forgets the owner's waiting actions (they never run), and its query in
    // flight, whose answer will not be reported: the others go on.
    void forget(const void *owner);
    // Starts what is due; the timer calls it, and a test that moves its own clock.
    void runDue();

private:
    int m_intervalMs;
    Clock m_clock;
    std::optional<qint64> m_lastStart;
    struct Waiting {
        const void *owner;
        std::function<bool()> action;
    };
    std::deque<Waiting> m_queue;
    QTimer m_timer;
    const void *m_inFlightOwner = nullptr;
    bool m_inFlight = false;
    bool m_running = false;
};

} // namespace friendlinks
