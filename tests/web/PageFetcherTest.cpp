#include "web/PageFetcher.h"

#include "tools/fakeweb/FakeWeb.h"
#include "tests/common/FetchWait.h"
#include "tests/common/QtPrinters.h"

#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace friendlinks {
namespace {

using fakeweb::Answer;
using Kind = FetchResult::Kind;

const QString kSite = QStringLiteral("www.checked.test");

Answer answer(int status, QByteArray body, Answer::Fault fault = Answer::Fault::None, int delayMs = 0)
{
    Answer a;
    a.status = status;
    a.body = std::move(body);
    a.fault = fault;
    a.delayMs = delayMs;
    return a;
}

class PageFetcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        m_fetcher.setProxy(m_web.proxy());
    }

    FetchResult fetch(const QString &url, const QString &site = kSite)
    {
        Pending pending(m_fetcher.GetHtmlCode(url, site));
        EXPECT_TRUE(pending.wait()) << url.toStdString();
        return pending.result->value_or(FetchResult{}); // an empty text fails every test here
    }

    [[nodiscard]] bool connectionsClosed()
    {
        return waitUntil([this] { return m_web.openConnections() == 0; });
    }

    fakeweb::FakeWeb m_web;
    PageFetcher m_fetcher;
};

struct OutcomeCase {
    const char *name;
    Answer answer;
    Kind kind;
    QString text;
};

void PrintTo(const OutcomeCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class FetchOutcomeTest : public PageFetcherTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(FetchOutcomeTest, GivesTheResultKindAndText)
{
    const OutcomeCase &c = GetParam();
    const QString url = QStringLiteral("http://www.%1.test/").arg(QLatin1String(c.name).toString().replace('_', '-'));
    m_web.world().set(url, c.answer);
    const FetchResult result = fetch(url);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.text, c.text);
    EXPECT_TRUE(m_web.requestLog().contains(url));
}

const QByteArray kGbPage = QByteArray("<p>") + QByteArray::fromHex("D6D0CEC4D2B3C3E6") + "</p>"; // 中文页面

const OutcomeCase kOutcomes[] = {
    {"utf8_page", answer(200, "<p>中文页面</p>"), Kind::Page, QStringLiteral("<p>中文页面</p>")},
    {"gb2312_page", answer(200, kGbPage), Kind::Page, QStringLiteral("<p>中文页面</p>")},
    {"not_found_with_body", answer(404, "<h1>没有</h1>"), Kind::Page, QStringLiteral("<h1>没有</h1>")},
    {"server_error_with_body", answer(500, "oops"), Kind::Page, QStringLiteral("oops")},
    {"empty_body", answer(200, ""), Kind::EmptyBody, kEmptyBody},
    {"not_found_empty_body", answer(404, ""), Kind::EmptyBody, kEmptyBody},
    {"chunked", answer(200, "<a href=x>分块</a>", Answer::Fault::Chunked), Kind::Page,
     QStringLiteral("<a href=x>分块</a>")},
    {"drop", answer(200, "never sent", Answer::Fault::Drop), Kind::EmptyBody, kEmptyBody},
    {"drop_mid_body", answer(200, "half of this body goes", Answer::Fault::DropMidBody),
     Kind::EmptyBody, kEmptyBody},
};

INSTANTIATE_TEST_SUITE_P(Answers, FetchOutcomeTest, ::testing::ValuesIn(kOutcomes),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PageFetcherTest, RedirectsAreFollowedAndTheTransportFactsNameTheLastAnswer)
{
    Answer moved = answer(302, "");
    moved.headers = {{"Location", "http://www.target.test/"}};
    m_web.world().set(QStringLiteral("http://www.moved.test/"), moved);
    Answer target = answer(203, "arrived");
    target.headers = {{"X-Robots-Tag", "nofollow"}};
    m_web.world().set(QStringLiteral("http://www.target.test/"), target);
    const FetchResult result = fetch(QStringLiteral("http://www.moved.test/"));
    EXPECT_EQ(result.text, QStringLiteral("arrived"));
    EXPECT_EQ(result.status, 203);
    EXPECT_EQ(result.finalUrl, QStringLiteral("http://www.target.test/"));
    EXPECT_EQ(result.redirects, QList<QString>{QStringLiteral("http://www.target.test/")});
    EXPECT_EQ(result.header("x-robots-tag"), QByteArray("nofollow"));

    // A loop Qt gives up on still names its target.
    Answer loop = answer(302, "moved");
    loop.headers = {{"Location", "http://www.loop.test/"}};
    m_web.world().set(QStringLiteral("http://www.loop.test/"), loop);
    const QList<QString> redirects = fetch(QStringLiteral("http://www.loop.test/")).redirects;
    ASSERT_FALSE(redirects.isEmpty());
    EXPECT_EQ(redirects.last(), QStringLiteral("http://www.loop.test/"));
}

