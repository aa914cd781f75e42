// The check of one site and the worker pool that the sites of a batch share: its per-host limit, its
// Baidu pace, and Baidu's security check, which stops every Baidu query of the run.
#include "check/CheckEngine.h"
#include "check/BatchCheck.h"
#include "check/CheckMode.h"

#include "check/CheckRules.h"
#include "check/HostLimiter.h"
#include "check/QueryPacer.h"
#include "check/WorkerPool.h"
#include "probes/BaiduProbe.h"
#include "web/FetchResult.h"
#include "tests/common/CheckRun.h"
#include "tests/common/FetchWait.h"
#include "tests/common/RowPrinters.h"
#include "tests/common/Table.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace friendlinks {
namespace {

const QString kBaidu = QStringLiteral("www.baidu.com");

// The checked site www.home9.com links to itself and to five friends that show one outcome each
// (which other links a harvest leaves out is HarvestTest's).
void buildWorld(fakeweb::World &world, int friendDelayMs)
{
    world.setPage("http://www.home9.com/", anchor("http://www.home9.com/", "首页") + anchor("http://www.back.com/", "回链站")
                      + anchor("http://www.pic.net/", "图片站") + anchor("http://www.nolink.org/", "不回链")
                      + anchor("http://www.slow.cn/", "慢站") + anchor("http://www.blank.com.cn/", "空站"));
    world.setPage("http://www.back.com/", anchor("http://www.home9.com/", "首页之家"), friendDelayMs);
    world.setPage("http://www.pic.net/", anchor("http://www.home9.com/", "<img src=logo.gif>"), friendDelayMs);
    world.setPage("http://www.nolink.org/", anchor("http://www.else.com/", "别处"), friendDelayMs);
    world.setPage("http://www.slow.cn/", anchor("http://www.home9.com/", "迟到"), 3000);
    world.set("http://www.blank.com.cn/", answer(200, "", {}, {}, friendDelayMs));
    // Baidu knows three of them; for the others fakeweb answers 404 and the probe fails.
    world.setPage(baiduQueryUrl(kBaidu, "http://www.back.com/"), baiduResultPage("约1,230", "www.back.com/"));
    world.setPage(baiduQueryUrl(kBaidu, "http://www.pic.net/"), baiduResultPage("约86", "www.pic.net/about.html"));
    world.setPage(baiduQueryUrl(kBaidu, "http://www.slow.cn/"), baiduResultPage("3", "www.slow.cn/"));
}

CheckRow checkRow(const QList<Cell> &cells)
{
    CheckRow row;
    for (qsizetype c = 0; c < cells.size(); ++c)
        row.cells[size_t(c)] = cells[c];
    return row;
}

QList<CheckRow> expectedRows()
{
    const Cell snapshot{"3K 2026-1-2\r\n"};
    return {
        checkRow({{"http://www.back.com/"}, {"回链站\r\n"}, {"首页之家"}, {"约1,230篇"}, snapshot, {kHomePageFirst}}),
        checkRow({{"http://www.pic.net/"}, {"图片站\r\n"}, {"图片链接"}, {"约86篇"}, snapshot, {kNotFirst, true}}),
        checkRow({{"http://www.nolink.org/"}, {"不回链\r\n"}, {kNoLink, true}, {}, {}, {}}),
        checkRow({{"http://www.slow.cn/"}, {"慢站\r\n"}, {kTooSlow, true}, {"3篇"}, snapshot, {kHomePageFirst}}),
        checkRow({{"http://www.blank.com.cn/"}, {"空站\r\n"}, {kEmptyBody, true}, {}, {}, {}}),
    };
}

// Sites home0.com … that each link to `friends` friends; every friend links
// back to the first site only, and Baidu answers after delayMs.
void buildSites(fakeweb::World &world, int sites, int friends, int delayMs)
{
    for (int s = 0; s < sites; ++s) {
        QByteArray home;
        for (int f = 0; f < friends; ++f) {
            const QString friendSite = QStringLiteral("www.f%1-%2.com/").arg(s).arg(f);
            home += QStringLiteral("<a href=\"http://%1\">友%2</a>\n").arg(friendSite).arg(f).toUtf8();
            world.setPage("http://" + friendSite, "<a href=\"http://www.home0.com/\">回</a>", delayMs);
            world.setPage(baiduQueryUrl(kBaidu, "http://" + friendSite), baiduResultPage(QString::number(f + 1), friendSite),
                          delayMs);
        }
        world.setPage(QStringLiteral("http://www.home%1.com/").arg(s), home);
    }
}

class CheckEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_web.listen()); }

    [[nodiscard]] CheckSettings settings(int jobs = 8, int timeoutMs = 500) const // the slow friend answers after 3 s
    {
        CheckSettings s;
        s.proxy = m_web.proxy();
        s.jobs = jobs;
        s.timeoutMs = timeoutMs;
        return s;
    }

    fakeweb::FakeWeb m_web;
};

