#include "check/CheckEngine.h"

#include "check/CheckRules.h"
#include "check/HostLimiter.h"
#include "probes/BaiduProbe.h"
#include "web/FetchResult.h"
#include "tests/common/FetchWait.h"
#include "tests/common/RowPrinters.h"

#include <QSignalSpy>

namespace friendlinks {
namespace {

QByteArray anchor(const QString &href, const QString &content)
{
    return QStringLiteral("<a href=\"%1\">%2</a>\n").arg(href, content).toUtf8();
}

const QString kBaidu = QStringLiteral("www.baidu.com");

// The checked site www.home9.com links to five friends that show one outcome
// each, and to pages that must not be listed (its own, an inner page, a footer).
void buildWorld(fakeweb::World &world, int friendDelayMs = 0)
{
    world.setPage("http://www.home9.com/", "<html>" + anchor("http://www.home9.com/", "首页")
                      + anchor("http://www.home9.com/about.html", "关于我们") + anchor("http://www.back.com/", "回链站")
                      + anchor("http://www.pic.net/", "图片站") + anchor("http://www.nolink.org/", "不回链")
                      + anchor("http://www.slow.cn/", "慢站") + anchor("http://www.blank.com.cn/", "空站")
                      + anchor("http://www.other.com/page.html", "内页")
                      + anchor("http://www.miibeian.gov.cn/", "京ICP备05000001号") + "</html>");
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
            world.setPage(baiduQueryUrl(kBaidu, "http://" + friendSite), baiduResultPage(QString::number(f + 1), friendSite), delayMs);
        }
        world.setPage(QStringLiteral("http://www.home%1.com/").arg(s), home);
    }
}

class CheckEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        buildWorld(m_web.world());
    }

    [[nodiscard]] CheckSettings settings(int jobs = 8, int timeoutMs = 500) const // the slow friend answers after 3 s
    {
        CheckSettings s;
        s.proxy = m_web.proxy();
        s.jobs = jobs;
        s.timeoutMs = timeoutMs;
        return s;
    }

    // Runs one check on engine to its end.
    [[nodiscard]] static bool run(CheckEngine &engine, const QString &site)
    {
        QSignalSpy finished(&engine, &CheckEngine::finished);
        engine.start(site);
        return finished.wait(kWaitMs);
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
        ASSERT_TRUE(run(engine, site));
        EXPECT_EQ(engine.rows(), expectedRows()) << site.toStdString();
        EXPECT_EQ(engine.site(), site.trimmed());
        ASSERT_FALSE(progress.isEmpty());
        EXPECT_EQ(progress.first(), (QList<QVariant>{0, 5}));
        EXPECT_EQ(progress.last(), (QList<QVariant>{5, 5}));
        EXPECT_FALSE(engine.isRunning());
    }
    EXPECT_EQ(m_web.hostRequests(kBaidu), 3 * 5) << "one Baidu query a row";
}

TEST_F(CheckEngineTest, UnreachableEmptyOrFriendlessSiteEndsWithNoRowsAndNoProbes)
{
    m_web.world().set("http://www.gone.com/", answer(200, "", fakeweb::Answer::Fault::Drop));
    m_web.world().setPage("http://www.alone.com/", "<p>no links</p>");
    for (const QString site : {"www.gone.com", "", "www.alone.com"}) {
        CheckEngine engine(settings());
        QSignalSpy unreachable(&engine, &CheckEngine::siteUnreachable);
        ASSERT_TRUE(run(engine, site));
        EXPECT_EQ(unreachable.count(), site == "www.alone.com" ? 0 : 1) << site.toStdString();
        EXPECT_TRUE(engine.rows().isEmpty());
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
    QSignalSpy finished(&engine, &CheckEngine::finished);
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
    ASSERT_EQ(engine.rows().size(), 1);
    EXPECT_EQ(engine.rows().first()[Column::fanlian], (Cell{"第二", false}));
    EXPECT_EQ(engine.site(), "www.second.com");
    EXPECT_EQ(totalsAfterRestart, (QList<int>{1, 1})); // no word of the first check's five rows
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
        if (i < 4)
            QObject::connect(engines.back()->results(), &QAbstractItemModel::dataChanged,
                             [&](const QModelIndex &at) { answered += at.column() == int(Column::rp); });
        QObject::connect(engines.back().get(), &CheckEngine::finished, [&finished] { ++finished; });
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
        ASSERT_EQ(engines[i]->rows().size(), 5);
        for (int f = 0; f < 5; ++f) {
            const CheckRow &r = engines[i]->rows()[f];
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
    QSignalSpy done(&engine, &CheckEngine::finished);
    engine.start("www.home0.com");
    ASSERT_TRUE(done.wait(kWaitMs));
    const QList<CheckRow> before = engine.rows();

    // The link back now only in a comment, which the classic reading still sees: the
    // rows keep the mode they were checked in, whatever is chosen for the next check.
    m_web.world().setPage("http://www.f0-1.com/", "<!-- <a href=\"http://www.home0.com/\">注释</a> -->");
    m_web.world().setPage("http://www.f0-2.com/", "<p>link removed</p>");
    engine.setModern(true);
    m_web.clearLog();
    QSignalSpy cells(engine.results(), &QAbstractItemModel::dataChanged);
    ASSERT_TRUE(engine.recheck({1, 1, 7}));
    EXPECT_FALSE(engine.recheck({0})) << "busy while the recheck runs";
    ASSERT_TRUE(done.wait(kWaitMs));

    ASSERT_EQ(engine.rows().size(), 3);
    EXPECT_EQ(engine.rows()[0], before[0]);
    EXPECT_EQ(engine.rows()[1][Column::fanlian], (Cell{"注释", false}));
    EXPECT_FALSE(engine.listModern());
    EXPECT_EQ(engine.rows()[1][Column::shoulu], before[1][Column::shoulu]);
    EXPECT_EQ(engine.rows()[2], before[2]) << "row 2 is not probed again";
    EXPECT_EQ(m_web.requestLog(), (QStringList{"http://www.f0-1.com/", "http://www.baidu.com/s?wd=site:www.f0-1.com/"}));
    for (const QList<QVariant> &cell : cells)
        EXPECT_EQ(cell.at(0).toModelIndex().row(), 1);
    EXPECT_FALSE(engine.recheck({}));
    EXPECT_FALSE(engine.recheck({5}));
}

TEST(HostLimiter, GrantsUpToTheLimitPerHostThenInArrivalOrderAndClearDropsTheWaiters)
{
    HostLimiter limiter(2);
    QStringList granted;
    for (const char *name : {"a1", "a2", "a3", "a4", "a5"})
        limiter.acquire("a.com", [&granted, name] { granted << name; });
    limiter.acquire("b.com", [&granted] { granted << "b1"; });
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1"}));
    EXPECT_EQ(limiter.inUse("a.com"), 2);
    limiter.release("a.com");
    EXPECT_EQ(granted.last(), "a3");
    EXPECT_EQ(limiter.inUse("a.com"), 2);
    limiter.release("a.com");
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1", "a3", "a4"}));
    limiter.clear();
    limiter.release("a.com");
    EXPECT_EQ(granted.size(), 5) << "a5 was dropped";
    EXPECT_EQ(limiter.inUse("a.com"), 0);

    HostLimiter one(0); // a limit below one means one
    one.acquire("a.com", [&granted] { granted << "c1"; });
    one.acquire("a.com", [&granted] { granted << "c2"; });
    EXPECT_EQ(granted.last(), "c1");
}

} // namespace
} // namespace friendlinks
