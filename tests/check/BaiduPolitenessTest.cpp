// A Baidu that asks for a security check stops the check's Baidu queries;
// --baidu-interval-ms spaces them out.
#include "check/CheckEngine.h"
#include "check/QueryPacer.h"
#include "check/WorkerPool.h"

#include "probes/BaiduProbe.h"
#include "tests/common/RowPrinters.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

constexpr int kWaitMs = 20000;
constexpr int kFriends = 6;
const QString kBaiduHost = QStringLiteral("www.baidu.com");

QString friendAddress(int i)
{
    return QStringLiteral("http://www.friend%1.com/").arg(i);
}

// www.home9.com links to six friends; each links back and has a usual Baidu page.
void buildWorld(fakeweb::World &world)
{
    QByteArray home;
    for (int i = 0; i < kFriends; ++i) {
        home += QStringLiteral("<a href=\"%1\">友站%2</a>\n").arg(friendAddress(i)).arg(i).toUtf8();
        world.setPage(friendAddress(i), "<a href=\"http://www.home9.com/\">首页之家</a>");
        world.setPage(baiduQueryUrl(kBaiduHost, friendAddress(i)),
                      QStringLiteral("百度一下，找到相关网页约5篇，用时0.1秒<font color=#008000>www.friend%1.com/ "
                                     "3K 2026-1-2</font>")
                          .arg(i)
                          .toUtf8());
    }
    world.setPage("http://www.home9.com/", home);
}

// The distinct Baidu queries that reached fakeweb, in order. Qt's own redirect
// handling now and then sends a query that was answered with a redirect a
// second time; that repeat is the transport's, not another query of the check.
QStringList baiduQueries(const fakeweb::FakeWeb &web)
{
    QStringList queries;
    for (const QString &url : web.requestLog()) {
        if (QUrl(url).host() == kBaiduHost && !queries.contains(url))
            queries << url;
    }
    return queries;
}

// Baidu's answer once it has had enough: a redirect to its security check.
fakeweb::Answer captchaRedirect()
{
    fakeweb::Answer answer;
    answer.status = 302;
    answer.headers = {{"Location", "http://wappass.baidu.com/static/captcha/tuxing.html?ak=x&backurl=y"}};
    return answer;
}

class BaiduPoliteness : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        buildWorld(m_web.world());
    }

    // Runs one check to its end.
    void check(CheckEngine &engine)
    {
        QSignalSpy finished(&engine, &CheckEngine::finished);
        engine.start(QStringLiteral("www.home9.com"));
        ASSERT_TRUE(finished.wait(kWaitMs));
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

TEST_F(BaiduPoliteness, NoQueryAfterTheSecurityCheck)
{
    m_web.world().setHostAnswerFrom(kBaiduHost, 3, captchaRedirect());
    CheckEngine engine(settings(1));
    QSignalSpy blocked(&engine, &CheckEngine::baiduBlocked);
    check(engine);

    const QStringList firstThree = {baiduQueryUrl(kBaiduHost, friendAddress(0)),
                                    baiduQueryUrl(kBaiduHost, friendAddress(1)),
                                    baiduQueryUrl(kBaiduHost, friendAddress(2))};
    EXPECT_EQ(baiduQueries(m_web), firstThree);
    EXPECT_EQ(blocked.size(), 1);
    ASSERT_EQ(engine.facts().size(), kFriends);
    for (int i = 0; i < kFriends; ++i) {
        const RowFacts facts = engine.facts()[i];
        ASSERT_TRUE(facts.baidu) << i;
        EXPECT_EQ(facts.baidu->state, i < 2 ? BaiduState::Ok : BaiduState::Blocked) << i;
        EXPECT_EQ(facts.status, 200) << "the friends' pages are still read";
        if (i >= 2) {
            EXPECT_EQ(engine.rows()[i][Column::shoulu], Cell()) << i;
            EXPECT_EQ(engine.rows()[i][Column::rp], Cell()) << i;
        }
    }
}

TEST_F(BaiduPoliteness, ABlockWhileOthersWaitForTheirTurnSendsNoMore)
{
    // Several rows at once, each Baidu query in its turn: the queries still
    // waiting when the block comes are never sent.
    m_web.world().setHostAnswerFrom(kBaiduHost, 1, captchaRedirect());
    CheckSettings s = settings(8);
    s.baiduIntervalMs = 1000; // far longer than an answer takes
    CheckEngine engine(s);
    QSignalSpy blocked(&engine, &CheckEngine::baiduBlocked);
    check(engine);
    EXPECT_EQ(baiduQueries(m_web).size(), 1);
    EXPECT_EQ(blocked.size(), 1);
    for (const RowFacts &facts : engine.facts())
        EXPECT_EQ(facts.baidu->state, BaiduState::Blocked);
}

TEST_F(BaiduPoliteness, QueriesStartTheIntervalApartAlsoAcrossTheChecksOfABatch)
{
    constexpr int kIntervalMs = 150;
    constexpr int kSlackMs = 30; // a request may take a little longer to arrive than the next one
    QElapsedTimer clock;
    clock.start();
    QList<qint64> arrivals;
    QObject::connect(&m_web, &fakeweb::FakeWeb::requestReceived, [&](const QString &url) {
        if (url.contains(kBaiduHost))
            arrivals << clock.elapsed();
    });
    CheckSettings s = settings(8);
    s.baiduIntervalMs = kIntervalMs;
    // Two checks on one pool, as the sites of a batch run.
    auto pool = std::make_shared<WorkerPool>(s);
    CheckEngine first(s), second(s);
    QSignalSpy firstDone(&first, &CheckEngine::finished), secondDone(&second, &CheckEngine::finished);
    first.start(QStringLiteral("www.home9.com"), pool);
    second.start(QStringLiteral("www.home9.com"), pool);
    ASSERT_TRUE(firstDone.wait(kWaitMs));
    ASSERT_TRUE(!secondDone.isEmpty() || secondDone.wait(kWaitMs));

    ASSERT_EQ(arrivals.size(), 2 * kFriends);
    for (qsizetype i = 1; i < arrivals.size(); ++i)
        EXPECT_GE(arrivals[i] - arrivals[i - 1], kIntervalMs - kSlackMs) << i;
    for (const CheckEngine *engine : {&first, &second})
        for (const RowFacts &facts : engine->facts())
            EXPECT_EQ(facts.baidu->state, BaiduState::Ok);
}

TEST(QueryPacer, NoIntervalRunsAtOnce)
{
    QueryPacer now(0);
    int runs = 0;
    now.enqueue(nullptr, [&runs] { return ++runs > 0; });
    now.enqueue(nullptr, [&runs] { return ++runs > 0; });
    EXPECT_EQ(runs, 2) << "no answer awaited either";
}

TEST(QueryPacer, OneQueryAtATimeAndASkipKeepsThePace)
{
    QueryPacer paced(60 * 1000);
    QStringList started;
    paced.enqueue(nullptr, [&started] { started << "skipped"; return false; });
    paced.enqueue(nullptr, [&started] { started << "first"; return true; });
    paced.enqueue(nullptr, [&started] { started << "second"; return true; });
    EXPECT_EQ(started, (QStringList{"skipped", "first"}));
    paced.queryDone();
    EXPECT_EQ(paced.waiting(), 1) << "the interval has not passed";
    paced.releaseAll();
    EXPECT_EQ(started, (QStringList{"skipped", "first", "second"}));
    paced.enqueue(nullptr, [&started] { started << "third"; return true; });
    EXPECT_EQ(started.last(), "third") << "released: no pace any more";

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
