#pragma once

#include "check/HistoryStore.h"
#include "tests/common/HistorySamples.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// A fakeweb on a thread of its own, so that serving pages does not count as
// the client's time or its event loop's lateness.
class ThreadedFakeWeb {
public:
    // fill builds the world before the server starts.
    explicit ThreadedFakeWeb(const std::function<void(fakeweb::World &)> &fill) : m_web(new fakeweb::FakeWeb)
    {
        fill(m_web->world());
        m_web->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(m_web, [this] { m_listening = m_web->listen(); }, Qt::BlockingQueuedConnection);
    }
    ~ThreadedFakeWeb()
    {
        QMetaObject::invokeMethod(m_web, [this] { delete m_web; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    ThreadedFakeWeb(const ThreadedFakeWeb &) = delete;
    ThreadedFakeWeb &operator=(const ThreadedFakeWeb &) = delete;

    [[nodiscard]] bool listening() const { return m_listening; }
    [[nodiscard]] QNetworkProxy proxy() const { return m_web->proxy(); }

private:
    QThread m_thread;
    fakeweb::FakeWeb *m_web;
    bool m_listening = false;
};

// The middle one of a few timed runs: one slow run on a shared machine does not move it.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The most memory the process has held so far, in MB.
inline double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

inline const QString kBenchHome = QStringLiteral("www.load-home.com");

inline QString benchFriendHost(int i)
{
    return QStringLiteral("www.friend%1.com").arg(i, 4, 10, QLatin1Char('0'));
}

// A home page linking to `links` friend sites; every friend links back, and
// every friend and its Baidu page answer after delayMs.
inline void buildFriendWorld(fakeweb::World &world, int links, int delayMs)
{
    QByteArray home = "<html><body>\n";
    for (int i = 0; i < links; ++i)
        home += QStringLiteral("<a href=\"http://%1/\">友站%2</a>\n").arg(benchFriendHost(i)).arg(i).toUtf8();
    home += "</body></html>";
    world.setPage(QStringLiteral("http://") + kBenchHome + QLatin1Char('/'), home);

    for (int i = 0; i < links; ++i) {
        const QString host = benchFriendHost(i);
        world.setPage(QStringLiteral("http://%1/").arg(host),
                      QStringLiteral("<a href=\"http://%1/\">负载之家</a>").arg(kBenchHome).toUtf8(), delayMs);
        const QByteArray baidu = QStringLiteral("百度一下，找到相关网页约1,%1篇，用时0.1秒"
                                                "<font color=#008000>%2/ 12K 2026-11-30 </font>")
                                     .arg(i)
                                     .arg(host)
                                     .toUtf8();
        world.setPage(QStringLiteral("http://www.baidu.com/s?wd=site:%1/").arg(host), baidu, delayMs);
    }
}

// A history holding a year of daily checks of 1,000 friends of kYearSite
// (365,000 rows), open. Built in a temporary folder, or in keptPath when one
// is given: there it is built the first time and used again by later runs
// (building it is the slow part). Its size on disk is printed.
struct YearStore {
    static constexpr int kDays = 365;
    static constexpr int kFriends = 1000;
    inline static const QString kYearSite = QStringLiteral("www.mysite.com");

    QTemporaryDir dir;
    QString path;
    friendlinks::HistoryStore store;
    bool ready = false;

    explicit YearStore(const QString &keptPath)
        : path(keptPath.isEmpty() ? dir.filePath(QStringLiteral("history.sqlite")) : keptPath)
    {
        if (QFileInfo::exists(path) && store.open(path) && store.talliedChecksOf(kYearSite).size() == kDays) {
            std::printf("year store: %s, kept from an earlier run\n", qPrintable(path));
            printSize();
            ready = true;
            return;
        }
        store.close();
        QFile::remove(path);
        if ((keptPath.isEmpty() && !dir.isValid()) || !store.open(path))
            return;
        QElapsedTimer timer;
        timer.start();
        for (int day = 0; day < kDays; ++day) {
            if (store.record(friendlinks::samples::dailyCheck(kYearSite, day, kFriends)) == 0) {
                std::fprintf(stderr, "%s\n", qPrintable(store.lastError().reason));
                return;
            }
        }
        std::printf("year store: %d checks of %d rows built in %.1f s\n", kDays, kFriends, timer.elapsed() / 1000.0);
        store.close(); // folds the WAL into the file, as a store between runs is
        printSize();
        ready = store.open(path);
    }

    void printSize() const
    {
        const qint64 bytes = QFileInfo(path).size();
        std::printf("year store: %.1f MiB on disk, %.0f bytes per row\n", double(bytes) / 1048576.0,
                    double(bytes) / (kDays * kFriends));
    }
};
