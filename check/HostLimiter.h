#pragma once

#include <QHash>
#include <QQueue>
#include <QString>

#include <functional>

namespace friendlinks {

// Caps how many requests run at once against one host: a site answers its
// visitors better, and Baidu stays friendly, when we do not hammer it.
// Waiters are served first come, first served.
class HostLimiter {
public:
    explicit HostLimiter(int perHost) : m_perHost(perHost < 1 ? 1 : perHost) {}

    // Runs granted now when the host has a free place, else once one is released.
    void acquire(const QString &host, std::function<void()> granted);
    // Gives back a place taken by acquire; the next waiter, if any, gets it.
    void release(const QString &host);
    // Forgets every place and waiter (their callbacks never run).
    void clear();

private:
    struct HostState {
        int inUse = 0;
        QQueue<std::function<void()>> waiting;
    };
    int m_perHost;
    QHash<QString, HostState> m_hosts;
};

} // namespace friendlinks
