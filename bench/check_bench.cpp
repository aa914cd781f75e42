// A whole check through fakeweb: 100 friend sites that each answer after
// 50 ms and a Baidu that answers after 50 ms, at jobs 1 and jobs 8.
//
//   ./build/bench/check_bench [runs]

#include "check/CheckEngine.h"
#include "bench/BenchSupport.h"
#include "probes/BaiduProbe.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLinks = 100;
constexpr int kDelayMs = 50;

// Wall time of one check, in seconds; -1 when it gave the wrong rows.
double timeCheck(QCoreApplication &app, const QNetworkProxy &proxy, int jobs)
{
    friendlinks::CheckSettings settings;
    settings.proxy = proxy;
    settings.jobs = jobs;
    friendlinks::CheckEngine engine(settings);
    QObject::connect(&engine, &friendlinks::CheckEngine::siteFinished, &app, &QCoreApplication::quit);
    engine.start(kBenchHome);
    app.exec();
    const auto &rows = engine.results()->cellRows();
    const bool complete = rows.size() == kLinks && std::all_of(rows.begin(), rows.end(), [](const auto &row) {
        return row[friendlinks::Column::rp].text == friendlinks::kHomePageFirst;
    });
    return complete ? engine.elapsedMs() / 1000.0 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const ThreadedFakeWeb web([](fakeweb::World &world) { buildFriendWorld(world, kLinks, kDelayMs); });
    if (!web.listening()) {
        std::fprintf(stderr, "fakeweb could not listen\n");
        return 1;
    }

    // Baidu is one host: 100 queries, 2 at a time, 50 ms each.
    const double lowerBoundS = kLinks / 2.0 * kDelayMs / 1000.0;
    std::printf("check_bench: %d friend sites and Baidu answering after %d ms; median of %d runs\n", kLinks,
                kDelayMs, runs);
    double serial = 0;
    for (int jobs : {1, 8, 16}) {
        std::vector<double> times;
        for (int run = 0; run < (jobs == 1 ? 1 : runs); ++run) {
            const double seconds = timeCheck(app, web.proxy(), jobs);
            if (seconds < 0) {
                std::fprintf(stderr, "jobs %d: the check gave wrong rows\n", jobs);
                return 1;
            }
            times.push_back(seconds);
        }
        const double wall = median(times);
        if (jobs == 1)
            serial = wall;
        std::printf("jobs %2d: %6.2f s   %5.2f x faster than jobs 1   %5.2f x the %.1f s lower bound\n", jobs, wall,
                    serial / wall, wall / lowerBoundS, lowerBoundS);
    }
    std::printf("peak memory: %.0f MB\n", peakMemoryMb());
    return 0;
}
