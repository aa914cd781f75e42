#include "check/HostLimiter.h"

namespace friendlinks {

void HostLimiter::acquire(const QString &host, std::function<void()> granted)
{
    HostState &state = m_hosts[host];
    if (state.inUse < m_perHost) {
        ++state.inUse;
        granted();
        return;
    }
    state.waiting.enqueue(std::move(granted));
}

void HostLimiter::release(const QString &host)
{
    auto it = m_hosts.find(host);
    if (it == m_hosts.end() || it->inUse == 0)
        return;
    if (!it->waiting.isEmpty()) {
        // The place passes straight to the next waiter.
        auto next = it->waiting.dequeue();
        next();
        return;
    }
    if (--it->inUse == 0)
        m_hosts.erase(it);
}

void HostLimiter::clear()
{
    m_hosts.clear();
}

} // namespace friendlinks
