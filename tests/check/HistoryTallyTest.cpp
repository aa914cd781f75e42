// What the history keeps beside each check and row (schema version 2): red
// cells, changes against the site's check before, each row's typed values;
// kept at record time, and filled in when a store an older version wrote is
// opened (a file made by the first version's SQL, migrated, listed right).
#include "check/HistoryListing.h"
#include "check/HistoryRecording.h"
#include "check/HistorySchema.h"
#include "check/HistoryStore.h"

#include "check/CheckRules.h"
#include "probes/BaiduProbe.h"
#include "tests/common/QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("www.me.com");
const QString kOther = QStringLiteral("www.other.cn");
const QDateTime kDay0(QDate(2026, 12, 1), QTime(3, 0), Qt::UTC);

// One friend's row as a check finds it.
struct Friend {
    const char *address;
    bool linked = true;
    bool follow = true;
    qint64 pages = 1000;
    bool first = true;
    int status = 200;
};

ResultRow rowOf(const Friend &f)
{
    ResultRow row;
    row.cells[Column::lianjie].text = QString::fromUtf8(f.address);
    row.cells[Column::guanjianzi].text = QStringLiteral("友站");
    row.cells[Column::fanlian] = f.linked ? Cell{QStringLiteral("首页之家"), false} : Cell{kNoLink, true};
    row.cells[Column::shoulu].text = QStringLiteral("约%1篇").arg(f.pages);
    row.cells[Column::rp] = f.first ? Cell{kHomePageFirst, false} : Cell{kNotFirst, true};
    row.facts.status = f.status;
    if (f.linked)
        row.facts.backlink = BackLinkFacts{QStringLiteral("http://www.me.com/"),
                                           f.follow ? QStringList() : QStringList{QStringLiteral("nofollow")}, f.follow};
    row.facts.baidu = BaiduFacts{BaiduState::Ok, QString::number(f.pages), f.pages,
                                 f.first ? RankVerdict::HomeFirst : RankVerdict::NotFirst, {}};
    return row;
}

SiteResult checkOf(const QString &site, int day, const QList<Friend> &friends, bool reachable = true)
{
    SiteResult result;
    result.outcome.site = site;
    result.outcome.reachable = reachable;
    result.outcome.home.status = reachable ? 200 : 0;
    for (const Friend &f : friends)
        result.rows << rowOf(f);
    result.startedAt = kDay0.addDays(day);
    result.finishedAt = result.startedAt.addSecs(60);
    return result;
}

// Four days of one site, another site's checks between them.
QList<SiteResult> fourDays()
{
    return {
        checkOf(kSite, 0, {{"http://a.com/"}, {"http://b.com/"}, {"http://c.com/"}}),
        checkOf(kOther, 0, {{"http://a.com/", false}}),
        // a loses its link, b adds nofollow, c goes, d comes
        checkOf(kSite, 1, {{"http://a.com/", false}, {"http://b.com/", true, false}, {"http://d.com/"}}),
        // a and b mend; d's index falls by 90% and its home page is no longer first
        checkOf(kSite, 2, {{"http://a.com/"}, {"http://b.com/"}, {"http://d.com/", true, true, 100, false, 404}}),
        checkOf(kOther, 2, {{"http://a.com/"}}),
        checkOf(kSite, 3, {}, false),
    };
}

struct RawDb {
    explicit RawDb(const QString &path) { sqlite3_open(path.toUtf8().constData(), &db); }
    ~RawDb() { sqlite3_close(db); }
    RawDb(const RawDb &) = delete;
    RawDb &operator=(const RawDb &) = delete;
    [[nodiscard]] QString exec(const QString &sql)
    {
        char *message = nullptr;
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
        const QString said = message ? QString::fromUtf8(message) : QString();
        sqlite3_free(message);
        return said;
    }
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

class HistoryTallyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const char *name = "history.sqlite") const { return m_dir.filePath(QString::fromUtf8(name)); }

    void record(const QString &file, const QList<SiteResult> &checks)
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(file)) << store.lastError().reason.toStdString();
        for (const SiteResult &check : checks)
            ASSERT_GT(store.record(checkRecord(check, QStringLiteral("8.0"))), 0) << store.lastError().reason.toStdString();
    }

    // The checks of a store recorded as version 1 kept them: its tables made by
    // version 1's SQL, the rows (packed as they were then) copied in.
    void makeVersion1(const QString &from, const QString &to)
    {
        RawDb v1(to);
        EXPECT_EQ(v1.exec(QString::fromUtf8(historyMigrations()[0])), "");
        const QString copy = QStringLiteral(
            "ATTACH '%1' AS now;"
            "INSERT INTO site SELECT id, name FROM now.site;"
            "INSERT INTO friend SELECT id, address FROM now.friend;"
            "INSERT INTO codec SELECT id, dictionary FROM now.codec;"
            "INSERT INTO check_run SELECT id, site_id, mode, started_ms, finished_ms, program_version, codec_id,"
            " outcome, row_count FROM now.check_run;"
            "INSERT INTO check_row SELECT check_id, position, friend_id, payload FROM now.check_row;"
            "DETACH now;"
            "PRAGMA application_id = %2; PRAGMA user_version = 1;")
                                 .arg(from)
                                 .arg(kHistoryApplicationId);
        EXPECT_EQ(v1.exec(copy), "");
    }

    QTemporaryDir m_dir;
};