TEST_F(CheckEngineTest, JobsSchemeAndWhiteSpaceAroundTheSiteGiveTheSameCellsAndColoursInHarvestOrder)
{
    buildWorld(m_web.world(), 40); // friends answer late, so many jobs finish them out of order
    // White space pasted around the address is trimmed once, for the fetch, the own-site test and the back-link
    // needle alike.
    const std::pair<QString, int> runs[] = {{"http://www.home9.com", 1}, {" \twww.home9.com\r\n", 8}, {"  http://www.home9.com  ", 8}};
    for (const auto &[site, jobs] : runs) {
        CheckEngine engine(settings(jobs));
        QSignalSpy progress(&engine, &CheckEngine::progress);
        const std::optional<SiteResult> result = checkToEnd(engine, site);
        ASSERT_TRUE(result);
        EXPECT_EQ(engine.results()->cellRows(), expectedRows()) << site.toStdString();
        EXPECT_EQ(result->rows, engine.results()->rows()) << "the result carries the rows";
        EXPECT_EQ(result->outcome.site, site.trimmed());
        ASSERT_FALSE(progress.isEmpty());
        EXPECT_EQ(progress.first(), (QList<QVariant>{0, 5}));
        EXPECT_EQ(progress.last(), (QList<QVariant>{5, 5}));
    }
    EXPECT_EQ(m_web.hostRequests(kBaidu), 3 * 5) << "one Baidu query a row";
}

// What the cells say, typed as the check found it: the verdict of the link back, Baidu's count and rank.
TEST_F(CheckEngineTest, TheTypedValuesAreThoseTheCellsShow)
{
    buildWorld(m_web.world(), 0);
    CheckEngine engine(settings());
    const std::optional<SiteResult> result = checkToEnd(engine, "www.home9.com");
    ASSERT_TRUE(result);
    using Verdict = BackLinkVerdict;
    const struct {
        Verdict verdict;
        IndexPages pages;
        RankVerdict rank;
    } expected[] = {
        {Verdict::Linked, 1230, RankVerdict::HomeFirst}, {Verdict::Linked, 86, RankVerdict::NotFirst},
        {Verdict::NoLink, {}, RankVerdict::Unknown},     {Verdict::NotRead, 3, RankVerdict::HomeFirst},
        {Verdict::NotRead, {}, RankVerdict::Unknown},
    };
    QList<RowFacts> facts;
    for (const ResultRow &row : result->rows)
        facts << row.facts;
    ASSERT_EQ(facts.size(), 5);
    for (qsizetype r = 0; r < facts.size(); ++r) {
        EXPECT_EQ(facts[r].backlinkVerdict, expected[r].verdict) << r;
        ASSERT_TRUE(facts[r].baidu) << r;
        EXPECT_EQ(facts[r].baidu->pages, expected[r].pages) << r;
        EXPECT_EQ(facts[r].baidu->rank, expected[r].rank) << r;
    }
}

