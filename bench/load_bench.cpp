// A large check through fakeweb: a home page with 1,000 friend links, every
// friend site and Baidu answering after 20 ms. Runs the check twice, once on
// the bare engine and once in the window (offscreen), and prints wall time,
// peak memory and how late a 10 ms timer fired in the window's event loop.
//
//   ./build/bench/load_bench [links] [delay-ms]

#include "check/CheckEngine.h"
#include "app/Form2.h"
#include "bench/BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Intervals of a 10 ms timer beyond its 10 ms, while the event loop runs.
class LatenessProbe {
public:
    LatenessProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_lateMs.push_back(std::max(0.0, double(now - m_last) / 1e6 - 10.0));
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    [[nodiscard]] double percentile(double p)
    {
        if (m_lateMs.empty())
            return 0;
        std::sort(m_lateMs.begin(), m_lateMs.end());
        const auto at = size_t(p * double(m_lateMs.size() - 1));
        return m_lateMs[at];
    }
    [[nodiscard]] size_t samples() const { return m_lateMs.size(); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    std::vector<double> m_lateMs;
};

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int links = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int delayMs = argc > 2 ? std::max(0, atoi(argv[2])) : 20;

    const ThreadedFakeWeb web([&](fakeweb::World &world) { buildFriendWorld(world, links, delayMs); });
    if (!web.listening()) {
        std::fprintf(stderr, "fakeweb could not listen\n");
        return 1;
    }

    friendlinks::CheckSettings settings;
    settings.proxy = web.proxy();
    std::printf("load_bench: %d friend links, every answer after %d ms, jobs %d, %d per host\n", links, delayMs,
                settings.jobs, settings.perHostLimit);
    // Baidu is one host: its queries, two at a time, bound the whole check from below.
    const double lowerBoundS = double(links) / settings.perHostLimit * delayMs / 1000.0;

    {
        friendlinks::CheckEngine engine(settings);
        QObject::connect(&engine, &friendlinks::CheckEngine::siteFinished, &app, &QCoreApplication::quit);
        engine.start(kBenchHome);
        app.exec();
        const QList<friendlinks::CheckRow> rows = engine.results()->cellRows();
        const int filled = int(std::count_if(rows.begin(), rows.end(), [](const auto &row) {
            return !row[friendlinks::Column::rp].text.isEmpty();
        }));
        std::printf("engine: %lld rows (%d with Baidu cells) in %.2f s, %.2f x the %.1f s lower bound; "
                    "peak memory %.0f MB\n",
                    qlonglong(engine.results()->cellRows().size()), filled, engine.elapsedMs() / 1000.0,
                    engine.elapsedMs() / 1000.0 / lowerBoundS, lowerBoundS, peakMemoryMb());
    }

    {
        friendlinks::Form2 window(settings);
        window.show();
        LatenessProbe lateness;
        QObject::connect(window.engine(), &friendlinks::CheckEngine::siteFinished, &app, &QCoreApplication::quit);
        window.siteBox()->setText(kBenchHome);
        lateness.start();
        window.queryButton()->click();
        app.exec();
        lateness.stop();
        std::printf("window: %lld rows in %.2f s; 10 ms timer late by p50 %.1f ms, p99 %.1f ms, max %.1f ms "
                    "(%zu ticks); peak memory %.0f MB\n",
                    qlonglong(window.engine()->results()->cellRows().size()), window.engine()->elapsedMs() / 1000.0,
                    lateness.percentile(0.5), lateness.percentile(0.99), lateness.percentile(1.0), lateness.samples(),
                    peakMemoryMb());
    }

    return 0;
}