TEST_F(HistoryTallyTest, EachCheckKeepsItsRedCellsAndWhatChangedSinceTheSitesCheckBefore)
{
    record(path(), fourDays());
    HistoryStore store;
    ASSERT_TRUE(store.open(path()));
    QList<TalliedCheck> checks = store.talliedChecksOf(kSite);
    ASSERT_EQ(checks.size(), 4);
    std::reverse(checks.begin(), checks.end());
    struct Expected {
        int red, changes, worse, better;
        bool unreachable;
        int homeStatus;
        int comparedWithDay; // -1: none
    };
    const Expected expected[] = {
        {0, 0, 0, 0, false, 200, -1},
        {1, 4, 3, 0, false, 200, 0}, // backlink_lost, nofollow_added, removed; added is neither
        {1, 4, 2, 2, false, 200, 1}, // backlink_back, nofollow_removed; index_drop, rank_lost
        {0, 1, 1, 0, true, 0, 2},    // unreachable: one change for the whole site
    };
    for (int day = 0; day < 4; ++day) {
        ASSERT_TRUE(checks[day].tally) << day;
        const CheckTally &tally = *checks[day].tally;
        const Expected &want = expected[day];
        EXPECT_EQ(checks[day].summary.started, kDay0.addDays(day));
        EXPECT_EQ(tally.redCells, want.red) << day;
        EXPECT_EQ(tally.changes, want.changes) << day;
        EXPECT_EQ(tally.worse, want.worse) << day;
        EXPECT_EQ(tally.better, want.better) << day;
        EXPECT_EQ(tally.unreachable, want.unreachable) << day;
        EXPECT_EQ(tally.homeStatus, want.homeStatus) << day;
        EXPECT_EQ(tally.comparedWith, want.comparedWithDay < 0 ? 0 : checks[want.comparedWithDay].summary.id) << day;
    }
    const QList<TalliedCheck> other = store.talliedChecksOf(kOther);
    ASSERT_EQ(other.size(), 2);
    ASSERT_TRUE(other[0].tally);
    EXPECT_EQ(other[0].tally->better, 1) << "compared with its own site's check, not www.me.com's";
    EXPECT_EQ(other[0].tally->comparedWith, other[1].summary.id);
}

TEST_F(HistoryTallyTest, AFriendsLineThroughTimeComesFromTheRowsTypedValues)
{
    record(path(), fourDays());
    HistoryStore store;
    ASSERT_TRUE(store.open(path()));
    const std::pair<const char *, QList<RowTally>> lines[] = {
        {"http://a.com/",
         {{BackLinkVerdict::Linked, true, 1000, RankVerdict::HomeFirst, 200},
          {BackLinkVerdict::NoLink, std::nullopt, 1000, RankVerdict::HomeFirst, 200},
          {BackLinkVerdict::Linked, true, 1000, RankVerdict::HomeFirst, 200}}},
        {"http://b.com/",
         {{BackLinkVerdict::Linked, true, 1000, RankVerdict::HomeFirst, 200},
          {BackLinkVerdict::Linked, false, 1000, RankVerdict::HomeFirst, 200},
          {BackLinkVerdict::Linked, true, 1000, RankVerdict::HomeFirst, 200}}},
        {"http://d.com/",
         {{BackLinkVerdict::Linked, true, 1000, RankVerdict::HomeFirst, 200},
          {BackLinkVerdict::Linked, true, 100, RankVerdict::NotFirst, 404}}},
        {"http://nobody.com/", {}},
    };
    for (const auto &[address, want] : lines) {
        const QList<FriendPoint> points = store.friendLine(kSite, QString::fromUtf8(address));
        EXPECT_TRUE(store.lastError().ok());
        QList<RowTally> got;
        for (const FriendPoint &point : points) {
            ASSERT_TRUE(point.row) << address;
            got << *point.row;
        }
        EXPECT_EQ(got, want) << address;
    }
    const QList<FriendPoint> d = store.friendLine(kSite, QStringLiteral("http://d.com/"));
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0].started, kDay0.addDays(1));
    EXPECT_EQ(store.friendLine(kOther, QStringLiteral("http://a.com/")).size(), 2) << "each site its own line";
}