TEST_F(CheckEngineTest, UnreachableEmptyOrFriendlessSiteEndsWithNoRowsAndNoProbes)
{
    m_web.world().set("http://www.gone.com/", answer(200, "", fakeweb::Answer::Fault::Drop));
    m_web.world().setPage("http://www.alone.com/", "<p>no links</p>");
    for (const QString site : {"www.gone.com", "", "www.alone.com"}) {
        CheckEngine engine(settings());
        const std::optional<SiteResult> result = checkToEnd(engine, site);
        ASSERT_TRUE(result) << "an unreachable site ends with its result too";
        EXPECT_EQ(result->outcome.reachable, site == "www.alone.com") << site.toStdString();
        EXPECT_TRUE(result->rows.isEmpty());
    }
    // Qt may retry a dropped request; nothing else is asked for.
    const QStringList log = m_web.requestLog();
    EXPECT_EQ(QSet<QString>(log.begin(), log.end()), (QSet<QString>{"http://www.gone.com/", "http://www.alone.com/"}));
}

TEST_F(CheckEngineTest, RestartFromASignalCancelsTheFirst)
{
    buildWorld(m_web.world(), 300);
    m_web.world().setPage("http://www.second.com/", anchor("http://www.back.com/", "回链站"));
    m_web.world().setPage("http://www.back.com/", anchor("http://www.second.com/", "第二"), 0);

    CheckEngine engine(settings());
    QSignalSpy finished(&engine, &CheckEngine::siteFinished);
    QSignalSpy started(&engine, &CheckEngine::started);
    bool restarted = false;
    QList<int> totalsAfterRestart;
    QObject::connect(engine.results(), &QAbstractItemModel::rowsInserted, [&](const QModelIndex &, int row) {
        if (!restarted && row == 4) { // the first check has harvested its rows: restart from the signal
            restarted = true;
            engine.start("www.second.com");
        }
    });
    QObject::connect(&engine, &CheckEngine::progress, [&](int, int total) {
        if (restarted)
            totalsAfterRestart << total;
    });
    engine.start("www.home9.com");
    ASSERT_TRUE(finished.wait(kWaitMs));
    // The first check's friends answer within 300 ms: nothing of them may arrive.
    QSignalSpy late(engine.results(), &QAbstractItemModel::dataChanged);
    EXPECT_FALSE(late.wait(500));
    EXPECT_EQ(started.count(), 2);
    EXPECT_EQ(finished.count(), 1);
    const auto result = finished.first().first().value<SiteResult>();
    ASSERT_EQ(result.rows.size(), 1);
    EXPECT_EQ(result.rows.first().cells[Column::fanlian], (Cell{"第二", false}));
    EXPECT_EQ(result.outcome.site, "www.second.com");
    EXPECT_EQ(totalsAfterRestart, (QList<int>{1, 1})); // no word of the first check's five rows
}

// The user stops a check with the slow friend in flight (one row at a time, timeout 5 s): the rows done keep
// their cells, the others are marked unchecked, and stopped() says how far it came; a re-check unmarks its rows.
TEST_F(CheckEngineTest, StopKeepsTheRowsDoneAndMarksTheOthersUnchecked)
{
    buildWorld(m_web.world(), 0);
    CheckEngine engine(settings(1, 5000));
    EXPECT_FALSE(engine.stop()) << "nothing runs";
    QSignalSpy stopped(&engine, &CheckEngine::stopped);
    QSignalSpy finished(&engine, &CheckEngine::siteFinished);
    QObject::connect(&engine, &CheckEngine::progress, [&engine](int done, int) {
        if (done == 3) // the slow friend's page is asked for next
            QTimer::singleShot(0, &engine, [&engine] { ASSERT_TRUE(engine.stop()); });
    });
    engine.start("www.home9.com");
    ASSERT_TRUE(stopped.wait(kWaitMs));
    EXPECT_EQ(stopped.first(), (QList<QVariant>{3, 5, false}));
    EXPECT_FALSE(engine.isRunning());
    const ResultsModel &results = *engine.results();
    ASSERT_EQ(results.rowCount(), 5);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(results.row(row).cells, expectedRows()[row]) << row;
        EXPECT_FALSE(results.isUnchecked(row)) << row;
    }
    EXPECT_TRUE(results.isUnchecked(3));
    EXPECT_TRUE(results.isUnchecked(4));
    const auto unchecked = [&results](int row, Column column) {
        return results.index(row, int(column)).data(ResultsModel::kUncheckedRole).toBool();
    };
    EXPECT_TRUE(unchecked(3, Column::fanlian));
    EXPECT_TRUE(unchecked(4, Column::rp));
    EXPECT_FALSE(unchecked(3, Column::lianjie)) << "the harvest's cells are there";
    EXPECT_FALSE(unchecked(0, Column::shoulu));
    // The index count orders by its number; a row with no count has none.
    EXPECT_EQ(results.index(0, int(Column::shoulu)).data(ResultsModel::kOrderRole), QVariant(qlonglong(1230)));
    EXPECT_FALSE(results.index(2, int(Column::shoulu)).data(ResultsModel::kOrderRole).isValid());

    QSignalSpy rechecked(&engine, &CheckEngine::recheckFinished);
    m_web.world().setPage("http://www.slow.cn/", anchor("http://www.home9.com/", "迟到"));
    ASSERT_TRUE(engine.recheck({3}));
    EXPECT_FALSE(results.isUnchecked(3));
    ASSERT_TRUE(rechecked.wait(kWaitMs));
    EXPECT_EQ(results.row(3).cells[Column::fanlian].text, QStringLiteral("迟到"));
    EXPECT_TRUE(results.isUnchecked(4)) << "a row not asked for stays as it was";
    EXPECT_TRUE(finished.isEmpty());
}

