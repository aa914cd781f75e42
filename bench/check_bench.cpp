// A whole check through fakeweb: 100 friend sites that each answer after
// 50 ms and a Baidu that answers after 50 ms, at jobs 1 and jobs 8; then what
// recording that check into a history adds to it (a new recorder each time,
// as each `check` run opens the file, on a history holding the site's check
// of the day before, which it is compared with).
//
//   ./build/bench/check_bench [runs]

#include "check/CheckEngine.h"
#include "check/HistoryRecording.h"
#include "bench/BenchSupport.h"
#include "probes/BaiduProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLinks = 100;
constexpr int kDelayMs = 50;

// Wall time of one check, in seconds; -1 when it gave the wrong rows. The result in *result.
double timeCheck(QCoreApplication &app, const QNetworkProxy &proxy, int jobs, friendlinks::SiteResult *result)
{
    friendlinks::CheckSettings settings;
    settings.proxy = proxy;
    settings.jobs = jobs;
    friendlinks::CheckEngine engine(settings);
    QObject::connect(&engine, &friendlinks::CheckEngine::siteFinished, &app,
                     [&](const friendlinks::SiteResult &finished) {
                         *result = finished;
                         app.quit();
                     });
    engine.start(kBenchHome);
    app.exec();
    const auto &rows = engine.results()->cellRows();
    const bool complete = rows.size() == kLinks && std::all_of(rows.begin(), rows.end(), [](const auto &row) {
        return row[friendlinks::Column::rp].text == friendlinks::kHomePageFirst;
    });
    return complete ? engine.elapsedMs() / 1000.0 : -1;
}

// Milliseconds to record result (median of runs), each by a new recorder on a
// history that holds the site's check of the day before; -1 on a failure.
double timeRecording(friendlinks::SiteResult result, int runs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    friendlinks::SiteResult dayBefore = result;
    dayBefore.startedAt = result.startedAt.addDays(-1);
    dayBefore.finishedAt = result.finishedAt.addDays(-1);
    if (!friendlinks::HistoryRecorder(path, QStringLiteral("bench")).record(dayBefore)) {
        std::fprintf(stderr, "cannot record into %s\n", qPrintable(path));
        return -1;
    }
    std::vector<double> times;
    for (int run = 0; run < std::max(runs, 5); ++run) {
        result.startedAt = result.startedAt.addSecs(1); // each a later check, compared with the one before
        QElapsedTimer timer;
        timer.start();
        {
            // Opened, recorded and closed (which folds the WAL into the file), as by a run of `check`.
            friendlinks::HistoryRecorder recorder(path, QStringLiteral("bench"));
            if (!recorder.record(result)) {
                std::fprintf(stderr, "%s\n", qPrintable(recorder.failure().reason));
                return -1;
            }
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
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
    double parallel = 0;
    friendlinks::SiteResult last;
    for (int jobs : {1, 8, 16}) {
        std::vector<double> times;
        for (int run = 0; run < (jobs == 1 ? 1 : runs); ++run) {
            const double seconds = timeCheck(app, web.proxy(), jobs, &last);
            if (seconds < 0) {
                std::fprintf(stderr, "jobs %d: the check gave wrong rows\n", jobs);
                return 1;
            }
            times.push_back(seconds);
        }
        const double wall = median(times);
        if (jobs == 1)
            serial = wall;
        if (jobs == 8)
            parallel = wall;
        std::printf("jobs %2d: %6.2f s   %5.2f x faster than jobs 1   %5.2f x the %.1f s lower bound\n", jobs, wall,
                    serial / wall, wall / lowerBoundS, lowerBoundS);
    }
    const double recordMs = timeRecording(last, runs);
    if (recordMs < 0)
        return 1;
    std::printf("recording the check into a history: %.1f ms = %.4f x the jobs 8 check (%.2f s)\n", recordMs,
                recordMs / 1000.0 / parallel, parallel);
    std::printf("peak memory: %.0f MB\n", peakMemoryMb());
    return 0;
}