TEST_F(PageFetcherTest, TimeOutAtTheLimitAbortsTheRequest)
{
    m_fetcher.setTimeoutMs(200);
    m_web.world().setPage(QStringLiteral("http://www.slow.test/"), "late", 1000);
    const FetchResult result = fetch(QStringLiteral("http://www.slow.test/"));
    EXPECT_EQ(result.kind, Kind::TooSlow);
    EXPECT_EQ(result.text, kTooSlow);
    EXPECT_EQ(result.status, 0);
    EXPECT_GE(result.elapsedMs, 200);
    EXPECT_TRUE(connectionsClosed()) << "the timed-out request was left open";
}

TEST_F(PageFetcherTest, RefusedPortGivesEmptyBodyMarker)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close(); // nobody listens there now
    PageFetcher direct;
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port);
    Pending pending(direct.GetHtmlCode(url, kSite));
    ASSERT_TRUE(pending.wait());
    EXPECT_EQ(pending.result->value().kind, Kind::EmptyBody);
    EXPECT_EQ(pending.result->value().text, kEmptyBody);
}

TEST_F(PageFetcherTest, EndlessAnswerIsCappedAndStopped)
{
    m_fetcher.setTimeoutMs(60000); // the cap must end this fetch, not the clock
    m_web.world().set(QStringLiteral("http://www.endless.test/"), answer(200, "", Answer::Fault::Endless));
    const FetchResult result = fetch(QStringLiteral("http://www.endless.test/"));
    EXPECT_EQ(result.kind, Kind::Page);
    EXPECT_EQ(result.text.size(), kMaxBodyBytes);
    EXPECT_TRUE(result.text.startsWith(QStringLiteral("xxxx")));
    EXPECT_TRUE(connectionsClosed()) << "the endless transfer was not stopped";
}

TEST_F(PageFetcherTest, MalformedAddressGivesEmptyBodyMarkerWithoutRequest)
{
    for (const QString &url : {QString(), QStringLiteral("http://"), QStringLiteral("http://exa mple.test/"),
                              QStringLiteral("http://[::1/")}) {
        const FetchResult result = fetch(url);
        EXPECT_EQ(result.kind, Kind::EmptyBody) << url.toStdString();
        EXPECT_EQ(result.text, kEmptyBody) << url.toStdString();
    }
    EXPECT_TRUE(m_web.requestLog().isEmpty()) << m_web.requestLog().join(' ').toStdString();
}

TEST_F(PageFetcherTest, FailuresOnTheCheckedSiteAreSiteUnreachable)
{
    m_web.world().setPage(QStringLiteral("http://www.checked.test/empty"), "");
    m_web.world().setPage(QStringLiteral("http://www.checked.test/slow"), "late", 1000);
    m_web.world().set(QStringLiteral("http://www.checked.test/drop"), answer(200, "", Answer::Fault::Drop));
    m_web.world().setPage(QStringLiteral("http://www.checked.test/"), "home");
    for (const char *path : {"/empty", "/slow", "/drop"}) {
        m_fetcher.setTimeoutMs(QByteArray(path) == "/slow" ? 200 : kDefaultTimeoutMs);
        const FetchResult result = fetch(kSite + QLatin1String(path));
        EXPECT_EQ(result.kind, Kind::SiteUnreachable) << path;
        EXPECT_TRUE(result.text.isEmpty()) << path;
    }
    EXPECT_EQ(fetch(kSite + QLatin1Char('/')).text, QStringLiteral("home")); // a page stays a page
    // The same empty answer on an address without the checked site is the marker.
    EXPECT_EQ(fetch(QStringLiteral("http://www.checked.test/empty"), QStringLiteral("www.other.test")).text,
              kEmptyBody);
}