// Several sites on one worker pool, in the world of buildSites.
using SharedPoolTest = CheckEngineTest;

// Five sites on one pool; the fifth is cancelled once harvested, its queries left out of the count.
TEST_F(SharedPoolTest, SitesOnOnePoolGetTheirOwnRowsWithNoMoreThanTwoBaiduQueriesAtOnceAndACancelStopsOneSite)
{
    buildSites(m_web.world(), 5, 5, 30);
    CheckSettings s = settings(16, 2000);
    auto pool = std::make_shared<WorkerPool>(s);
    std::vector<std::unique_ptr<CheckEngine>> engines;
    int asked = 0;
    int answered = 0;
    int mostAtOnce = 0;
    int finished = 0;
    QObject::connect(&m_web, &fakeweb::FakeWeb::requestReceived, [&](const QString &url) {
        if (url.startsWith("http://www.baidu.com/") && !url.contains("www.f4-"))
            mostAtOnce = std::max(mostAtOnce, ++asked - answered);
    });
    for (int i = 0; i < 5; ++i) {
        engines.push_back(std::make_unique<CheckEngine>(s));
        // A row is changed once by each of its probes; Baidu's is the one that leaves its Baidu facts.
        if (i < 4)
            QObject::connect(engines.back()->results(), &QAbstractItemModel::dataChanged,
                             [&, model = engines.back()->results()](const QModelIndex &at) {
                                 answered += model->row(at.row()).facts.baidu.has_value();
                             });
        QObject::connect(engines.back().get(), &CheckEngine::siteFinished, [&finished] { ++finished; });
        engines.back()->start(QStringLiteral("www.home%1.com").arg(i), pool);
    }
    QSignalSpy harvested(engines[4]->results(), &QAbstractItemModel::rowsInserted);
    ASSERT_TRUE(!harvested.isEmpty() || harvested.wait(kWaitMs));
    engines[4]->cancel();
    EXPECT_FALSE(engines[4]->isRunning());
    ASSERT_TRUE(waitUntil([&finished] { return finished == 4; }));
    EXPECT_FALSE(waitUntil([&finished] { return finished > 4; }, 300)) << "a cancelled check never finishes";
    EXPECT_EQ(mostAtOnce, 2); // sixteen jobs want Baidu at once; two get it
    // Each site's rows in its harvest order, each with its own friends' answers.
    for (int i = 0; i < 4; ++i) {
        const QList<CheckRow> rows = engines[i]->results()->cellRows();
        ASSERT_EQ(rows.size(), 5);
        for (int f = 0; f < 5; ++f) {
            const CheckRow &r = rows[f];
            EXPECT_EQ(r[Column::lianjie].text, QStringLiteral("http://www.f%1-%2.com/").arg(i).arg(f));
            EXPECT_EQ(r[Column::fanlian], (i == 0 ? Cell{"回", false} : Cell{kNoLink, true}));
            EXPECT_EQ(r[Column::shoulu].text, QStringLiteral("%1篇").arg(f + 1));
        }
    }
}

