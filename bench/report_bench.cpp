// `friendlinks report SITE` on a store that holds a year of daily checks of
// 1,000 friends (365,000 rows, built once in a temporary folder at the
// start): gathering the report from the store, and writing its HTML.
// REPORT_BENCH_STORE=FILE keeps the year store in FILE and reuses it in later runs.
//
//   ./build/bench/report_bench
#include "bench/BenchSupport.h"
#include "check/HtmlReport.h"
#include "check/ReportData.h"

#include <benchmark/benchmark.h>

namespace {

using namespace friendlinks;

constexpr int kFriends = YearStore::kFriends;
const QString kSite = YearStore::kYearSite;

YearStore &yearStore()
{
    static YearStore year(qEnvironmentVariable("REPORT_BENCH_STORE"));
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
