// The cheats a partner plays to keep a link back from passing weight, caught end to end against fakeweb:
// robots.txt, a page of its own for Baidu's spider, jump links. Honest rows stay as they were.
#include "check/CheatCells.h"
#include "check/CheckEngine.h"
#include "check/CheckRules.h"
#include "check/JsonFormat.h"
#include "check/RobotsProbe.h"
#include "tests/common/CheckRun.h"
#include "tests/common/FetchWait.h"
#include "tests/common/Table.h"

#include <QUrl>

#include <map>

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("www.me9.com");

QByteArray backLink(const QString &text = QStringLiteral("我的站"))
{
    return anchor(QStringLiteral("http://www.me9.com/"), text);
}

// Each friend plays one cheat, or none; fakeweb answers 404 for a robots.txt not set (no file: allow all).
void buildWorld(fakeweb::World &world)
{
    const QStringList friends = {"honest.com", "robots5xx.com", "robots.com", "robotsmoved.com", "cloak.com",
                                 "spideronly.com", "jumpquery.com", "jumpredirect.com", "honestjumps.com"};
    QByteArray home;
    for (const QString &host : friends)
        home += anchor("http://www." + host + "/", host);
    world.setPage("http://www.me9.com/", home);

    world.setPage("http://www.honest.com/", backLink());
    world.setPage("http://www.honest.com/robots.txt", "User-agent: *\nDisallow: /private/\n");

    world.setPage("http://www.robots5xx.com/", backLink());
    world.set("http://www.robots5xx.com/robots.txt", answer(503, "busy"));

    world.setPage("http://www.robots.com/", backLink());
    world.setPage("http://www.robots.com/robots.txt", "User-agent: *\nAllow: /\n\nUser-agent: Baiduspider\nDisallow: /\n");

    // Moved twice, across hosts, as crawlers follow it.
    world.setPage("http://www.robotsmoved.com/", backLink());
    world.set("http://www.robotsmoved.com/robots.txt", answer(301, "", {}, {{"Location", "http://cdn.robotsmoved.com/r"}}));
    world.set("http://cdn.robotsmoved.com/r", answer(302, "", {}, {{"Location", "/robots-live.txt"}}));
    world.setPage("http://cdn.robotsmoved.com/robots-live.txt", "User-agent: baiduspider\nDisallow: /\n");

    world.setPage("http://www.cloak.com/", backLink());
    world.setForAgent("http://www.cloak.com/", "Baiduspider", answer(200, "<p>nothing for spiders</p>"));

    world.setPage("http://www.spideronly.com/", "<p>no links for people</p>");
    world.setForAgent("http://www.spideronly.com/", "Baiduspider", answer(200, backLink()));

    world.setPage("http://www.jumpquery.com/", anchor("/go.php?url=http%3A%2F%2Fwww.me9.com%2F", "好站"));

    // Two anchors name us: the first answers 200, the second redirects to us.
    world.setPage("http://www.jumpredirect.com/",
                  anchor("/link/1", "www.me9.com 简介") + anchor("/link/7", "me9.com") + anchor("/link/9", "me9.com"));
    world.setPage("http://www.jumpredirect.com/link/1", "<p>about</p>");
    world.set("http://www.jumpredirect.com/link/7", answer(302, "", {}, {{"Location", "http://www.me9.com/"}}));

    // A link back straight to us, and a jump beside it: the straight one decides.
    world.setPage("http://www.honestjumps.com/", backLink() + anchor("/go?u=www.me9.com", "me9"));
}

struct Expected {
    Cell fanlian;
    std::optional<bool> robotsAllowed;
    std::optional<bool> spiderSees;
    QString via;
};

