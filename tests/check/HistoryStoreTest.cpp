#include "check/HistoryCodec.h"
#include "check/HistorySchema.h"
#include "check/HistoryStore.h"

#include "tests/common/HistorySamples.h"
#include "tests/common/QtPrinters.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <thread>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace friendlinks {
namespace {

using namespace std::chrono_literals;
using samples::dailyCheck;

const QString kSite = QStringLiteral("www.mysite.com");
const QString kOther = QStringLiteral("www.other.cn");

// The store's file opened by SQLite itself: another program, or a look inside.
struct RawDb {
    explicit RawDb(const QString &path) { sqlite3_open(path.toUtf8().constData(), &db); }
    ~RawDb() { sqlite3_close(db); }
    int exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    QString text(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        QString value;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return value;
    }
    sqlite3 *db = nullptr;
};

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }
    HistoryStore &store()
    {
        if (!m_store.isOpen()) {
            EXPECT_TRUE(m_store.open(path())) << m_store.lastError().reason.toStdString();
        }
        return m_store;
    }
    qint64 recordDay(int day, int friends = 3, const QString &site = kSite)
    {
        const qint64 id = store().record(dailyCheck(site, day, friends));
        EXPECT_GT(id, 0) << store().lastError().reason.toStdString();
        return id;
    }
    QList<int> daysOf(const QList<CheckSummary> &checks) const
    {
        QList<int> days;
        for (const CheckSummary &check : checks)
            days << int(dailyCheck(kSite, 0, 0).started.daysTo(check.started));
        return days;
    }

    QTemporaryDir m_dir;
    HistoryStore m_store;
};

TEST_F(HistoryStoreTest, ARecordComesBackWhole)
{
    CheckRecord check = dailyCheck(kSite, 4, 5);
    check.rows.append({QStringLiteral("http://例子.测试/"), QByteArray()}); // an empty payload stays empty
    check.rows.append(check.rows.first()); // a friend listed twice keeps both places
    const qint64 id = store().record(check);
    ASSERT_GT(id, 0) << store().lastError().reason.toStdString();
    store().close();

    const std::optional<CheckRecord> back = store().load(id);
    ASSERT_TRUE(back) << store().lastError().reason.toStdString();
    EXPECT_EQ(*back, check);
    EXPECT_EQ(back->started.timeSpec(), Qt::UTC);
    EXPECT_EQ(store().checksOf(kSite), (QList<CheckSummary>{{id, "modern", check.started, check.finished, "8.0", 7}}));
    RawDb raw(path());
    EXPECT_EQ(raw.text("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(raw.text("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(raw.text("PRAGMA user_version"), QString::number(historySchemaVersion()));
}

TEST_F(HistoryStoreTest, ChecksOfASiteNewestFirstAndOnlyItsOwn)
{
    for (int day : {2, 0, 1})
        recordDay(day);
    recordDay(3, 2, kOther);
    EXPECT_EQ(daysOf(store().checksOf(kSite)), (QList<int>{2, 1, 0}));
    EXPECT_TRUE(store().checksOf(QStringLiteral("www.never.com")).isEmpty());
    EXPECT_TRUE(store().lastError().ok());
}

TEST_F(HistoryStoreTest, PreviousCheckIsTheOneBeforeOfTheSameSite)
{
    const qint64 first = recordDay(0);
    recordDay(1, 3, kOther);
    const qint64 second = recordDay(2);
    const qint64 third = recordDay(3);
    EXPECT_EQ(store().previousCheck(kSite, third).value_or(CheckSummary{}).id, second);
    EXPECT_EQ(store().previousCheck(kSite, second).value_or(CheckSummary{}).id, first);
    EXPECT_FALSE(store().previousCheck(kSite, first));
    EXPECT_TRUE(store().lastError().ok());
}

TEST_F(HistoryStoreTest, FriendHistoryInTimeOrder)
{
    recordDay(2, 3);
    recordDay(0, 3);
    recordDay(1, 1); // the third friend missing that day
    recordDay(5, 3, kOther);
    const QList<FriendEntry> entries = store().friendHistory(kSite, samples::friendAddress(2));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].payload, samples::rowJson(2, 0));
    EXPECT_EQ(entries[1].payload, samples::rowJson(2, 2));
    EXPECT_LT(entries[0].started, entries[1].started);
    EXPECT_TRUE(store().friendHistory(kSite, QStringLiteral("http://www.stranger.com/")).isEmpty());
    EXPECT_TRUE(store().lastError().ok());
}

