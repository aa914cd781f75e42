// Hostile answers from a friend's site, and hostile site-box texts, through a
// whole check on the engine against an in-process fakeweb proxy. Every case
// ends in a defined outcome, and the same engine then runs a normal check.
#include "check/CheckEngine.h"
#include "check/CheckRules.h"
#include "tools/fakeweb/FakeWeb.h"
#include "web/BodyDecoding.h"
#include "web/FetchResult.h"
#include "web/PageFetcher.h"
#include "probes/BackLinkProbe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace friendlinks {
namespace {

constexpr int kShortLimitMs = 400;   // stalls cost this much, so keep it short
constexpr int kWaitMs = 15000;       // bound of every wait (sanitized builds are slow)
const QString kSite = QStringLiteral("http://www.me.com");
const QString kFriend = QStringLiteral("http://www.friend.com/");
const QByteArray kBackLink = "<a href=\"http://www.me.com/\">Me</a>";

class HostileAnswersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        m_web.world().setPage(kSite + QLatin1Char('/'),
                              "<html><a href=\"http://www.friend.com/\">Friend</a></html>");
        m_web.world().setPage(QStringLiteral("http://www.good.com/"),
                              "<a href=\"http://www.pal.com/\">Pal</a>");
        m_web.world().setPage(QStringLiteral("http://www.pal.com/"),
                              "<a href=\"http://www.good.com/\">Good</a>");
        CheckSettings settings;
        settings.proxy = m_web.proxy();
        settings.timeoutMs = kShortLimitMs;
        m_engine = std::make_unique<CheckEngine>(settings);
    }

    void TearDown() override
    {
        // The engine is still usable: a normal check runs to its end with its result.
        ASSERT_TRUE(runCheck(QStringLiteral("http://www.good.com")));
        ASSERT_EQ(m_engine->rows().size(), 1);
        EXPECT_EQ(m_engine->rows()[0][Column::fanlian], (Cell{QStringLiteral("Good"), false}));
    }

    // Runs a check to its end; false when finished() did not come in time.
    [[nodiscard]] bool runCheck(const QString &site)
    {
        QSignalSpy finished(m_engine.get(), &CheckEngine::finished);
        QSignalSpy unreachable(m_engine.get(), &CheckEngine::siteUnreachable);
        QSignalSpy rowsAdded(m_engine.get(), &CheckEngine::rowAdded);
        m_engine->start(site);
        if (finished.isEmpty() && !finished.wait(kWaitMs))
            return false;
        m_unreachable = !unreachable.isEmpty();
        EXPECT_EQ(finished.size(), 1);
        EXPECT_EQ(rowsAdded.size(), m_engine->rows().size());
        if (m_unreachable) {
            EXPECT_TRUE(m_engine->rows().isEmpty());
        }
        EXPECT_FALSE(m_engine->isRunning());
        return true;
    }

    // Checks kSite with the friend answering `answer`; the friend's back-link cell.
    [[nodiscard]] Cell friendCell(const fakeweb::Answer &answer)
    {
        m_web.world().set(kFriend, answer);
        EXPECT_TRUE(runCheck(kSite));
        EXPECT_FALSE(m_unreachable);
        if (m_engine->rows().size() != 1)
            return {QStringLiteral("no row"), false};
        EXPECT_EQ(m_engine->rows()[0][Column::lianjie].text, kFriend);
        return m_engine->rows()[0][Column::fanlian];
    }

    static fakeweb::Answer answer(const QByteArray &body, fakeweb::Answer::Fault fault = {}, int status = 200)
    {
        fakeweb::Answer a;
        a.status = status;
        a.body = body;
        a.fault = fault;
        return a;
    }

    fakeweb::FakeWeb m_web;
    std::unique_ptr<CheckEngine> m_engine;
    bool m_unreachable = false;
};

using Fault = fakeweb::Answer::Fault;
const Cell kRedNoLink{kNoLink, true};
const Cell kRedTooSlow{kTooSlow, true};
const Cell kRedEmpty{kEmptyBody, true};
const Cell kFound{QStringLiteral("Me"), false};

TEST_F(HostileAnswersTest, AnswerOver16MiBIsCappedAndStillRead)
{
    QByteArray body = kBackLink;
    body.append(QByteArray(kMaxBodyBytes + 1024 * 1024, 'x'));
    // The cap leaves the anchor at the start; a slow machine may hit the limit first.
    const Cell cell = friendCell(answer(body));
    EXPECT_TRUE(cell == kFound || cell == kRedTooSlow) << cell.text.toStdString();
}

TEST_F(HostileAnswersTest, EndlessStreamEndsAtTheCapOrTheLimit)
{
    const Cell cell = friendCell(answer({}, Fault::Endless));
    EXPECT_TRUE(cell == kRedNoLink || cell == kRedTooSlow) << cell.text.toStdString();
}

TEST_F(HostileAnswersTest, StallPastTheLimitIsTooSlow)
{
    EXPECT_EQ(friendCell(answer(kBackLink, Fault::Stall)), kRedTooSlow);
}

TEST_F(HostileAnswersTest, DropBeforeTheAnswerIsEmpty)
{
    EXPECT_EQ(friendCell(answer(kBackLink, Fault::Drop)), kRedEmpty);
}

