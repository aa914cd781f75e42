// The history store: recording a check of 100 rows, and reading a store that
// holds a year of daily checks of 1,000 friends (365,000 rows, built once in
// a temporary folder at the start; its size on disk is printed).
//
//   ./build/bench/history_bench
#include "check/HistoryListing.h"
#include "check/HistoryStore.h"
#include "tests/common/HistorySamples.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using namespace friendlinks;

constexpr int kDays = 365;
constexpr int kFriends = 1000;
const QString kSite = QStringLiteral("www.mysite.com");

struct YearStore {
    QTemporaryDir dir;
    HistoryStore store;
    bool ready = false;

    YearStore()
    {
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        if (!dir.isValid() || !store.open(path))
            return;
        QElapsedTimer timer;
        timer.start();
        for (int day = 0; day < kDays; ++day) {
            if (store.record(samples::dailyCheck(kSite, day, kFriends)) == 0) {
                std::fprintf(stderr, "%s\n", qPrintable(store.lastError().reason));
                return;
            }
        }
        const double seconds = timer.elapsed() / 1000.0;
        store.close(); // folds the WAL into the file
        const qint64 bytes = QFileInfo(path).size();
        std::printf("year store: %d checks of %d rows built in %.1f s; %.1f MiB on disk, %.0f bytes per row\n", kDays,
                    kFriends, seconds, bytes / 1048576.0, double(bytes) / (kDays * kFriends));
        ready = store.open(path);
    }
};

YearStore &yearStore()
{
    static YearStore year;
    return year;
}

void BM_Record_100Rows(benchmark::State &state)
{
    QTemporaryDir dir;
    HistoryStore store;
    if (!store.open(dir.filePath(QStringLiteral("history.sqlite")))) {
        state.SkipWithError("cannot open the store");
        return;
    }
    int day = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const CheckRecord check = samples::dailyCheck(kSite, day++, 100);
        state.ResumeTiming();
        if (store.record(check) == 0)
            state.SkipWithError("record failed");
    }
}
BENCHMARK(BM_Record_100Rows)->Unit(benchmark::kMillisecond);

void BM_FriendHistory_Year(benchmark::State &state)
{
    YearStore &year = yearStore();
    if (!year.ready) {
        state.SkipWithError("no year store");
        return;
    }
    int friendIndex = 0;
    for (auto _ : state) {
        const QString lianjie = samples::friendAddress(friendIndex++ % kFriends);
        const QList<FriendEntry> entries = year.store.friendHistory(kSite, lianjie);
        if (entries.size() != kDays)
            state.SkipWithError("wrong history");
        benchmark::DoNotOptimize(entries);
    }
}
BENCHMARK(BM_FriendHistory_Year)->Unit(benchmark::kMillisecond);

void BM_ChecksOf_Year(benchmark::State &state)
{
    YearStore &year = yearStore();
    if (!year.ready) {
        state.SkipWithError("no year store");
        return;
    }
    for (auto _ : state) {
        const QList<CheckSummary> checks = year.store.checksOf(kSite);
        if (checks.size() != kDays)
            state.SkipWithError("wrong list");
        benchmark::DoNotOptimize(checks);
    }
}
BENCHMARK(BM_ChecksOf_Year)->Unit(benchmark::kMillisecond);

// The latest check whole, and the one before it: what a comparison reads.
void BM_LoadLatestTwo_Year(benchmark::State &state)
{
    YearStore &year = yearStore();
    if (!year.ready) {
        state.SkipWithError("no year store");
        return;
    }
    const qint64 latest = year.store.checksOf(kSite).first().id;
    for (auto _ : state) {
        const std::optional<CheckSummary> previous = year.store.previousCheck(kSite, latest);
        const std::optional<CheckRecord> newer = year.store.load(latest);
        const std::optional<CheckRecord> older = previous ? year.store.load(previous->id) : std::nullopt;
        if (!newer || !older || newer->rows.size() != kFriends)
            state.SkipWithError("wrong checks");
        benchmark::DoNotOptimize(older);
    }
}
BENCHMARK(BM_LoadLatestTwo_Year)->Unit(benchmark::kMillisecond);

// `friendlinks history SITE`: every check of the year listed, each read back whole for its red cells.
void BM_RecordedChecks_Year(benchmark::State &state)
{
    YearStore &year = yearStore();
    if (!year.ready) {
        state.SkipWithError("no year store");
        return;
    }
    for (auto _ : state) {
        auto checks = recordedChecks(year.store, kSite);
        if (!std::holds_alternative<QList<RecordedCheck>>(checks) || std::get<QList<RecordedCheck>>(checks).size() != kDays)
            state.SkipWithError("wrong list");
        benchmark::DoNotOptimize(checks);
    }
}
BENCHMARK(BM_RecordedChecks_Year)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