TEST_F(HistoryStoreTest, PruneDropsOlderChecksAndTheFriendsOnlyTheyHad)
{
    for (int day = 0; day < 10; ++day)
        recordDay(day, day < 5 ? 4 : 2);
    EXPECT_EQ(store().prune(dailyCheck(kSite, 5, 0).started), 5);
    EXPECT_EQ(daysOf(store().checksOf(kSite)), (QList<int>{9, 8, 7, 6, 5}));
    EXPECT_EQ(store().friendHistory(kSite, samples::friendAddress(1)).size(), 5);
    EXPECT_EQ(store().prune(dailyCheck(kSite, 5, 0).started), 0);
    RawDb raw(path());
    EXPECT_EQ(raw.text("SELECT count(*) FROM friend"), "2");
    EXPECT_EQ(raw.text("PRAGMA integrity_check"), "ok");
}

TEST_F(HistoryStoreTest, PruneDropsBaiduAnswersAskedBeforeTheDay)
{
    const QDateTime day5 = dailyCheck(kSite, 5, 0).started;
    const QString mode = QStringLiteral("modern");
    ASSERT_TRUE(store().recordBaiduAnswer(QStringLiteral("site:www.old.com"), mode, day5.addSecs(-1), "{\"old\": 1}"));
    ASSERT_TRUE(store().recordBaiduAnswer(QStringLiteral("site:www.new.com"), mode, day5, "{\"new\": 1}"));
    ASSERT_TRUE(store().recordBaiduAnswer(QStringLiteral("site:www.old.com"), QStringLiteral("classic"),
                                          day5.addDays(-30), "{}"));
    recordDay(4);
    EXPECT_EQ(store().prune(day5), 1);
    EXPECT_FALSE(store().baiduAnswer(QStringLiteral("site:www.old.com"), mode));
    EXPECT_FALSE(store().baiduAnswer(QStringLiteral("site:www.old.com"), QStringLiteral("classic")));
    const auto kept = store().baiduAnswer(QStringLiteral("site:www.new.com"), mode);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->answer, "{\"new\": 1}");
    EXPECT_TRUE(store().lastError().ok());
    RawDb raw(path());
    EXPECT_EQ(raw.text("SELECT count(*) FROM baidu_answer"), "1");
    // Clearing one site's checks keeps every answer: they are by query, of any site's friends.
    recordDay(6);
    EXPECT_EQ(store().clearSite(kSite), 1);
    EXPECT_EQ(raw.text("SELECT count(*) FROM baidu_answer"), "1");
}

// The typed values beside the rows, read back: one friend's newest first, every friend's by check.
TEST_F(HistoryStoreTest, FriendPointsBeforeAreTheFriendsNewestFirst)
{
    qint64 ids[5];
    for (int day = 0; day < 5; ++day)
        ids[day] = recordDay(day, day == 2 ? 1 : 3); // the third friend missing on day 2
    recordDay(3, 3, kOther);
    const QString third = samples::friendAddress(2);
    const QList<FriendPoint> all = store().friendPointsBefore(kSite, third, 0, 10);
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[0].checkId, ids[4]);
    EXPECT_EQ(all[1].checkId, ids[3]);
    EXPECT_EQ(all[2].checkId, ids[1]);
    EXPECT_EQ(all[3].checkId, ids[0]);
    EXPECT_EQ(all[0].started, dailyCheck(kSite, 4, 0).started);
    ASSERT_TRUE(all[0].row);
    // As the sample row says: 1200 + 37 per friend, nofollow for every ninth.
    EXPECT_EQ(all[0].row->pages, IndexPages(1200 + 2 * 37));
    EXPECT_EQ(all[0].row->status, 200);
    const QList<FriendPoint> before = store().friendPointsBefore(kSite, third, ids[3], 2);
    ASSERT_EQ(before.size(), 2);
    EXPECT_EQ(before[0].checkId, ids[1]);
    EXPECT_EQ(before[1].checkId, ids[0]);
    EXPECT_TRUE(store().friendPointsBefore(kSite, third, ids[0], 10).isEmpty());
    EXPECT_TRUE(store().friendPointsBefore(kSite, QStringLiteral("http://www.stranger.com/"), 0, 10).isEmpty());
    EXPECT_TRUE(store().friendPointsBefore(kOther, third, 0, 0).isEmpty());
    EXPECT_TRUE(store().lastError().ok());
}

