// `friendlinks report SITE` on a store that holds a year of daily checks of
// 1,000 friends (365,000 rows, built once in a temporary folder at the
// start): gathering the report from the store, and writing its HTML.
// REPORT_BENCH_STORE=FILE keeps the year store in FILE and reuses it in later runs.
//
//   ./build/bench/report_bench
#include "check/HistoryStore.h"
#include "check/HtmlReport.h"
#include "check/ReportData.h"
#include "tests/common/HistorySamples.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

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
        const QString kept = qEnvironmentVariable("REPORT_BENCH_STORE");
        const QString path = kept.isEmpty() ? dir.filePath(QStringLiteral("history.sqlite")) : kept;
        if (!kept.isEmpty() && QFileInfo::exists(kept)) {
            ready = store.open(path) && store.checksOf(kSite).size() == kDays;
            return;
        }
        if ((kept.isEmpty() && !dir.isValid()) || !store.open(path))
            return;
        QElapsedTimer timer;
        timer.start();
        for (int day = 0; day < kDays; ++day) {
            if (store.record(samples::dailyCheck(kSite, day, kFriends)) == 0) {
                std::fprintf(stderr, "%s\n", qPrintable(store.lastError().reason));
                return;
            }
        }
        std::printf("year store: %d checks of %d rows built in %.1f s\n", kDays, kFriends, timer.elapsed() / 1000.0);
        store.close(); // folds the WAL into the file, as a store between runs is
        ready = store.open(path);
    }
};

YearStore &yearStore()
{
    static YearStore year;
    return year;
}

std::optional<ReportData> gathered(benchmark::State &state, int trendChecks = kReportTrendChecks)
{
    auto data = gatherReport(yearStore().store, kSite, trendChecks);
    if (const auto *problem = std::get_if<ReportProblem>(&data)) {
        state.SkipWithError(qPrintable(problem->reason));
        return std::nullopt;
    }
    return std::get<ReportData>(std::move(data));
}

// What the report reads: the latest check whole, the changes, each friend over
// the last N checks (the report's own N, and fewer for how the cost grows).
void BM_GatherReport_Year(benchmark::State &state)
{
    if (!yearStore().ready) {
        state.SkipWithError("no year store");
        return;
    }
    for (auto _ : state) {
        const std::optional<ReportData> data = gathered(state, int(state.range(0)));
        if (!data || data->trends.size() != kFriends)
            state.SkipWithError("wrong report");
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_GatherReport_Year)->Arg(1)->Arg(30)->Arg(kReportTrendChecks)->Unit(benchmark::kMillisecond);

void BM_HtmlReport_Year(benchmark::State &state)
{
    if (!yearStore().ready) {
        state.SkipWithError("no year store");
        return;
    }
    const std::optional<ReportData> data = gathered(state);
    if (!data)
        return;
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray html = htmlReport(*data, QTimeZone::utc());
        bytes = html.size();
        benchmark::DoNotOptimize(html);
    }
    state.counters["KiB"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_HtmlReport_Year)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
