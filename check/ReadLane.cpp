#include "check/ReadLane.h"

#include <QMetaObject>

namespace friendlinks {

ReadLane::ReadLane(QObject *parent) : QObject(parent)
{
    m_thread.setMaxThreadCount(1);
}

ReadLane::~ReadLane()
{
    for (const auto &[id, ticket] : m_tickets)
        ticket.dropped->store(true);
    m_tickets.clear();
    m_thread.clear();
    m_thread.waitForDone(); // its result is posted to this object, and dropped with it
}

void ReadLane::start(const void *owner, std::function<void()> work, std::function<void()> handOn)
{
    const quint64 id = ++m_nextId;
    auto dropped = std::make_shared<std::atomic<bool>>(false);
    m_tickets.emplace(id, Ticket{owner, std::move(handOn), dropped});
    auto task = [this, id, dropped, work = std::move(work)] {
        if (dropped->load())
            return;
        work();
        // Posted: the lane is only read on its owner's thread, where the post arrives
        // (and is dropped if the lane is gone by then).
        QMetaObject::invokeMethod(this, [this, id] { deliver(id); }, Qt::QueuedConnection);
    };
#ifdef Q_OS_WIN
    // On Windows the read stays on the owner's thread for now, its result still
    // handed on later: under Wine, test programs using the reading thread hung
    // now and then at their exit, a cause not yet found.
    task();
#else
    m_thread.start(std::move(task));
#endif
}

void ReadLane::deliver(quint64 id)
{
    const auto it = m_tickets.find(id);
    if (it == m_tickets.end())
        return; // forgotten meanwhile
    const std::function<void()> handOn = std::move(it->second.deliver);
    m_tickets.erase(it);
    handOn();
}

void ReadLane::forget(const void *owner)
{
    std::erase_if(m_tickets, [owner](const auto &entry) {
        if (entry.second.owner != owner)
            return false;
        entry.second.dropped->store(true);
        return true;
    });
}

} // namespace friendlinks