TEST_F(HistoryStoreTest, SitePointsBeforeAreEveryFriendOfTheLastChecks)
{
    qint64 ids[4];
    for (int day = 0; day < 4; ++day)
        ids[day] = recordDay(day, day == 1 ? 2 : 3);
    recordDay(2, 3, kOther);
    const QList<SitePoint> points = store().sitePointsBefore(kSite, ids[3], 2);
    QStringList seen;
    for (const SitePoint &point : points)
        seen << QStringLiteral("%1:%2").arg(point.point.checkId).arg(point.lianjie);
    const auto at = [](qint64 id, int friendIndex) {
        return QStringLiteral("%1:%2").arg(id).arg(samples::friendAddress(friendIndex));
    };
    EXPECT_EQ(seen, (QStringList{at(ids[2], 0), at(ids[2], 1), at(ids[2], 2), at(ids[1], 0), at(ids[1], 1)}));
    ASSERT_FALSE(points.isEmpty());
    EXPECT_EQ(points[0].point, store().friendPointsBefore(kSite, points[0].lianjie, ids[3], 1).value(0));
    EXPECT_EQ(store().sitePointsBefore(kSite, 0, 1).size(), 3) << "0: the last of all";
    EXPECT_TRUE(store().sitePointsBefore(kSite, ids[0], 5).isEmpty());
    EXPECT_TRUE(store().sitePointsBefore(QStringLiteral("www.none.com"), 0, 5).isEmpty());
    EXPECT_TRUE(store().lastError().ok());
}

TEST_F(HistoryStoreTest, ClearSiteLeavesOtherSites)
{
    recordDay(0);
    recordDay(1);
    const qint64 other = recordDay(1, 2, kOther);
    EXPECT_EQ(store().clearSite(kSite), 2);
    EXPECT_TRUE(store().checksOf(kSite).isEmpty());
    EXPECT_EQ(store().load(other)->rows.size(), 2);
    EXPECT_EQ(store().clearSite(kSite), 0);
}

TEST_F(HistoryStoreTest, AMissingCheckIsNotFound)
{
    EXPECT_FALSE(store().load(42));
    EXPECT_EQ(store().lastError().failure, HistoryFailure::NotFound);
}

TEST_F(HistoryStoreTest, AnotherWriterIsWaitedFor)
{
    recordDay(0);
    RawDb other(path());
    sqlite3_busy_timeout(other.db, 5000);
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    std::atomic<bool> released = false;
    std::thread writer([&] {
        std::this_thread::sleep_for(200ms);
        released = true;
        other.exec("COMMIT");
    });
    EXPECT_GT(recordDay(1), 0);
    EXPECT_TRUE(released);
    writer.join();
    EXPECT_EQ(store().checksOf(kSite).size(), 2);
}

TEST_F(HistoryStoreTest, AWriterPastTheWaitIsLockedAndLosesNothing)
{
    HistoryStore impatient(HistoryOptions{50ms});
    ASSERT_TRUE(impatient.open(path()));
    ASSERT_GT(impatient.record(dailyCheck(kSite, 0, 3)), 0);
    RawDb other(path());
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    EXPECT_EQ(impatient.record(dailyCheck(kSite, 1, 3)), 0);
    EXPECT_EQ(impatient.lastError().failure, HistoryFailure::Locked);
    EXPECT_TRUE(impatient.lastError().reason.contains(QFileInfo(path()).fileName()));
    EXPECT_EQ(impatient.checksOf(kSite).size(), 1); // readers are not held up
    other.exec("COMMIT");
    EXPECT_GT(impatient.record(dailyCheck(kSite, 1, 3)), 0);
}

