// Hostile answers from friends' sites, and hostile site-box texts, through a
// whole check on the engine against an in-process fakeweb proxy. Every case
// ends in a defined outcome, and the same engine then runs a normal check.
#include "check/CheckEngine.h"
#include "check/CheckRules.h"
#include "probes/BackLinkProbe.h"
#include "tests/common/FetchWait.h"
#include "tests/common/RowPrinters.h"
#include "tests/common/Table.h"
#include "web/BodyDecoding.h"
#include "web/FetchResult.h"
#include "web/PageFetcher.h"

#include <QSignalSpy>

#include <memory>

namespace friendlinks {
namespace {

using Fault = fakeweb::Answer::Fault;

constexpr int kShortLimitMs = 1500; // stalls cost this much; a busy machine still answers the rest in time
const QString kSite = QStringLiteral("http://www.me.com");
const QByteArray kBackLink = "<a href=\"http://www.me.com/\">Me</a>";

const Cell kRedNoLink{kNoLink, true};
const Cell kRedTooSlow{kTooSlow, true};
const Cell kRedEmpty{kEmptyBody, true};
const Cell kFound{QStringLiteral("Me"), false};

// One friend of the checked site, http://www.NAME.com/, and the back-link
// cells its answer may give (a slow machine may meet the time limit first).
struct HostileFriend {
    const char *name;
    fakeweb::Answer answer;
    QList<Cell> outcomes;
};

QList<HostileFriend> hostileFriends()
{
    QByteArray capped = kBackLink + QByteArray(kMaxBodyBytes + 1024 * 1024, 'x');
    const QByteArray markThenGb("\xef\xbb\xbf<a href=\"http://www.me.com/\">\xce\xd2\xb5\xc4</a>");
    return {
        {"capped", answer(200, capped), {kFound, kRedTooSlow}}, // the cap keeps the anchor at the start
        {"endless", answer(200, {}, Fault::Endless), {kRedNoLink, kRedTooSlow}},
        {"stall", answer(200, kBackLink, Fault::Stall), {kRedTooSlow}},
        {"drop", answer(200, kBackLink, Fault::Drop), {kRedEmpty}},
        {"dropmid", answer(200, QByteArray(4096, ' ') + kBackLink, Fault::DropMidBody), {kRedEmpty, kRedNoLink}},
        {"loop", answer(301, "moved", {}, {{"Location", "http://www.loop.com/"}}), {kRedEmpty, kRedNoLink, kRedTooSlow}},
        {"refused", answer(301, "moved", {}, {{"Location", "http://127.0.0.1:1/"}}), {kRedEmpty, kRedNoLink}},
        {"nul", answer(200, QByteArray("\x00\x01\xff\xfe<<>\x00</a><a", 13) + kBackLink + QByteArray("\x00\x00\x7f\x80", 4)),
         {kFound}},
        {"invalid", answer(200, QByteArray("\xe4\xbd\xc0\x80\xed\xa0\x80\x81\x30\xff", 10) + kBackLink + "\x84\x31\xa5"),
         {kFound}},
        // The mark makes the page UTF-8: the GB2312 text "我的" turns into replacement characters.
        {"mark", answer(200, markThenGb), {fanlianCell(backLinkReport(DecodeBody(markThenGb), QStringLiteral("www.me.com")))}},
        {"error", answer(500, kBackLink), {kFound}},
    };
}

class HostileAnswersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        QByteArray home = "<html>";
        for (const HostileFriend &f : hostileFriends()) {
            const QString address = QStringLiteral("http://www.%1.com/").arg(QLatin1String(f.name));
            home += "<a href=\"" + address.toUtf8() + "\">" + f.name + "</a>\n";
            m_web.world().set(address, f.answer);
        }
        m_web.world().setPage(kSite + QLatin1Char('/'), home + "</html>");
        m_web.world().setPage(QStringLiteral("http://www.good.com/"), "<a href=\"http://www.pal.com/\">Pal</a>");
        m_web.world().setPage(QStringLiteral("http://www.pal.com/"), "<a href=\"http://www.good.com/\">Good</a>");
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

    fakeweb::FakeWeb m_web;
    std::unique_ptr<CheckEngine> m_engine;
    bool m_unreachable = false;
};

TEST_F(HostileAnswersTest, EveryHostileFriendGetsItsOwnDefinedCell)
{
    ASSERT_TRUE(runCheck(kSite));
    const QList<HostileFriend> friends = hostileFriends();
    ASSERT_EQ(m_engine->rows().size(), friends.size());
    for (qsizetype i = 0; i < friends.size(); ++i) {
        const Cell cell = m_engine->rows()[i][Column::fanlian];
        EXPECT_TRUE(friends[i].outcomes.contains(cell)) << friends[i].name << ": " << cell.text.toStdString();
    }
}

// Site-box texts that lead nowhere useful: each check ends (finished() once,
// no rows when unreachable) and leaves the engine usable.
struct SiteBoxRow : Row {
    QString site;
};

const SiteBoxRow kSiteBoxes[] = {
    {"empty", ""}, {"spaces", "     "}, {"long", QString(10000, QLatin1Char('w'))}, {"control", "www.me\x01\x07\t\r\n.com"},
    {"port", "www.me.com:8080"}, {"ipv6", "http://[::1]:1/"}, {"javascript", "javascript:alert(1)"},
    {"chinese", "中文网站.中国"}, {"capitals", "HTTP://WWW.ME.COM"},
};

TABLE_TEST_F(HostileAnswersTest, SiteBoxTest, CheckEndsWithADefinedOutcome, kSiteBoxes)
{
    ASSERT_TRUE(runCheck(GetParam().site));
    for (const CheckRow &row : m_engine->rows())
        EXPECT_FALSE(row[Column::lianjie].text.isEmpty());
}

} // namespace
} // namespace friendlinks