TEST_F(SharedPoolTest, RecheckProbesOnlyTheGivenRows)
{
    buildSites(m_web.world(), 1, 3, 0);
    CheckEngine engine(settings(8, 2000));
    const std::optional<SiteResult> checked = checkToEnd(engine, "www.home0.com");
    ASSERT_TRUE(checked);
    const QList<CheckRow> before = engine.results()->cellRows();

    // The link back now only in a comment, which the classic reading still sees: the
    // rows keep the mode they were checked in, whatever is chosen for the next check.
    m_web.world().setPage("http://www.f0-1.com/", "<!-- <a href=\"http://www.home0.com/\">注释</a> -->");
    m_web.world().setPage("http://www.f0-2.com/", "<p>link removed</p>");
    engine.setModern(true);
    m_web.clearLog();
    QSignalSpy cells(engine.results(), &QAbstractItemModel::dataChanged);
    QSignalSpy rechecked(&engine, &CheckEngine::recheckFinished);
    QSignalSpy checkedAgain(&engine, &CheckEngine::siteFinished);
    ASSERT_TRUE(engine.recheck({1, 1, 7}));
    EXPECT_FALSE(engine.recheck({0})) << "busy while the recheck runs";
    ASSERT_TRUE(rechecked.wait(kWaitMs));
    EXPECT_TRUE(checkedAgain.isEmpty()) << "a re-check is no check of the site";

    const auto result = rechecked.first().first().value<SiteResult>();
    EXPECT_EQ(result.rechecked, QList<int>{1});
    const QList<CheckRow> rows = engine.results()->cellRows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(result.rows, engine.results()->rows());
    EXPECT_EQ(rows[0], before[0]);
    EXPECT_EQ(rows[1][Column::fanlian], (Cell{"注释", false}));
    EXPECT_FALSE(result.modern());
    EXPECT_EQ(rows[2], before[2]) << "row 2 is not probed again";
    // Each run's own times, in UTC, in order.
    for (const SiteResult *r : {&*checked, &result}) {
        EXPECT_EQ(r->startedAt.timeSpec(), Qt::UTC);
        EXPECT_EQ(r->finishedAt.timeSpec(), Qt::UTC);
        EXPECT_LE(r->startedAt, r->finishedAt);
    }
    EXPECT_LE(checked->finishedAt, result.startedAt);
    EXPECT_EQ(result.settings, checked->settings);
    EXPECT_EQ(checked->settings.timeoutMs, 2000);
    EXPECT_EQ(checked->settings.proxy, CheckedWith::Proxy::Given);
    EXPECT_EQ(m_web.requestLog(), (QStringList{"http://www.f0-1.com/", "http://www.baidu.com/s?wd=site:www.f0-1.com/",
                                               "http://www.f0-1.com/robots.txt"}));
    for (const QList<QVariant> &cell : cells)
        EXPECT_EQ(cell.at(0).toModelIndex().row(), 1);
    EXPECT_FALSE(engine.recheck({5})) << "no such row";
}

