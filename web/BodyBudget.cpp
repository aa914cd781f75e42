#include "web/BodyBudget.h"

#include <algorithm>

namespace friendlinks {

std::list<BodyBudget::Holder>::iterator BodyBudget::find(const void *holder)
{
    return std::find_if(m_holders.begin(), m_holders.end(), [holder](const Holder &h) { return h.holder == holder; });
}

void BodyBudget::wakeWaiters()
{
    // Every waiter tries again; those that still find nothing wait anew.
    std::vector<std::pair<const void *, std::function<void()>>> waiting;
    waiting.swap(m_waiting);
    for (auto &[who, wake] : waiting)
        wake();
}

qint64 BodyBudget::take(const void *holder, qint64 wanted, bool small)
{
    if (wanted <= 0)
        return 0;
    auto it = find(holder);
    const auto firstReading = std::find_if(m_holders.begin(), m_holders.end(), [](const Holder &h) { return h.reading; });
    const bool first = it != m_holders.end() && it == firstReading;
    const qint64 room = m_bytes + (first ? kFirstOverBytes : 0) - m_held;
    const qint64 granted = small ? wanted : std::min(wanted, std::max<qint64>(0, room));
    if (granted == 0)
        return 0;
    if (it == m_holders.end())
        it = m_holders.insert(m_holders.end(), Holder{holder, 0});
    it->bytes += granted;
    m_held += granted;
    m_takenInAll += granted;
    return granted;
}

qint64 BodyBudget::fetchesHolding() const
{
    const auto reading = std::count_if(m_holders.begin(), m_holders.end(), [](const Holder &h) { return h.reading; });
    return qint64(reading) + qint64(m_waiting.size());
}

void BodyBudget::giveBack(const void *holder)
{
    std::erase_if(m_waiting, [holder](const auto &waiting) { return waiting.first == holder; });
    const auto it = find(holder);
    if (it == m_holders.end())
        return;
    m_held -= it->bytes;
    m_holders.erase(it);
    wakeWaiters();
}

void BodyBudget::waitFor(const void *holder, std::function<void()> wake)
{
    const auto it = std::find_if(m_waiting.begin(), m_waiting.end(), [holder](const auto &w) { return w.first == holder; });
    if (it != m_waiting.end())
        it->second = std::move(wake);
    else
        m_waiting.emplace_back(holder, std::move(wake));
}

std::shared_ptr<const void> BodyBudget::hold(const void *holder, qint64 pageBytes)
{
    const auto it = find(holder);
    if (it == m_holders.end())
        return nullptr;
    std::erase_if(m_waiting, [holder](const auto &waiting) { return waiting.first == holder; });
    // The hold's own address names the bytes from now on: holder may go, and its address be used again.
    auto *key = new char;
    it->holder = key;
    it->reading = false;
    if (pageBytes > it->bytes) {
        m_held += pageBytes - it->bytes;
        it->bytes = pageBytes;
    }
    const std::weak_ptr<BodyBudget *> budget = m_alive;
    std::shared_ptr<const void> held(key, [budget](const char *k) {
        if (const std::shared_ptr<BodyBudget *> alive = budget.lock())
            (*alive)->giveBack(k);
        delete k;
    });
    wakeWaiters(); // the one reading first may have changed
    return held;
}

} // namespace friendlinks