TEST(WithScheme, KeepsHttpAndHttpsPrefixesInAnyCaseAndPutsHttpBeforeAnythingElse)
{
    const std::pair<QString, QString> cases[] = {
        {"www.a.com/path?q=1", "http://www.a.com/path?q=1"}, {"http://www.a.com", "http://www.a.com"},
        {"hTtP://www.a.com", "hTtP://www.a.com"},            {"HttpS://www.a.com", "HttpS://www.a.com"},
        {"http:/www.a.com", "http://http:/www.a.com"},       {"ftp://www.a.com", "http://ftp://www.a.com"},
        {"", "http://"},
    };
    for (const auto &[typed, fetched] : cases)
        EXPECT_EQ(PageFetcher::withScheme(typed), fetched) << typed.toStdString();
}

TEST_F(PageFetcherTest, BareHostGetsHttpAndHttpsIsNeverFetchedAsHttpOfHttps)
{
    m_web.world().setPage(QStringLiteral("http://www.bare.test/"), "bare");
    EXPECT_EQ(fetch(QStringLiteral("www.bare.test/")).text, QStringLiteral("bare"));
    m_web.world().setPage(QStringLiteral("http://https://www.secure.test/"), "wrong address");
    m_web.world().setPage(QStringLiteral("https://www.secure.test/"), "secure");
    m_fetcher.addAuthorities(fakeweb::FakeWeb::authority());
    EXPECT_EQ(fetch(QStringLiteral("HTTPS://www.secure.test/"), QStringLiteral("www.other.test")).text, "secure");
    const QStringList log = m_web.requestLog();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0], "http://www.bare.test/");
    EXPECT_TRUE(log[1].startsWith("https://www.secure.test")) << log[1].toStdString();
}

TEST_F(PageFetcherTest, ManyRequestsInFlightAreIndependent)
{
    constexpr int kCount = 30;
    m_fetcher.setTimeoutMs(2000);
    std::vector<Pending> pending;
    for (int i = 0; i < kCount; ++i) {
        const QString url = QStringLiteral("http://www.site%1.test/").arg(i);
        if (i % 10 == 9)
            m_web.world().set(url, answer(200, "", Answer::Fault::Stall));
        else // later requests answer sooner
            m_web.world().setPage(url, "page " + QByteArray::number(i), (kCount - i) * 3);
        pending.emplace_back(m_fetcher.GetHtmlCode(url, kSite));
    }
    for (int i = 0; i < kCount; ++i) {
        ASSERT_TRUE(pending[size_t(i)].wait()) << i;
        const FetchResult &result = pending[size_t(i)].result->value();
        EXPECT_EQ(result.text, i % 10 == 9 ? kTooSlow : QStringLiteral("page %1").arg(i)) << i;
    }
}

TEST_F(PageFetcherTest, AbortedRequestsStaySilent)
{
    std::vector<Pending> aborted;
    for (int i = 0; i < 5; ++i) {
        const QString url = QStringLiteral("http://www.gone%1.test/").arg(i);
        m_web.world().setPage(url, "too late", 100);
        aborted.emplace_back(m_fetcher.GetHtmlCode(url, kSite));
    }
    aborted.front().request->abort();
    m_fetcher.abortAll();
    // A later answer than any aborted one: once it is here, theirs would have come too.
    m_web.world().setPage(QStringLiteral("http://www.sentinel.test/"), "sentinel", 300);
    EXPECT_EQ(fetch(QStringLiteral("http://www.sentinel.test/")).text, QStringLiteral("sentinel"));
    for (const Pending &p : aborted) {
        EXPECT_FALSE(p.result->has_value());
        EXPECT_TRUE(p.request.isNull()) << "an aborted request was not released";
    }
}

} // namespace
} // namespace friendlinks
