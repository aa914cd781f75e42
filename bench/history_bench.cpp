// The history store: recording a check of 100 rows, and reading a store that
// holds a year of daily checks of 1,000 friends (365,000 rows): `history SITE`
// and `history SITE --friend URL` as the command runs them (the file opened,
// the answer formatted), the store's calls beneath, and what --friend would
// cost read from the rows' payloads. The year store is built once, in a
// temporary folder, its size on disk printed; FRIENDLINKS_BENCH_STORE=FILE
// keeps it in FILE and uses it again on the next run (building it is the slow part).
//
//   ./build/bench/history_bench
//   FRIENDLINKS_BENCH_STORE=/tmp/year.sqlite ./build/bench/history_bench --benchmark_filter=Year
#include "bench/BenchSupport.h"
#include "check/HistoryListing.h"
#include "check/HistorySchema.h"
#include "check/HistoryStore.h"
#include "check/JsonRead.h"
#include "cli/HistoryCommand.h"
#include "tests/common/HistorySamples.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>

namespace {

using namespace friendlinks;

constexpr int kDays = YearStore::kDays;
constexpr int kFriends = YearStore::kFriends;
const QString kSite = YearStore::kYearSite;

YearStore &yearStore()
{
    static YearStore year(qEnvironmentVariable("FRIENDLINKS_BENCH_STORE"));
    return year;
}

#define NEEDS_YEAR(year)                                                                                               \
    YearStore &year = yearStore();                                                                                     \
    if (!year.ready) {                                                                                                 \
        state.SkipWithError("no year store");                                                                          \
        return;                                                                                                        \
    }

// Recording into a store that is kept open: the check before is still in memory.
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

// Recording as each run of `check` does: the store opened anew, the check before read from the file.
void BM_Record_100Rows_Reopened(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    HistoryStore store;
    if (!store.open(path) || store.record(samples::dailyCheck(kSite, 0, 100)) == 0) {
        state.SkipWithError("cannot open the store");
        return;
    }
    int day = 1;
    for (auto _ : state) {
        state.PauseTiming();
        const CheckRecord check = samples::dailyCheck(kSite, day++, 100);
        store.close();
        state.ResumeTiming();
        if (!store.open(path) || store.record(check) == 0)
            state.SkipWithError("record failed");
    }
}
BENCHMARK(BM_Record_100Rows_Reopened)->Unit(benchmark::kMillisecond);

// `friendlinks history SITE [--friend URL]` less starting the program: the file opened, read, formatted.
void runCommand(benchmark::State &state, const QString &friendLink)
{
    NEEDS_YEAR(year)
    HistoryQuery query;
    query.sites = {kSite};
    query.friendLink = friendLink;
    const HistoryChoice choice{year.path, false};
    for (auto _ : state) {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        if (runHistory(query, choice, &out, &err, {QDateTime::currentDateTimeUtc(), QTimeZone::utc()}) != 0
            || out.data().count('\n') != kDays + 1)
            state.SkipWithError("wrong answer");
    }
}

void BM_HistoryCommand_Year(benchmark::State &state)
{
    runCommand(state, {});
}
BENCHMARK(BM_HistoryCommand_Year)->Unit(benchmark::kMillisecond);

void BM_HistoryFriendCommand_Year(benchmark::State &state)
{
    runCommand(state, samples::friendAddress(421));
}
BENCHMARK(BM_HistoryFriendCommand_Year)->Unit(benchmark::kMillisecond);

// What `history SITE` reads: the checks with their tallies.
void BM_RecordedChecks_Year(benchmark::State &state)
{
    NEEDS_YEAR(year)
    for (auto _ : state) {
        auto checks = recordedChecks(year.store, kSite);
        if (!std::holds_alternative<QList<RecordedCheck>>(checks) || std::get<QList<RecordedCheck>>(checks).size() != kDays)
            state.SkipWithError("wrong list");
        benchmark::DoNotOptimize(checks);
    }
}
BENCHMARK(BM_RecordedChecks_Year)->Unit(benchmark::kMillisecond);

// What `history SITE --friend URL` reads: the rows' typed values.
void BM_FriendLine_Year(benchmark::State &state)
{
    NEEDS_YEAR(year)
    int friendIndex = 0;
    for (auto _ : state) {
        const QList<FriendPoint> points = year.store.friendLine(kSite, samples::friendAddress(friendIndex++ % kFriends));
        if (points.size() != kDays)
            state.SkipWithError("wrong line");
        benchmark::DoNotOptimize(points);
    }
}
BENCHMARK(BM_FriendLine_Year)->Unit(benchmark::kMillisecond);

// The same line from the rows' payloads, unpacked (and read as json): what the typed values spare.
void friendFromPayloads(benchmark::State &state, bool parse)
{
    NEEDS_YEAR(year)
    int friendIndex = 0;
    for (auto _ : state) {
        const QList<FriendEntry> entries = year.store.friendHistory(kSite, samples::friendAddress(friendIndex++ % kFriends));
        if (entries.size() != kDays)
            state.SkipWithError("wrong history");
        if (parse)
            for (const FriendEntry &entry : entries)
                if (!std::holds_alternative<ResultRow>(readRowJson(entry.payload, true)))
                    state.SkipWithError("a row is no json");
        benchmark::DoNotOptimize(entries);
    }
}

void BM_FriendPayloads_Year(benchmark::State &state)
{
    friendFromPayloads(state, false);
}
BENCHMARK(BM_FriendPayloads_Year)->Unit(benchmark::kMillisecond);

void BM_FriendPayloadsRead_Year(benchmark::State &state)
{
    friendFromPayloads(state, true);
}
BENCHMARK(BM_FriendPayloadsRead_Year)->Unit(benchmark::kMillisecond);

void BM_ChecksOf_Year(benchmark::State &state)
{
    NEEDS_YEAR(year)
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
    NEEDS_YEAR(year)
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

// Opening the year as version 1 kept it: the tallies of 365 checks worked out
// from their rows, once, when a newer friendlinks first opens an older store.
void BM_MigrateVersion1_Year(benchmark::State &state)
{
    NEEDS_YEAR(year)
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("v1.sqlite"));
        sqlite3 *db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        const QByteArray copy = QStringLiteral(
            "ATTACH '%1' AS now;"
            "INSERT INTO site SELECT id, name FROM now.site;"
            "INSERT INTO friend SELECT id, address FROM now.friend;"
            "INSERT INTO codec SELECT id, dictionary FROM now.codec;"
            "INSERT INTO check_run SELECT id, site_id, mode, started_ms, finished_ms, program_version, codec_id,"
            " outcome, row_count FROM now.check_run;"
            "INSERT INTO check_row SELECT check_id, position, friend_id, payload FROM now.check_row;"
            "DETACH now; PRAGMA application_id = %2; PRAGMA user_version = 1;")
                                    .arg(year.path)
                                    .arg(kHistoryApplicationId)
                                    .toUtf8();
        const bool made = sqlite3_exec(db, historyMigrations()[0], nullptr, nullptr, nullptr) == SQLITE_OK
                       && sqlite3_exec(db, copy.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        if (!made) {
            state.SkipWithError("cannot make the version 1 store");
            return;
        }
        state.ResumeTiming();
        HistoryStore migrated;
        if (!migrated.open(path) || migrated.talliedChecksOf(kSite).size() != kDays)
            state.SkipWithError("migration failed");
    }
}
BENCHMARK(BM_MigrateVersion1_Year)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
