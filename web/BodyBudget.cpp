#include "web/BodyBudget.h"

#include <algorithm>

namespace friendlinks {

qint64 BodyBudget::take(const void *holder, qint64 wanted)
{
    if (wanted <= 0)
        return 0;
    auto it = std::find_if(m_holders.begin(), m_holders.end(), [holder](const Holder &h) { return h.holder == holder; });
    const bool first = it == m_holders.begin() && it != m_holders.end();
    const qint64 granted = first ? wanted : std::min(wanted, std::max<qint64>(0, m_bytes - m_held));
    if (granted == 0)
        return 0;
    if (it == m_holders.end())
        it = m_holders.insert(m_holders.end(), Holder{holder, 0});
    it->bytes += granted;
    m_held += granted;
    return granted;
}

void BodyBudget::giveBack(const void *holder)
{
    std::erase_if(m_waiting, [holder](const auto &waiting) { return waiting.first == holder; });
    const auto it = std::find_if(m_holders.begin(), m_holders.end(), [holder](const Holder &h) { return h.holder == holder; });
    if (it == m_holders.end())
        return;
    m_held -= it->bytes;
    m_holders.erase(it);
    // Every waiter tries again; those that still find nothing wait anew.
    std::vector<std::pair<const void *, std::function<void()>>> waiting;
    waiting.swap(m_waiting);
    for (auto &[who, wake] : waiting)
        wake();
}

void BodyBudget::waitFor(const void *holder, std::function<void()> wake)
{
    const auto it = std::find_if(m_waiting.begin(), m_waiting.end(), [holder](const auto &w) { return w.first == holder; });
    if (it != m_waiting.end())
        it->second = std::move(wake);
    else
        m_waiting.emplace_back(holder, std::move(wake));
}

} // namespace friendlinks
