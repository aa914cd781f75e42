#pragma once

#include <QtGlobal>

#include <functional>
#include <list>
#include <memory>
#include <vector>

namespace friendlinks {

// The page bytes that the fetches of a pool hold while their answers come
// in, kept under one budget, so memory follows what is parsed, not how many
// friends send large pages at once, and pages that came in count until they
// are read (hold). Of the fetches reading, the one that began holding first
// may go a page past the budget (so that while only fetches reading hold
// bytes, one always gets to its end); the others wait, with Qt no longer
// reading their sockets, until bytes are free. Held pages give their bytes
// back as they are read, which needs no budget.
// Used from the thread of the fetchers only.
class BodyBudget {
public:
    explicit BodyBudget(qint64 bytes = kDefaultBytes) : m_bytes(bytes) {}

    // With one decode at a time on top, this keeps a check at --jobs 8 to 32
    // well under 150 MB whatever its friends send.
    static constexpr qint64 kDefaultBytes = 32 * 1024 * 1024;
    static constexpr qint64 kSmallBodyBytes = 1024 * 1024;
    // How far the first fetch reading may go past the budget: one whole page,
    // so that it gets to its end whenever only fetches reading hold bytes.
    static constexpr qint64 kFirstOverBytes = 16 * 1024 * 1024;

    // How many of wanted bytes holder may take now; 0 means wait for wake. A
    // small fetch (its body cut at kSmallBodyBytes or less) is never kept
    // waiting: it may be what a held page waits for (a jump link's redirect).
    [[nodiscard]] qint64 take(const void *holder, qint64 wanted, bool small = false);
    // Gives back every byte holder took, and forgets its wake.
    void giveBack(const void *holder);
    // Runs wake (once) when bytes are given back.
    void waitFor(const void *holder, std::function<void()> wake);
    // Every byte ever taken, given back or not.
    [[nodiscard]] qint64 takenInAll() const { return m_takenInAll; }
    // The fetches holding bytes or waiting for some, still reading.
    [[nodiscard]] qint64 fetchesHolding() const;

    // The bytes holder took stay taken until the returned hold is dropped:
    // holder's page is in memory, waiting to be read; counted as pageBytes
    // from now on when more (its decoded text). holder is done reading,
    // so the right to go on passes to the next one reading. Null when holder
    // holds nothing. A hold may outlive the budget (it then gives back nothing).
    [[nodiscard]] std::shared_ptr<const void> hold(const void *holder, qint64 pageBytes = 0);

private:
    struct Holder {
        const void *holder;
        qint64 bytes;
        bool reading = true; // false: a page that came in, kept by a hold
    };
    [[nodiscard]] std::list<Holder>::iterator find(const void *holder);
    void wakeWaiters();
    qint64 m_bytes;
    qint64 m_held = 0;
    qint64 m_takenInAll = 0;
    std::list<Holder> m_holders; // in the order they began holding
    std::vector<std::pair<const void *, std::function<void()>>> m_waiting;
    std::shared_ptr<BodyBudget *> m_alive = std::make_shared<BodyBudget *>(this); // for the holds
};

} // namespace friendlinks