TEST_F(HostileAnswersTest, DropMidBodyLosesTheSecondHalf)
{
    // The back link sits in the half that never comes.
    QByteArray body(4096, ' ');
    body.append(kBackLink);
    const Cell cell = friendCell(answer(body, Fault::DropMidBody));
    EXPECT_TRUE(cell == kRedEmpty || cell == kRedNoLink) << cell.text.toStdString();
}

TEST_F(HostileAnswersTest, RedirectLoopEnds)
{
    fakeweb::Answer loop = answer("moved", Fault::None, 301);
    loop.headers.append(qMakePair(QByteArray("Location"), kFriend.toUtf8()));
    const Cell cell = friendCell(loop);
    EXPECT_TRUE(cell == kRedEmpty || cell == kRedNoLink) << cell.text.toStdString();
}

TEST_F(HostileAnswersTest, RedirectToARefusedPortEnds)
{
    fakeweb::Answer away = answer("moved", Fault::None, 301);
    away.headers.append(qMakePair(QByteArray("Location"), QByteArray("http://127.0.0.1:1/")));
    const Cell cell = friendCell(away);
    EXPECT_TRUE(cell == kRedEmpty || cell == kRedNoLink) << cell.text.toStdString();
}

TEST_F(HostileAnswersTest, GarbageAndNulBytesAroundTheBackLink)
{
    QByteArray body("\x00\x01\xff\xfe<<>\x00</a><a", 13);
    body.append(kBackLink).append(QByteArray("\x00\x00\x7f\x80", 4));
    EXPECT_EQ(friendCell(answer(body)), kFound);
}

TEST_F(HostileAnswersTest, InvalidUtf8AndGb18030Bytes)
{
    QByteArray body("\xe4\xbd\xc0\x80\xed\xa0\x80\x81\x30\xff", 10);
    body.append(kBackLink).append("\x84\x31\xa5");
    EXPECT_EQ(friendCell(answer(body)), kFound);
}

TEST_F(HostileAnswersTest, Utf8MarkBeforeGb2312Bytes)
{
    // The mark makes the page UTF-8; the GB2312 text "我的" turns into replacement characters.
    const QByteArray body = QByteArray("\xef\xbb\xbf<a href=\"http://www.me.com/\">\xce\xd2\xb5\xc4</a>");
    const Cell cell = friendCell(answer(body));
    EXPECT_FALSE(cell.red);
    EXPECT_EQ(cell, fanlianCell(backLinkReport(DecodeBody(body), QStringLiteral("www.me.com"))));
    EXPECT_TRUE(cell.text.contains(QChar(QChar::ReplacementCharacter))) << cell.text.toStdString();
}

TEST_F(HostileAnswersTest, ServerErrorBodyIsStillRead)
{
    EXPECT_EQ(friendCell(answer(kBackLink, Fault::None, 500)), kFound);
}

TEST_F(HostileAnswersTest, StalledCheckedSiteIsUnreachable)
{
    m_web.world().set(kSite + QLatin1Char('/'), answer({}, Fault::Stall));
    ASSERT_TRUE(runCheck(kSite));
    EXPECT_TRUE(m_unreachable);
}

TEST_F(HostileAnswersTest, EmptySiteBoxIsUnreachableWithNoRows)
{
    ASSERT_TRUE(runCheck(QString()));
    EXPECT_TRUE(m_unreachable);
    EXPECT_TRUE(m_engine->rows().isEmpty());
}

TEST_F(HostileAnswersTest, CapitalsReachTheSameSite)
{
    ASSERT_TRUE(runCheck(QStringLiteral("HTTP://WWW.ME.COM")));
    EXPECT_FALSE(m_unreachable);
    ASSERT_EQ(m_engine->rows().size(), 1);
    EXPECT_EQ(m_engine->rows()[0][Column::lianjie].text, kFriend);
}

// Site-box texts that lead nowhere useful: each check ends (finished() once,
// no rows when unreachable) and leaves the engine usable.
struct SiteBoxCase {
    const char *name;
    QString site;
};

// Cases read by their names in test lists and failure messages.
void PrintTo(const SiteBoxCase &c, std::ostream *os)
{
    *os << c.name;
}

class SiteBoxTest : public HostileAnswersTest, public ::testing::WithParamInterface<SiteBoxCase> {};

TEST_P(SiteBoxTest, CheckEndsWithADefinedOutcome)
{
    ASSERT_TRUE(runCheck(GetParam().site)) << GetParam().name;
    for (const CheckRow &row : m_engine->rows())
        EXPECT_FALSE(row[Column::lianjie].text.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, SiteBoxTest,
    ::testing::Values(SiteBoxCase{"spaces", QStringLiteral("     ")},
                      SiteBoxCase{"long", QString(10000, QLatin1Char('w'))},
                      SiteBoxCase{"control", QStringLiteral("www.me\x01\x07\t\r\n.com")},
                      SiteBoxCase{"port", QStringLiteral("www.me.com:8080")},
                      SiteBoxCase{"ipv6", QStringLiteral("http://[::1]:1/")},
                      SiteBoxCase{"javascript", QStringLiteral("javascript:alert(1)")},
                      SiteBoxCase{"chinese", QStringLiteral("中文网站.中国")},
                      SiteBoxCase{"capitals", QStringLiteral("WWW.ME.COM")}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace friendlinks
