#pragma once

#include <QtGlobal>

#include <functional>
#include <list>
#include <vector>

namespace friendlinks {

// The page bytes that the fetches of a pool hold while their answers come
// in, kept under one budget, so memory follows what is parsed, not how many
// friends send large pages at once. The fetch that began holding first may
// always go on (so one always gets to its end and gives its bytes back); the
// others wait, with Qt no longer reading their sockets, until bytes are free.
// Used from the thread of the fetchers only.
class BodyBudget {
public:
    explicit BodyBudget(qint64 bytes = kDefaultBytes) : m_bytes(bytes) {}

    // With one decode at a time on top, this keeps a check at --jobs 8 to 32
    // well under 150 MB whatever its friends send.
    static constexpr qint64 kDefaultBytes = 32 * 1024 * 1024;

    // How many of wanted bytes holder may take now; 0 means wait for wake.
    [[nodiscard]] qint64 take(const void *holder, qint64 wanted);
    // Gives back every byte holder took, and forgets its wake.
    void giveBack(const void *holder);
    // Runs wake (once) when bytes are given back.
    void waitFor(const void *holder, std::function<void()> wake);

private:
    struct Holder {
        const void *holder;
        qint64 bytes;
    };
    qint64 m_bytes;
    qint64 m_held = 0;
    std::list<Holder> m_holders; // in the order they began holding
    std::vector<std::pair<const void *, std::function<void()>>> m_waiting;
};

} // namespace friendlinks