TEST_F(SharedPoolTest, ABatchReportsEachSiteOnceWithItsWholeResult)
{
    buildSites(m_web.world(), 2, 3, 0);
    m_web.world().set("http://www.gone.com/", answer(200, "", fakeweb::Answer::Fault::Drop));
    BatchCheck batch(settings(8, 2000), {"www.home0.com", "www.gone.com", "www.home1.com"});
    QSignalSpy sites(&batch, &BatchCheck::siteFinished);
    QSignalSpy done(&batch, &BatchCheck::finished);
    batch.start();
    ASSERT_TRUE(done.wait(kWaitMs));
    ASSERT_EQ(sites.size(), 3);
    QMap<int, SiteResult> bySite;
    for (const QList<QVariant> &site : sites)
        bySite.insert(site[0].toInt(), site[1].value<SiteResult>());
    ASSERT_EQ(bySite.keys(), (QList<int>{0, 1, 2})) << "each site once";
    EXPECT_EQ(bySite[1].outcome.site, "www.gone.com");
    EXPECT_TRUE(bySite[1].cannotCheck());
    for (const int site : {0, 2}) {
        EXPECT_FALSE(bySite[site].cannotCheck());
        EXPECT_EQ(bySite[site].rows, batch.results(site)->rows());
        EXPECT_EQ(bySite[site].rows.size(), 3);
    }
}

// Baidu: --baidu-interval-ms spaces the queries out; each address is asked once per run.
constexpr int kNetFriends = 30;
// Link networks overlap: three homes www.net1.com … list the same thirty friends, each twice.
void buildNetworks(fakeweb::World &world)
{
    QByteArray net;
    for (int i = 0; i < kNetFriends; ++i) {
        const QString address = QStringLiteral("http://www.net-friend%1.com/").arg(i);
        net += QStringLiteral("<a href=\"%1\">友站</a><a href=\"%1\">友站</a>\n").arg(address).toUtf8();
        world.setPage(address, "<a href=\"http://www.net1.com/\">net</a>");
        world.setPage(baiduQueryUrl(kBaidu, address), baiduResultPage("约5", "www.net.com/"));
    }
    for (int site = 1; site <= 3; ++site)
        world.setPage(QStringLiteral("http://www.net%1.com/").arg(site), net);
}

// The check engine on the link networks of buildNetworks.
using BaiduPoliteness = CheckEngineTest;

TEST_F(BaiduPoliteness, QueriesStartTheIntervalApartAlsoAcrossTheChecksOfABatch)
{
    // The pace is decided on the pool's clock, which the test moves by hand: while it stands
    // still no query starts, at the interval the next one does (the exact boundary is QueryPacer's test).
    buildNetworks(m_web.world());
    constexpr int kIntervalMs = 150;
    qint64 now = 1000;
    CheckSettings s = settings(8, 5000);
    s.baiduIntervalMs = kIntervalMs;
    // Two checks on one pool, as the sites of a batch run.
    auto pool = std::make_shared<WorkerPool>(s, [&now] { return now; });
    CheckEngine first(s), second(s);
    QSignalSpy firstDone(&first, &CheckEngine::siteFinished), secondDone(&second, &CheckEngine::siteFinished);
    first.start(QStringLiteral("www.net1.com"), pool);
    second.start(QStringLiteral("www.net2.com"), pool);
    const auto bothDone = [&] { return !firstDone.isEmpty() && !secondDone.isEmpty(); };
    // The addresses whose answer has reached their rows.
    const auto answered = [&] {
        QSet<QString> links;
        for (const CheckEngine *engine : {&first, &second})
            for (const ResultRow &row : engine->results()->rows())
                if (row.facts.baidu)
                    links << row.cells[Column::lianjie].text;
        return int(links.size());
    };
    int started = 0;
    // Each time the query sent is answered, the clock moves on by the interval; while it stands still
    // the pacer's timer finds no turn due.
    while (!bothDone()) {
        ASSERT_TRUE(waitUntil([&] {
            return bothDone() || (m_web.hostRequests(kBaidu) > started && answered() == m_web.hostRequests(kBaidu));
        }));
        if (bothDone())
            break;
        ASSERT_EQ(m_web.hostRequests(kBaidu), ++started) << "a query started before its time";
        now += kIntervalMs;
    }
    // Both sites list the same friends, each twice: every address is asked once in the run.
    EXPECT_GE(started, kNetFriends - 1) << "the last answer may end both checks before it is seen";
    EXPECT_EQ(m_web.hostRequests(kBaidu), kNetFriends);
    for (const CheckEngine *engine : {&first, &second})
        for (const RowFacts &facts : engine->results()->factRows())
            EXPECT_EQ(facts.baidu->state, BaiduState::Ok);
}