TEST_F(HistoryStoreTest, TwoStoresWritingAtOnceKeepEveryCheck)
{
    HistoryStore second;
    ASSERT_TRUE(second.open(path()));
    ASSERT_TRUE(store().isOpen());
    std::thread batch([&] {
        for (int day = 0; day < 15; ++day)
            EXPECT_GT(second.record(dailyCheck(kOther, day, 20)), 0) << second.lastError().reason.toStdString();
    });
    for (int day = 0; day < 15; ++day)
        recordDay(day, 20);
    batch.join();
    EXPECT_EQ(store().checksOf(kSite).size(), 15);
    EXPECT_EQ(store().checksOf(kOther).size(), 15);
    EXPECT_EQ(store().load(store().checksOf(kOther).first().id)->rows.size(), 20);
}

struct DamageRow {
    const char *name;
    qint64 from; // garbage from here to the end of the file
    HistoryFailure failure;
};

class HistoryDamageTest : public HistoryStoreTest, public ::testing::WithParamInterface<DamageRow> {};

TEST_P(HistoryDamageTest, ADamagedStoreIsSaidNotRead)
{
    for (int day = 0; day < 10; ++day)
        recordDay(day, 40);
    store().close();
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    file.seek(GetParam().from);
    file.write(QByteArray(size - GetParam().from, '\xA5'));
    file.close();

    HistoryStore damaged;
    HistoryFailure failure = HistoryFailure::None;
    if (!damaged.open(path()))
        failure = damaged.lastError().failure;
    else if (damaged.checksOf(kSite).isEmpty() && !damaged.record(dailyCheck(kSite, 11, 3)))
        failure = damaged.lastError().failure;
    EXPECT_EQ(failure, GetParam().failure) << damaged.lastError().reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, HistoryDamageTest,
                         ::testing::Values(DamageRow{"header", 0, HistoryFailure::NotHistory},
                                           DamageRow{"pages_after_the_first", 4096, HistoryFailure::Corrupt}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HistoryStoreTest, AFileThatIsNotSqliteIsRefusedAndLeftAlone)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray text = "lianjie\tfanlian\nhttp://www.a.com/\t回链\n";
    file.write(text);
    file.close();
    EXPECT_FALSE(m_store.open(path()));
    EXPECT_EQ(m_store.lastError().failure, HistoryFailure::NotHistory);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text);
}

TEST_F(HistoryStoreTest, AnotherProgramsDatabaseIsRefusedAndLeftAlone)
{
    {
        RawDb other(path());
        ASSERT_EQ(other.exec("CREATE TABLE notes (body TEXT); INSERT INTO notes VALUES ('mine')"), SQLITE_OK);
    }
    HistoryStore history;
    EXPECT_FALSE(history.open(path()));
    EXPECT_EQ(history.lastError().failure, HistoryFailure::NotHistory);
    EXPECT_TRUE(history.lastError().reason.contains("not a friendlinks history"));
    RawDb other(path());
    EXPECT_EQ(other.text("SELECT group_concat(name) FROM sqlite_schema"), "notes");
}

TEST_F(HistoryStoreTest, AStoreOfANewerSchemaIsRefused)
{
    recordDay(0);
    store().close();
    RawDb(path()).exec("PRAGMA user_version = 99");
    EXPECT_FALSE(m_store.open(path()));
    EXPECT_EQ(m_store.lastError().failure, HistoryFailure::Newer);
}

TEST_F(HistoryStoreTest, AFolderThatCannotBeMadeIsSaid)
{
    QFile blocker(m_dir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    HistoryStore history;
    EXPECT_FALSE(history.open(m_dir.filePath(QStringLiteral("plain-file/friendlinks/history.sqlite"))));
    EXPECT_EQ(history.lastError().failure, HistoryFailure::CannotOpen);
    EXPECT_TRUE(history.lastError().reason.contains("plain-file"));
    EXPECT_EQ(history.record(dailyCheck(kSite, 0, 1)), 0);
}

#ifndef Q_OS_WIN
TEST_F(HistoryStoreTest, AReadOnlyFileIsSaid)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes any file";
    recordDay(0);
    store().close();
    QFile::setPermissions(path(), QFile::ReadOwner);
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    HistoryStore history;
    const bool opened = history.open(path()) && history.record(dailyCheck(kSite, 1, 1)) > 0;
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(opened);
    EXPECT_EQ(history.lastError().failure, HistoryFailure::ReadOnly);
    EXPECT_TRUE(history.lastError().reason.contains("history.sqlite")) << history.lastError().reason.toStdString();
}

