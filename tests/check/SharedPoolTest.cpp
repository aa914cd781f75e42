#include "check/CheckEngine.h"

#include "check/CheckRules.h"
#include "check/HostLimiter.h"
#include "tests/common/FetchWait.h"
#include "tests/common/RowPrinters.h"

#include <QSignalSpy>

namespace friendlinks {
namespace {

QByteArray baiduPage(int count, const QString &address)
{
    return QStringLiteral("百度一下，找到相关网页%1篇，用时0.1秒<font color=#008000>%2 3K 2026-1-2</font>")
        .arg(count)
        .arg(address)
        .toUtf8();
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
            world.setPage("http://www.baidu.com/s?wd=site:" + friendSite, baiduPage(f + 1, friendSite), delayMs);
        }
        world.setPage(QStringLiteral("http://www.home%1.com/").arg(s), home);
    }
}

class SharedPoolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_web.listen()); }

    [[nodiscard]] CheckSettings settings() const
    {
        CheckSettings s;
        s.proxy = m_web.proxy();
        s.timeoutMs = 2000;
        return s;
    }

    fakeweb::FakeWeb m_web;
};

TEST_F(SharedPoolTest, SitesOnOnePoolGiveTheRowsOfSeparateChecksWithNoMoreThanTwoBaiduQueriesAtOnce)
{
    buildSites(m_web.world(), 4, 5, 30);
    CheckSettings s = settings();
    s.jobs = 16;
    auto pool = std::make_shared<WorkerPool>(s);
    std::vector<std::unique_ptr<CheckEngine>> engines;
    int asked = 0;
    int answered = 0;
    int mostAtOnce = 0;
    int finished = 0;
    QObject::connect(&m_web, &fakeweb::FakeWeb::requestReceived, [&](const QString &url) {
        if (url.startsWith("http://www.baidu.com/"))
            mostAtOnce = std::max(mostAtOnce, ++asked - answered);
    });
    for (int i = 0; i < 4; ++i) {
        engines.push_back(std::make_unique<CheckEngine>(s));
        QObject::connect(engines.back().get(), &CheckEngine::cellSet, [&](int, Column column) { answered += column == Column::rp; });
        QObject::connect(engines.back().get(), &CheckEngine::finished, [&finished] { ++finished; });
        engines.back()->start(QStringLiteral("www.home%1.com").arg(i), pool);
    }
    ASSERT_TRUE(waitUntil([&finished] { return finished == 4; }));
    EXPECT_EQ(asked, 20);
    EXPECT_EQ(mostAtOnce, 2); // sixteen jobs want Baidu at once; two get it
    for (int i = 0; i < 4; ++i) {
        CheckEngine alone(settings());
        QSignalSpy done(&alone, &CheckEngine::finished);
        alone.start(QStringLiteral("www.home%1.com").arg(i));
        ASSERT_TRUE(done.wait(kWaitMs));
        ASSERT_EQ(alone.rows().size(), 5);
        EXPECT_EQ(engines[i]->rows(), alone.rows()) << "site " << i;
    }
    EXPECT_EQ(engines[0]->rows()[0][Column::fanlian], (Cell{"回", false}));
    EXPECT_EQ(engines[1]->rows()[0][Column::fanlian], (Cell{kNoLink, true}));
}