struct BlockRow : Row {
    int jobs;
    int intervalMs;
    int sites; // homes checked on one pool
};

// Baidu answers two queries, then sends every one to its security check.
// Whatever the workers and the pace, the run sends nothing after the first
// blocked query but what was on the wire already (at most the per-host limit),
// never follows the redirect to the check, and asks each address once; the
// rows it did not serve keep their Baidu cells empty, their pages still read.
const BlockRow kBlockRows[] = {
    {{"Jobs1"}, 1, 0, 1},      {{"Jobs16"}, 16, 0, 1},     {{"Jobs64Paced"}, 64, 20, 1},
    {{"BatchJobs1"}, 1, 0, 3}, {{"BatchJobs64"}, 64, 0, 3}, {{"BatchJobs64Paced"}, 64, 20, 3},
};

TABLE_TEST_F(BaiduPoliteness, BaiduBlock, TheBlockIsFinalOnTheWire, kBlockRows)
{
    const BlockRow &row = GetParam();
    buildNetworks(m_web.world());
    m_web.world().setHostAnswerFrom(kBaidu, 3, captchaRedirect());
    CheckSettings s = settings(row.jobs, 5000);
    s.baiduIntervalMs = row.intervalMs;
    auto pool = std::make_shared<WorkerPool>(s);
    std::vector<std::unique_ptr<CheckEngine>> engines;
    std::vector<std::unique_ptr<QSignalSpy>> done, blocked;
    for (int i = 0; i < row.sites; ++i) {
        engines.push_back(std::make_unique<CheckEngine>(s));
        done.push_back(std::make_unique<QSignalSpy>(engines.back().get(), &CheckEngine::siteFinished));
        blocked.push_back(std::make_unique<QSignalSpy>(engines.back().get(), &CheckEngine::baiduBlocked));
        engines.back()->start(QStringLiteral("www.net%1.com").arg(i + 1), pool);
    }
    for (const auto &spy : done)
        ASSERT_TRUE(!spy->isEmpty() || spy->wait(kWaitMs));

    // A paced run or a single worker has one query on the wire at a time.
    const int onTheWire = row.intervalMs > 0 ? 0 : std::min(row.jobs, s.perHostLimit) - 1;
    EXPECT_LE(m_web.hostRequests(kBaidu), 3 + onTheWire) << m_web.requestLog().join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(m_web.hostRequests(kBaidu), 3);
    EXPECT_EQ(m_web.hostRequests(QStringLiteral("wappass.baidu.com")), 0);
    // Qt's own redirect handling now and then sends a query that was answered with a redirect a
    // second time; that repeat is the transport's, not another query of the check.
    QSet<QString> asked;
    for (const QString &url : m_web.requestLog())
        if (QUrl(url).host() == kBaidu)
            asked << url;
    EXPECT_EQ(asked.size(), m_web.hostRequests(kBaidu)) << "an address asked twice";
    int ok = 0;
    for (size_t i = 0; i < engines.size(); ++i) {
        const QList<RowFacts> facts = engines[i]->results()->factRows();
        ASSERT_EQ(facts.size(), 2 * kNetFriends);
        for (qsizetype r = 0; r < facts.size(); ++r) {
            ASSERT_TRUE(facts[r].baidu);
            const bool served = facts[r].baidu->state == BaiduState::Ok;
            ok += served;
            EXPECT_TRUE(served || facts[r].baidu->state == BaiduState::Blocked);
            EXPECT_EQ(facts[r].status, 200) << "the friends' pages are still read";
            const CheckRow &cells = engines[i]->results()->row(int(r)).cells;
            EXPECT_EQ(cells[Column::shoulu], served ? Cell{"约5篇"} : Cell()) << r;
            EXPECT_EQ(cells[Column::rp].text.isEmpty(), !served) << r;
        }
        EXPECT_TRUE(done[i]->first().first().value<SiteResult>().outcome.baiduBlocked);
        EXPECT_EQ(blocked[i]->size(), 1) << "said once for each site";
    }
    EXPECT_GE(ok, 2 * 2) << "both rows of each answered friend are served";
}