const std::map<QString, Expected> &expectedModern()
{
    const Cell honest{"我的站"};
    static const std::map<QString, Expected> rows = {
        {"http://www.honest.com/", {honest, true, true, {}}},
        {"http://www.robots5xx.com/", {honest, std::nullopt, true, {}}},
        {"http://www.robots.com/", {{kRobotsBlockedCell, true}, false, true, {}}},
        {"http://www.robotsmoved.com/", {{kRobotsBlockedCell, true}, false, true, {}}},
        {"http://www.cloak.com/", {{kSpiderHiddenCell, true}, true, false, {}}},
        {"http://www.spideronly.com/", {{kSpiderHiddenCell, true}, true, true, {}}},
        {"http://www.jumpquery.com/",
         {{kJumpLinkCell, true}, true, false, "http://www.jumpquery.com/go.php?url=http%3A%2F%2Fwww.me9.com%2F"}},
        {"http://www.jumpredirect.com/", {{kJumpLinkCell, true}, true, false, "http://www.jumpredirect.com/link/7"}},
        {"http://www.honestjumps.com/", {honest, true, true, {}}},
    };
    return rows;
}

class CheatsCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        buildWorld(m_web.world());
    }

    [[nodiscard]] CheckSettings settings(bool modern, bool spiderCheck = false) const
    {
        CheckSettings s;
        s.proxy = m_web.proxy();
        s.timeoutMs = 3000;
        s.modern = modern;
        s.spiderCheck = spiderCheck;
        return s;
    }

    // Requests per friend host (the robots.txt's redirect host counted with it), and the spider's among them.
    [[nodiscard]] std::map<QString, int> requestsByFriend() const
    {
        std::map<QString, int> counts;
        for (const QString &url : m_web.requestLog()) {
            QString host = QUrl(url).host();
            if (host == QLatin1String("cdn.robotsmoved.com"))
                host = QStringLiteral("www.robotsmoved.com");
            if (host != QLatin1String("www.me9.com") && host != QLatin1String("www.baidu.com"))
                ++counts[host];
        }
        return counts;
    }

    fakeweb::FakeWeb m_web;
};

TEST_F(CheatsCheckTest, ModernModeRedsExactlyTheCheatingRowsWithTheirReason)
{
    CheckEngine engine(settings(true));
    const std::optional<SiteResult> result = checkToEnd(engine, kSite);
    ASSERT_TRUE(result) << m_web.requestLog().join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(result->rows.size(), qsizetype(expectedModern().size()));
    for (const ResultRow &row : result->rows) {
        const QString link = row.cells[Column::lianjie].text;
        const auto expected = expectedModern().find(link);
        ASSERT_NE(expected, expectedModern().end()) << link.toStdString();
        const Expected &e = expected->second;
        EXPECT_EQ(row.cells[Column::fanlian], e.fanlian) << link.toStdString();
        ASSERT_TRUE(row.facts.robots) << link.toStdString();
        EXPECT_EQ(row.facts.robots->baiduspiderAllowed, e.robotsAllowed) << link.toStdString();
        ASSERT_TRUE(row.facts.spiderView) << link.toStdString();
        EXPECT_EQ(row.facts.spiderView->status, 200) << link.toStdString();
        EXPECT_EQ(row.facts.spiderView->backlink, e.spiderSees) << link.toStdString();
        EXPECT_EQ(row.facts.backlink ? row.facts.backlink->via : QString(), e.via) << link.toStdString();
        const bool cheat = e.fanlian.red;
        EXPECT_EQ(row.facts.backlinkVerdict == BackLinkVerdict::Linked, !cheat) << link.toStdString();
    }
    const ResultRow &robots = result->rows[2];
    EXPECT_EQ(robots.facts.robots->rule, "Disallow: /");
    const ResultRow &jump = result->rows[7];
    ASSERT_TRUE(jump.facts.backlink);
    EXPECT_EQ(jump.facts.backlink->url, "http://www.me9.com/") << "where the jump leads";
    EXPECT_EQ(jump.facts.backlink->href, "/link/7");

    // The page, the spider's page and robots.txt for every friend; a jump's own request only where one
    // was asked: jumpredirect asks two of its three anchors that name us and stops at the one that redirects.
    const std::map<QString, int> expectedRequests = {
        {"www.honest.com", 3},   {"www.robots5xx.com", 3},  {"www.robots.com", 3},
        {"www.robotsmoved.com", 5}, {"www.cloak.com", 3},   {"www.spideronly.com", 3},
        {"www.jumpquery.com", 3}, {"www.jumpredirect.com", 5}, {"www.honestjumps.com", 3},
    };
    EXPECT_EQ(requestsByFriend(), expectedRequests);
}

