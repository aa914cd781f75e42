#include "web/HeaderWatch.h"

#include "web/BodyBudget.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#define NOMINMAX
#include <windows.h>
#include <psapi.h>
#endif

namespace friendlinks {
namespace {

constexpr int kTickMs = 100;
constexpr qint64 kStrayWaitMs = 250;
constexpr qint64 kStrayLimitBytes = 8LL * 1024 * 1024;
// What Qt may hold for a fetch beyond what it took: its read buffer and a socket read.
constexpr qint64 kBufferedPerFetchBytes = 2LL * 1024 * 1024;
constexpr qint64 kHeaderWaitMs = 1000;
constexpr qint64 kResidentLimitBytes = 100LL * 1024 * 1024;
constexpr qint64 kGrowthLimitBytes = 48LL * 1024 * 1024; // since the fetch began to wait for its header

// Resident bytes of this process, or 0 when unknown.
qint64 residentBytes()
{
#if defined(Q_OS_LINUX)
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
#elif defined(Q_OS_WIN)
    PROCESS_MEMORY_COUNTERS counters{};
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? qint64(counters.WorkingSetSize) : 0;
#else
    return 0;
#endif
}

// Bytes read from the network so far: by Qt's network threads (their names
// say which), or by the whole process; -1 when unknown.
qint64 networkBytesRead()
{
#if defined(Q_OS_LINUX)
    qint64 total = 0;
    bool any = false;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(tasks.filePath(task + QStringLiteral("/comm")));
        if (!name.open(QIODevice::ReadOnly) || !name.readAll().startsWith("QNetworkAccess"))
            continue;
        QFile io(tasks.filePath(task + QStringLiteral("/io")));
        if (!io.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : io.readAll().split('\n')) {
            if (line.startsWith("rchar:")) {
                total += line.mid(6).trimmed().toLongLong();
                any = true;
            }
        }
    }
    return any ? total : -1;
#elif defined(Q_OS_WIN)
    IO_COUNTERS counters{};
    return GetProcessIoCounters(GetCurrentProcess(), &counters)
        ? qint64(counters.ReadTransferCount + counters.OtherTransferCount) : -1;
#else
    return -1;
#endif
}

} // namespace

HeaderWatch::HeaderWatch(const BodyBudget *budget) : m_budget(budget)
{
    m_timer.setInterval(kTickMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

std::optional<qint64> HeaderWatch::strayBytes() const
{
    const qint64 read = networkBytesRead();
    if (read < 0 || !m_budget)
        return std::nullopt;
    return read - m_budget->takenInAll(); // below zero after a compressed page: it counts as taken once inflated
}

void HeaderWatch::add(const void *fetch, std::function<void()> stop)
{
    remove(fetch);
    // Its start is measured at the next tick: most headers are in before it, at no cost.
    Waiting waiting{fetch, {}, std::nullopt, std::nullopt, std::move(stop)};
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
    const std::optional<qint64> stray = strayBytes();
    const qint64 allowance = kStrayLimitBytes + kBufferedPerFetchBytes * (m_budget ? m_budget->fetchesHolding() : 0);
    std::vector<const void *> late;
    for (Waiting &w : m_waiting) {
        if (!w.residentAtStart) {
            w.residentAtStart = resident;
            w.strayAtStart = stray;
            continue;
        }
        const bool flooded = stray && w.strayAtStart && w.since.elapsed() > kStrayWaitMs
            && *stray - *w.strayAtStart > allowance;
        const bool runaway = resident >= kResidentLimitBytes && w.since.elapsed() > kHeaderWaitMs
            && resident - *w.residentAtStart > kGrowthLimitBytes;
        if (flooded || runaway)
            late.push_back(w.fetch);
    }
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