// Modern mode reds shoulu for a friend Baidu does not index or whose answer it cannot read; classic never does.
struct ShouluRow : Row {
    std::optional<BaiduResult> result;
    BaiduState state;
    bool modernRed;
};

const ShouluRow kShoulu[] = {
    {"counted", BaiduResult{"约5篇", "", kHomePageFirst}, BaiduState::Ok, false},
    {"zero", BaiduResult{"0篇", "", ""}, BaiduState::Ok, true},
    {"zero_with_commas", BaiduResult{"约0,000篇", "", ""}, BaiduState::Ok, true},
    {"no_result", std::nullopt, BaiduState::NoResult, true},
    {"unknown_page", BaiduResult{"", "3K", kNotFirst}, BaiduState::UnknownPage, true},
    {"blocked_is_not_the_friend", std::nullopt, BaiduState::Blocked, false},
    {"unreachable_is_not_the_friend", std::nullopt, BaiduState::Unreachable, false},
};

TABLE_TEST(ShouluTest, RedInModernModeOnly, kShoulu)
{
    const ShouluRow &c = GetParam();
    EXPECT_EQ(CheckMode(true, "www.me.com").baiduCells(c.result, c.state).shoulu.red, c.modernRed);
    const BaiduCells classic = CheckMode(false, "www.me.com").baiduCells(c.result, c.state);
    EXPECT_FALSE(classic.shoulu.red);
    EXPECT_EQ(classic.rp, baiduCells(c.result).rp);
}

TEST(QueryPacer, OneQueryAtATimeAndASkipKeepsThePace)
{
    qint64 now = 0;
    QueryPacer paced(60 * 1000, [&now] { return now; });
    QStringList started;
    paced.enqueue(nullptr, [&started] { started << "skipped"; return false; });
    paced.enqueue(nullptr, [&started] { started << "first"; return true; });
    paced.enqueue(nullptr, [&started] { started << "second"; return true; });
    EXPECT_EQ(started, (QStringList{"skipped", "first"}));
    paced.queryDone();
    now = 60 * 1000 - 1;
    paced.runDue();
    EXPECT_EQ(started.last(), "first") << "the interval has not passed";
    now = 60 * 1000;
    paced.runDue();
    EXPECT_EQ(started.last(), "second");
}

TEST(QueryPacer, AForgottenOwnerLeavesTheOthersTheirTurn)
{
    QueryPacer paced(1);
    const int a = 0, b = 0;
    QStringList started;
    paced.enqueue(&a, [&started] { started << "a1"; return true; });
    paced.enqueue(&a, [&started] { started << "a2"; return true; });
    paced.enqueue(&b, [&started] { started << "b1"; return true; });
    // a is cancelled with its query in flight: its answer never comes; only its waiting query is dropped.
    paced.forget(&a);
    EXPECT_TRUE(QTest::qWaitFor([&started] { return started.size() == 2; }, kWaitMs));
    EXPECT_EQ(started, (QStringList{"a1", "b1"}));
}

TEST(HostLimiter, GrantsUpToTheLimitPerHostThenInArrivalOrderAndClearDropsTheWaiters)
{
    HostLimiter limiter(2);
    QStringList granted;
    for (const char *name : {"a1", "a2", "a3", "a4", "a5"})
        limiter.acquire("a.com", [&granted, name] { granted << name; });
    limiter.acquire("b.com", [&granted] { granted << "b1"; });
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1"}));
    limiter.release("a.com");
    EXPECT_EQ(granted.last(), "a3") << "the place goes to the first waiter";
    limiter.release("a.com");
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1", "a3", "a4"}));
    limiter.clear();
    limiter.release("a.com");
    EXPECT_EQ(granted.size(), 5) << "a5 was dropped";

    HostLimiter one(0); // a limit below one means one
    one.acquire("a.com", [&granted] { granted << "c1"; });
    one.acquire("a.com", [&granted] { granted << "c2"; });
    EXPECT_EQ(granted.last(), "c1");
}

} // namespace
} // namespace friendlinks
