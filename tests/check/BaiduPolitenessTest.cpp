// A Baidu that asks for a security check stops every Baidu query of the run;
// --baidu-interval-ms spaces them out; each address is asked once per run.
#include "check/CheckEngine.h"
#include "check/QueryPacer.h"
#include "check/WorkerPool.h"

#include "probes/BaiduProbe.h"
#include "tests/common/FetchWait.h"
#include "tests/common/RowPrinters.h"
#include "tests/common/Table.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

constexpr int kNetFriends = 30;
const QString kBaiduHost = QStringLiteral("www.baidu.com");

// Link networks overlap: three homes www.net1.com … list the same thirty friends, each twice.
void buildWorld(fakeweb::World &world)
{
    QByteArray net;
    for (int i = 0; i < kNetFriends; ++i) {
        const QString address = QStringLiteral("http://www.net-friend%1.com/").arg(i);
        net += QStringLiteral("<a href=\"%1\">友站</a><a href=\"%1\">友站</a>\n").arg(address).toUtf8();
        world.setPage(address, "<a href=\"http://www.net1.com/\">net</a>");
        world.setPage(baiduQueryUrl(kBaiduHost, address), baiduResultPage("约5", "www.net.com/"));
    }
    for (int site = 1; site <= 3; ++site)
        world.setPage(QStringLiteral("http://www.net%1.com/").arg(site), net);
}

class BaiduPoliteness : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        buildWorld(m_web.world());
    }

    [[nodiscard]] CheckSettings settings(int jobs) const
    {
        CheckSettings s;
        s.proxy = m_web.proxy();
        s.jobs = jobs;
        return s;
    }

    fakeweb::FakeWeb m_web;
};

TEST_F(BaiduPoliteness, QueriesStartTheIntervalApartAlsoAcrossTheChecksOfABatch)
{
    // The pace is decided on the pool's clock, which the test moves by hand: while it stands
    // still no query starts, at the interval the next one does (the exact boundary is QueryPacer's test).
    constexpr int kIntervalMs = 150;
    qint64 now = 1000;
    CheckSettings s = settings(8);
    s.baiduIntervalMs = kIntervalMs;
    // Two checks on one pool, as the sites of a batch run.
    auto pool = std::make_shared<WorkerPool>(s, [&now] { return now; });
    QueryPacer &pacer = pool->baiduPacer();
    CheckEngine first(s), second(s);
    QSignalSpy firstDone(&first, &CheckEngine::finished), secondDone(&second, &CheckEngine::finished);
    first.start(QStringLiteral("www.net1.com"), pool);
    second.start(QStringLiteral("www.net2.com"), pool);
    const auto bothDone = [&] { return !firstDone.isEmpty() && !secondDone.isEmpty(); };
    int started = 0;
    // Each time a query waits for its turn with none in flight, the clock moves on by the interval.
    while (waitUntil([&] { return bothDone() || (pacer.waiting() > 0 && !pacer.queryInFlight()); }) && !bothDone()) {
        ASSERT_EQ(m_web.hostRequests(kBaiduHost), ++started) << "a query started before its time";
        now += kIntervalMs;
        pacer.runDue();
    }
    ASSERT_TRUE(bothDone());
    // Both sites list the same friends, each twice: every address is asked once in the run.
    EXPECT_EQ(started, kNetFriends - 1);
    EXPECT_EQ(pool->baiduQueriesSent(), kNetFriends);
    EXPECT_EQ(m_web.hostRequests(kBaiduHost), kNetFriends);
    for (const CheckEngine *engine : {&first, &second})
        for (const RowFacts &facts : engine->facts())
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
    m_web.world().setHostAnswerFrom(kBaiduHost, 3, captchaRedirect());
    CheckSettings s = settings(row.jobs);
    s.baiduIntervalMs = row.intervalMs;
    auto pool = std::make_shared<WorkerPool>(s);
    std::vector<std::unique_ptr<CheckEngine>> engines;
    std::vector<std::unique_ptr<QSignalSpy>> done, blocked;
    for (int i = 0; i < row.sites; ++i) {
        engines.push_back(std::make_unique<CheckEngine>(s));
        done.push_back(std::make_unique<QSignalSpy>(engines.back().get(), &CheckEngine::finished));
        blocked.push_back(std::make_unique<QSignalSpy>(engines.back().get(), &CheckEngine::baiduBlocked));
        engines.back()->start(QStringLiteral("www.net%1.com").arg(i + 1), pool);
    }
    for (const auto &spy : done)
        ASSERT_TRUE(!spy->isEmpty() || spy->wait(kWaitMs));

    // A paced run or a single worker has one query on the wire at a time.
    const int onTheWire = row.intervalMs > 0 ? 0 : std::min(row.jobs, s.perHostLimit) - 1;
    EXPECT_LE(m_web.hostRequests(kBaiduHost), 3 + onTheWire) << m_web.requestLog().join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(m_web.hostRequests(kBaiduHost), 3);
    EXPECT_EQ(m_web.hostRequests(QStringLiteral("wappass.baidu.com")), 0);
    // Qt's own redirect handling now and then sends a query that was answered with a redirect a
    // second time; that repeat is the transport's, not another query of the check.
    QSet<QString> asked;
    for (const QString &url : m_web.requestLog())
        if (QUrl(url).host() == kBaiduHost)
            asked << url;
    EXPECT_EQ(asked.size(), m_web.hostRequests(kBaiduHost)) << "an address asked twice";
    int ok = 0;
    for (size_t i = 0; i < engines.size(); ++i) {
        const QList<RowFacts> facts = engines[i]->facts();
        ASSERT_EQ(facts.size(), 2 * kNetFriends);
        for (qsizetype r = 0; r < facts.size(); ++r) {
            ASSERT_TRUE(facts[r].baidu);
            const bool served = facts[r].baidu->state == BaiduState::Ok;
            ok += served;
            EXPECT_TRUE(served || facts[r].baidu->state == BaiduState::Blocked);
            EXPECT_EQ(facts[r].status, 200) << "the friends' pages are still read";
            EXPECT_EQ(engines[i]->rows()[r][Column::shoulu], served ? Cell{"约5篇"} : Cell()) << r;
            EXPECT_EQ(engines[i]->rows()[r][Column::rp].text.isEmpty(), !served) << r;
        }
        EXPECT_TRUE(engines[i]->isBaiduBlocked());
        EXPECT_EQ(blocked[i]->size(), 1) << "said once for each site";
    }
    EXPECT_GE(ok, 2 * 2) << "both rows of each answered friend are served";
}

TEST(QueryPacer, OneQueryAtATimeAndASkipKeepsThePace)
{
    QueryPacer unpaced(0);
    int runs = 0;
    unpaced.enqueue(nullptr, [&runs] { return ++runs > 0; });
    unpaced.enqueue(nullptr, [&runs] { return ++runs > 0; });
    EXPECT_EQ(runs, 2) << "without an interval nothing waits, not even for an answer";

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
    EXPECT_EQ(paced.waiting(), 1) << "the interval has not passed";
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
    EXPECT_EQ(paced.waiting(), 2);
    // a is cancelled with its query in flight: its answer never comes.
    paced.forget(&a);
    EXPECT_EQ(paced.waiting(), 1) << "only a's waiting query is dropped";
    EXPECT_TRUE(QTest::qWaitFor([&started] { return started.size() == 2; }, kWaitMs));
    EXPECT_EQ(started, (QStringList{"a1", "b1"}));
}

} // namespace
} // namespace friendlinks