TEST_F(CheatsCheckTest, ClassicCellsStayAsTheyWereAndTheFactsComeBeside)
{
    for (const bool spiderCheck : {false, true}) {
        m_web.clearLog();
        CheckEngine engine(settings(false, spiderCheck));
        const std::optional<SiteResult> result = checkToEnd(engine, kSite);
        ASSERT_TRUE(result);
        ASSERT_EQ(result->rows.size(), qsizetype(expectedModern().size()));
        for (const ResultRow &row : result->rows) {
            const QString link = row.cells[Column::lianjie].text;
            const Expected &e = expectedModern().at(link);
            // Classic's rule: the first anchor whose markup holds our address, jump or not, and its text.
            const std::map<QString, Cell> classicCells = {
                {"http://www.spideronly.com/", {kNoLink, true}},
                {"http://www.jumpquery.com/", {"好站"}},
                {"http://www.jumpredirect.com/", {"www.me9."}},
            };
            const auto special = classicCells.find(link);
            EXPECT_EQ(row.cells[Column::fanlian], special == classicCells.end() ? Cell{"我的站"} : special->second)
                << link.toStdString();
            ASSERT_TRUE(row.facts.robots) << "robots.txt is a fact of both modes";
            EXPECT_EQ(row.facts.robots->baiduspiderAllowed, e.robotsAllowed) << link.toStdString();
            EXPECT_EQ(row.facts.spiderView.has_value(), spiderCheck) << link.toStdString();
            if (spiderCheck && link == "http://www.cloak.com/") {
                EXPECT_EQ(row.facts.spiderView->backlink, false) << "a fact in classic too";
            }
        }
        const std::map<QString, int> counts = requestsByFriend();
        EXPECT_EQ(counts.at("www.honest.com"), spiderCheck ? 3 : 2) << "the page, robots.txt, the spider's page";
        EXPECT_EQ(counts.at("www.jumpredirect.com"), spiderCheck ? 3 : 2) << "no jump requests in classic";
    }
}

TEST_F(CheatsCheckTest, TheRowsOfOneHostShareItsRobotsTxt)
{
    // Classic lists a friend linked twice as two rows, probed at once.
    m_web.world().setPage("http://www.two.com/",
                          anchor("http://www.shared.com/", "甲") + anchor("http://www.shared.com/", "乙"));
    m_web.world().setPage("http://www.shared.com/", anchor("http://www.two.com/", "回"));
    m_web.world().set("http://www.shared.com/robots.txt", answer(200, "User-agent: *\nDisallow: /\n", {}, {}, 200));
    CheckEngine engine(settings(false));
    const std::optional<SiteResult> result = checkToEnd(engine, "www.two.com");
    ASSERT_TRUE(result);
    ASSERT_EQ(result->rows.size(), 2);
    for (const ResultRow &row : result->rows) {
        ASSERT_TRUE(row.facts.robots);
        EXPECT_EQ(row.facts.robots->baiduspiderAllowed, false);
        EXPECT_EQ(row.facts.robots->rule, "Disallow: /");
        EXPECT_EQ(row.cells[Column::fanlian], Cell{"回"}) << "classic cells stay";
    }
    EXPECT_EQ(m_web.requestLog().count("http://www.shared.com/robots.txt"), 1);
}

struct RobotsAddressRow {
    const char *name;
    QString page;
    QString robots;
    QString path;
};

const RobotsAddressRow kRobotsAddresses[] = {
    {"bare_host", "www.a.com", "http://www.a.com/robots.txt", "/"},
    {"https_port_query", "https://A.com:8443/x/y.php?id=1#top", "https://a.com:8443/robots.txt", "/x/y.php?id=1"},
    {"user_info_dropped", "http://u:p@a.com/", "http://a.com/robots.txt", "/"},
};

TABLE_TEST(RobotsAddress, RobotsTxtIsOnThePagesSchemeHostAndPort, kRobotsAddresses)
{
    const RobotsAddressRow &row = GetParam();
    EXPECT_EQ(RobotsProbe::robotsAddress(row.page), row.robots);
    EXPECT_EQ(RobotsProbe::rulesPath(row.page), row.path);
}

} // namespace
} // namespace friendlinks
