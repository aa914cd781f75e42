#include "check/QueryPacer.h"

#include <QElapsedTimer>

#include <memory>

namespace friendlinks {

QueryPacer::QueryPacer(int intervalMs, Clock clock)
    : m_intervalMs(intervalMs < 0 ? 0 : intervalMs)
    , m_clock(std::move(clock))
{
    if (!m_clock) {
        auto steady = std::make_shared<QElapsedTimer>();
        steady->start();
        m_clock = [steady] { return steady->elapsed(); };
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { runDue(); });
}

void QueryPacer::enqueue(const void *owner, std::function<bool()> action)
{
    m_queue.push_back({owner, std::move(action)});
    runDue();
}

void QueryPacer::queryDone()
{
    m_inFlight = false;
    runDue();
}

void QueryPacer::forget(const void *owner)
{
    std::erase_if(m_queue, [owner](const Waiting &waiting) { return waiting.owner == owner; });
    if (m_inFlight && m_inFlightOwner == owner) {
        m_inFlight = false;
        // The others' turn comes from the event loop, not from inside the caller's cancel.
        if (!m_queue.empty() && !m_timer.isActive())
            m_timer.start(0);
    }
    if (m_queue.empty())
        m_timer.stop();
}

void QueryPacer::runDue()
{
    if (m_running)
        return; // the loop on the stack takes the queue on
    m_timer.stop();
    m_running = true;
    while (!m_queue.empty()) {
        const bool paced = m_intervalMs > 0;
        if (paced && m_inFlight)
            break; // queryDone() goes on
        if (paced && m_lastStart) {
            // Also covers a timer that woke a little early: wait out the rest.
            if (const qint64 left = *m_lastStart + m_intervalMs - m_clock(); left > 0) {
                m_timer.start(int(left));
                break;
            }
        }
        Waiting next = std::move(m_queue.front());
        m_queue.pop_front();
        const std::optional<qint64> previous = m_lastStart;
        m_lastStart = m_clock();
        if (next.action()) {
            m_inFlight = paced;
            m_inFlightOwner = next.owner;
        } else
            m_lastStart = previous;
    }
    m_running = false;
}

} // namespace friendlinks
