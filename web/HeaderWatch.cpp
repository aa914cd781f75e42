#include "web/HeaderWatch.h"

#include <QFile>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace friendlinks {
namespace {

constexpr int kTickMs = 200;
constexpr qint64 kHeaderWaitMs = 1000;
constexpr qint64 kResidentLimitBytes = 100LL * 1024 * 1024;
constexpr qint64 kGrowthLimitBytes = 48LL * 1024 * 1024; // since the fetch began to wait for its header

// Resident bytes of this process, or 0 when unknown.
qint64 residentBytes()
{
#ifdef Q_OS_LINUX
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
#else
    return 0;
#endif
}

} // namespace

HeaderWatch::HeaderWatch()
{
    m_timer.setInterval(kTickMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

void HeaderWatch::add(const void *fetch, std::function<void()> stop)
{
    remove(fetch);
    Waiting waiting{fetch, {}, residentBytes(), std::move(stop)};
    waiting.since.start();
    m_waiting.push_back(std::move(waiting));
    if (!m_timer.isActive())
        m_timer.start();
}

void HeaderWatch::remove(const void *fetch)
{
    std::erase_if(m_waiting, [fetch](const Waiting &w) { return w.fetch == fetch; });
    if (m_waiting.empty())
        m_timer.stop();
}

void HeaderWatch::tick()
{
    const qint64 resident = residentBytes();
    if (resident < kResidentLimitBytes)
        return;
    std::vector<const void *> late;
    for (const Waiting &w : m_waiting)
        if (w.since.elapsed() > kHeaderWaitMs && resident - w.residentAtStart > kGrowthLimitBytes)
            late.push_back(w.fetch);
    // Each stop removes its fetch, and may end others on the way: only those still here are stopped.
    for (const void *fetch : late) {
        const auto it = std::find_if(m_waiting.begin(), m_waiting.end(), [fetch](const Waiting &w) { return w.fetch == fetch; });
        if (it != m_waiting.end()) {
            const std::function<void()> stop = it->stop;
            stop();
        }
    }
}

} // namespace friendlinks
