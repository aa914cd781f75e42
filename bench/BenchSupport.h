#pragma once

#include "tools/fakeweb/FakeWeb.h"

#include <QString>
#include <QThread>

#include <sys/resource.h>

#include <algorithm>
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