TEST_F(SharedPoolTest, CancellingOneSiteLeavesTheOthersRunningAndItsEngineRunsAgain)
{
    buildSites(m_web.world(), 2, 3, 100);
    auto pool = std::make_shared<WorkerPool>(settings());
    CheckEngine first(settings());
    CheckEngine second(settings());
    QSignalSpy firstDone(&first, &CheckEngine::finished);
    QSignalSpy secondDone(&second, &CheckEngine::finished);
    QSignalSpy firstRows(&first, &CheckEngine::rowAdded);
    first.start("www.home0.com", pool);
    second.start("www.home1.com", pool);
    ASSERT_TRUE(firstRows.wait(kWaitMs));
    first.cancel();
    EXPECT_FALSE(first.isRunning());
    ASSERT_TRUE(secondDone.wait(kWaitMs));
    EXPECT_FALSE(firstDone.wait(300)) << "a cancelled check never finishes";
    ASSERT_EQ(second.rows().size(), 3);
    EXPECT_EQ(second.rows()[2][Column::shoulu].text, "3篇");
    first.start("www.home0.com");
    ASSERT_TRUE(firstDone.wait(kWaitMs));
    ASSERT_EQ(first.rows().size(), 3);
    EXPECT_EQ(first.rows()[2][Column::fanlian], (Cell{"回", false}));
}

TEST_F(SharedPoolTest, RecheckProbesOnlyTheGivenRows)
{
    buildSites(m_web.world(), 1, 3, 0);
    CheckEngine engine(settings());
    QSignalSpy done(&engine, &CheckEngine::finished);
    engine.start("www.home0.com");
    ASSERT_TRUE(done.wait(kWaitMs));
    const QList<CheckRow> before = engine.rows();

    m_web.world().setPage("http://www.f0-1.com/", "<p>link removed</p>");
    m_web.world().setPage("http://www.f0-2.com/", "<p>link removed</p>");
    m_web.clearLog();
    QSignalSpy cells(&engine, &CheckEngine::cellSet);
    ASSERT_TRUE(engine.recheck({1, 1, 7}));
    EXPECT_FALSE(engine.recheck({0})) << "busy while the recheck runs";
    ASSERT_TRUE(done.wait(kWaitMs));

    ASSERT_EQ(engine.rows().size(), 3);
    EXPECT_EQ(engine.rows()[0], before[0]);
    EXPECT_EQ(engine.rows()[1][Column::fanlian], (Cell{kNoLink, true}));
    EXPECT_EQ(engine.rows()[1][Column::shoulu], before[1][Column::shoulu]);
    EXPECT_EQ(engine.rows()[2], before[2]) << "row 2 is not probed again";
    EXPECT_EQ(m_web.requestLog(), (QStringList{"http://www.f0-1.com/", "http://www.baidu.com/s?wd=site:www.f0-1.com/"}));
    for (const QList<QVariant> &cell : cells)
        EXPECT_EQ(cell.at(0).toInt(), 1);
    EXPECT_FALSE(engine.recheck({}));
    EXPECT_FALSE(engine.recheck({5}));
}

TEST(HostLimiter, GrantsUpToTheLimitPerHostThenInArrivalOrder)
{
    HostLimiter limiter(2);
    QStringList granted;
    for (const char *name : {"a1", "a2", "a3", "a4"})
        limiter.acquire("a.com", [&granted, name] { granted << name; });
    limiter.acquire("b.com", [&granted] { granted << "b1"; });
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1"}));
    EXPECT_EQ(limiter.inUse("a.com"), 2);

    limiter.release("a.com");
    EXPECT_EQ(granted.last(), "a3");
    EXPECT_EQ(limiter.inUse("a.com"), 2);
    limiter.release("a.com");
    limiter.release("a.com");
    limiter.release("a.com");
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1", "a3", "a4"}));
    EXPECT_EQ(limiter.inUse("a.com"), 0);
}

TEST(HostLimiter, ClearDropsWaitersAndALimitBelowOneMeansOne)
{
    HostLimiter limiter(0);
    int runs = 0;
    limiter.acquire("a.com", [&runs] { ++runs; });
    limiter.acquire("a.com", [&runs] { ++runs; });
    EXPECT_EQ(runs, 1);
    limiter.clear();
    limiter.release("a.com");
    EXPECT_EQ(runs, 1);
    limiter.acquire("a.com", [&runs] { ++runs; });
    EXPECT_EQ(runs, 2);
}

} // namespace
} // namespace friendlinks