TEST_F(HistoryTallyTest, AStoreOfVersionOneIsMigratedAndListedAsIfRecordedNow)
{
    record(path("now.sqlite"), fourDays());
    makeVersion1(path("now.sqlite"), path());
    {
        RawDb v1(path());
        ASSERT_EQ(v1.text("PRAGMA user_version"), "1");
    }
    HistoryStore now, migrated;
    ASSERT_TRUE(now.open(path("now.sqlite")));
    ASSERT_TRUE(migrated.open(path())) << migrated.lastError().reason.toStdString();
    for (const QString &site : {kSite, kOther}) {
        EXPECT_EQ(migrated.talliedChecksOf(site), now.talliedChecksOf(site)) << site.toStdString();
        auto listed = recordedChecks(migrated, site);
        ASSERT_TRUE(std::holds_alternative<QList<RecordedCheck>>(listed));
        EXPECT_EQ(std::get<QList<RecordedCheck>>(listed), std::get<QList<RecordedCheck>>(recordedChecks(now, site)));
    }
    for (const char *address : {"http://a.com/", "http://b.com/", "http://d.com/"})
        EXPECT_EQ(migrated.friendLine(kSite, QString::fromUtf8(address)),
                  now.friendLine(kSite, QString::fromUtf8(address)))
            << address;
    migrated.close();
    RawDb file(path());
    EXPECT_EQ(file.text("PRAGMA user_version"), QString::number(historySchemaVersion()));
    EXPECT_EQ(file.text("PRAGMA integrity_check"), "ok");
}

TEST_F(HistoryTallyTest, ADamagedCheckOfVersionOneIsMigratedWithoutATallyAndListedAsDamaged)
{
    record(path("now.sqlite"), fourDays());
    makeVersion1(path("now.sqlite"), path());
    {
        RawDb v1(path());
        // The second check of www.me.com (id 3): one row that no longer unpacks.
        ASSERT_EQ(v1.exec("UPDATE check_row SET payload = x'00ff' WHERE check_id = 3 AND position = 1"), "");
    }
    HistoryStore migrated;
    ASSERT_TRUE(migrated.open(path())) << migrated.lastError().reason.toStdString();
    const QList<TalliedCheck> checks = migrated.talliedChecksOf(kSite);
    ASSERT_EQ(checks.size(), 4);
    EXPECT_FALSE(checks[2].tally);
    ASSERT_TRUE(checks[1].tally && checks[3].tally);
    EXPECT_EQ(checks[1].tally->comparedWith, 0) << "the check after a damaged one has nothing to compare with";
    EXPECT_EQ(checks[1].tally->redCells, 1);
    auto listed = recordedChecks(migrated, kSite);
    ASSERT_TRUE(std::holds_alternative<QString>(listed));
    EXPECT_TRUE(std::get<QString>(listed).contains("damaged check of www.me.com")) << std::get<QString>(listed).toStdString();
    EXPECT_TRUE(std::holds_alternative<QList<RecordedCheck>>(recordedChecks(migrated, kOther)));
}

TEST_F(HistoryTallyTest, ACheckWhoseRowsAreNotJsonIsRecordedAsGivenWithoutATally)
{
    record(path(), {checkOf(kSite, 0, {{"http://a.com/"}})});
    CheckRecord odd = checkRecord(checkOf(kSite, 1, {{"http://a.com/"}}), QStringLiteral("8.0"));
    odd.rows[0].payload = "not json";
    HistoryStore store;
    ASSERT_TRUE(store.open(path()));
    const qint64 id = store.record(odd);
    ASSERT_GT(id, 0) << store.lastError().reason.toStdString();
    EXPECT_EQ(store.load(id)->rows, odd.rows);
    const QList<TalliedCheck> checks = store.talliedChecksOf(kSite);
    ASSERT_EQ(checks.size(), 2);
    EXPECT_FALSE(checks[0].tally);
    EXPECT_EQ(store.friendLine(kSite, QStringLiteral("http://a.com/")).value(1).row, std::nullopt);
}

} // namespace
} // namespace friendlinks