// A writer killed at any moment (a crash, kill -9): every check is whole or absent.
TEST_F(HistoryStoreTest, AWriterKilledMidCheckLeavesEarlierChecksWhole)
{
    recordDay(0, 10);
    store().close();
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HistoryStore writer;
        if (!writer.open(path()))
            _exit(1);
        for (int day = 1;; ++day) {
            if (writer.record(dailyCheck(kSite, day, 3000)) == 0)
                _exit(2);
            if (day == 1 && write(pipeEnds[1], "1", 1) != 1)
                _exit(3);
        }
    }
    char ready = 0;
    EXPECT_EQ(read(pipeEnds[0], &ready, 1), 1);
    usleep(30 * 1000); // the next check is under way
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    EXPECT_TRUE(WIFSIGNALED(status));

    const QList<CheckSummary> checks = store().checksOf(kSite);
    ASSERT_GE(checks.size(), 2);
    for (const CheckSummary &check : checks)
        EXPECT_EQ(store().load(check.id)->rows.size(), check.rowCount);
    EXPECT_EQ(*store().load(checks.last().id), dailyCheck(kSite, 0, 10));
    EXPECT_EQ(RawDb(path()).text("PRAGMA integrity_check"), "ok");
}
#endif

TEST_F(HistoryStoreTest, AFullStoreSaysSoAndKeepsWhatItHad)
{
    HistoryStore small(HistoryOptions{5s, 256 * 1024});
    ASSERT_TRUE(small.open(path()));
    int recorded = 0;
    while (recorded < 100 && small.record(dailyCheck(kSite, recorded, 200)) > 0)
        ++recorded;
    EXPECT_GT(recorded, 0);
    EXPECT_LT(recorded, 100);
    EXPECT_EQ(small.lastError().failure, HistoryFailure::Full);
    EXPECT_EQ(small.checksOf(kSite).size(), recorded);
    EXPECT_EQ(small.load(small.checksOf(kSite).first().id)->rows.size(), 200);
    EXPECT_GT(recordDay(recorded, 200), 0); // without the limit it grows again
}

// A row costs on the order of 100-200 bytes on disk, everything counted.
TEST_F(HistoryStoreTest, ARowCostsAFewHundredBytesAtMost)
{
    constexpr int kDays = 30;
    constexpr int kFriends = 200;
    qint64 jsonBytes = 0;
    for (int day = 0; day < kDays; ++day) {
        recordDay(day, kFriends);
        jsonBytes += samples::rowJson(kFriends / 2, day).size() * kFriends;
    }
    store().close(); // the last connection folds the WAL into the file
    const double perRow = double(QFileInfo(path()).size()) / (kDays * kFriends);
    EXPECT_LT(perRow, 200) << "json per row " << jsonBytes / (kDays * kFriends);
    std::printf("history: %.0f bytes per row on disk for %lld bytes of json\n", perRow,
                jsonBytes / (kDays * kFriends));
}

TEST(HistoryCodec, PacksAndRefusesDamage)
{
    const QByteArray &words = currentHistoryDictionary();
    const QByteArray row = samples::rowJson(7, 3);
    const QByteArray packed = packPayload(row, words);
    EXPECT_LT(packed.size(), row.size() / 2);
    EXPECT_EQ(unpackPayload(packed, words), row);
    EXPECT_EQ(unpackPayload(packPayload({}, words), words), QByteArray());
    EXPECT_FALSE(unpackPayload(packed.left(packed.size() / 2), words));
    EXPECT_FALSE(unpackPayload(packed, words, row.size() - 1));
    EXPECT_NE(unpackPayload(packed, "another dictionary"), row);
}

TEST(DefaultHistoryPath, TheEnvironmentFirstThenTheLocalDataFolder)
{
    QProcessEnvironment environment;
    EXPECT_TRUE(defaultHistoryPath(environment).endsWith("/friendlinks/history.sqlite"));
    environment.insert("FRIENDLINKS_HISTORY", "");
    EXPECT_TRUE(defaultHistoryPath(environment).endsWith("/friendlinks/history.sqlite"));
    environment.insert("FRIENDLINKS_HISTORY", "/srv/watch/h.sqlite");
    EXPECT_EQ(defaultHistoryPath(environment), "/srv/watch/h.sqlite");
}

} // namespace
} // namespace friendlinks
