#include "web/PageFetcher.h"
#include "web/FetchFailure.h"

#include "web/BodyBudget.h"

#include "tests/common/FetchWait.h"
#include "tests/common/Table.h"

#include <QTcpServer>

namespace friendlinks {
namespace {

using fakeweb::Answer;
using Fault = Answer::Fault;
using Kind = FetchResult::Kind;

const QString kSite = QStringLiteral("www.checked.test");

using Failure = FetchResult::Failure;

struct OutcomeRow : Row {
    Answer answer;
    Kind kind;
    QString text;
    Failure failure; // why no page came, for the message that names it
};

const OutcomeRow kOutcomes[] = {
    {"utf8_page", answer(200, "<p>中文页面</p>"), Kind::Page, "<p>中文页面</p>", Failure::None},
    {"gb2312_page", answer(200, "<p>" + QByteArray::fromHex("D6D0CEC4D2B3C3E6") + "</p>"), Kind::Page, "<p>中文页面</p>",
     Failure::None},
    {"not_found_with_body", answer(404, "<h1>没有</h1>"), Kind::Page, "<h1>没有</h1>", Failure::None},
    {"not_found_empty_body", answer(404, ""), Kind::EmptyBody, QString(), Failure::EmptyAnswer},
    {"chunked", answer(200, "<a href=x>分块</a>", Fault::Chunked), Kind::Page, "<a href=x>分块</a>", Failure::None},
    {"drop", answer(200, "never sent", Fault::Drop), Kind::EmptyBody, QString(), Failure::ConnectionClosed},
    {"drop_mid_body", answer(200, "half of this body goes", Fault::DropMidBody), Kind::EmptyBody, QString(),
     Failure::ConnectionClosed},
};

// Each answer from a friend's site, then from the checked site itself, where a failure is no empty body but
// the site that cannot be reached.
TABLE_TEST_F(FetchFixture, FetchOutcomeTest, GivesTheResultKindAndText, kOutcomes)
{
    const OutcomeRow &c = GetParam();
    const QString host = QStringLiteral("www.%1.test").arg(QString::fromLatin1(c.name).replace('_', '-'));
    const QString url = QStringLiteral("http://%1/").arg(host);
    m_web.world().set(url, c.answer);
    const FetchResult result = fetch(url);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.text, c.text);
    EXPECT_EQ(result.failure, c.failure);
    EXPECT_TRUE(m_web.requestLog().contains(url));
    const FetchResult onSite = fetch(url, host);
    EXPECT_EQ(onSite.kind, c.failure == Failure::None ? c.kind : Kind::SiteUnreachable);
    EXPECT_EQ(onSite.text, c.failure == Failure::None ? c.text : QString());
    EXPECT_EQ(onSite.failure, c.failure);
}

using PageFetcherTest = FetchFixture;

// A bare host is fetched as http. (A redirect to https is followed in CheckCommandTest's modern check.)
TEST_F(PageFetcherTest, RedirectsAreFollowedAndTheTransportFactsNameTheLastAnswer)
{
    m_web.world().set("http://www.moved.test/", answer(302, "", Fault::None, {{"Location", "http://www.target.test/"}}));
    m_web.world().set("http://www.target.test/", answer(203, "arrived", Fault::None, {{"X-Robots-Tag", "nofollow"}}));
    const FetchResult result = fetch(QStringLiteral("www.moved.test"));
    EXPECT_EQ(result.text, QStringLiteral("arrived"));
    EXPECT_EQ(result.status, 203);
    EXPECT_EQ(result.finalUrl, QStringLiteral("http://www.target.test/"));
    EXPECT_EQ(result.redirects, QList<QString>{QStringLiteral("http://www.target.test/")});
    EXPECT_EQ(result.header("x-robots-tag"), QByteArray("nofollow"));
    // A loop Qt gives up on still names its target.
    m_web.world().set("http://www.loop.test/", answer(302, "moved", Fault::None, {{"Location", "http://www.loop.test/"}}));
    const FetchResult loop = fetch(QStringLiteral("http://www.loop.test/"));
    EXPECT_EQ(loop.failure, Failure::TooManyRedirects);
    const QList<QString> redirects = loop.redirects;
    ASSERT_FALSE(redirects.isEmpty());
    EXPECT_EQ(redirects.last(), QStringLiteral("http://www.loop.test/"));
}

// The options of a fetch: its own redirects, and a connection closed once the answer is in.
TEST_F(PageFetcherTest, OwnRedirectsSendOneRequestEachAndStopWhereRefused)
{
    m_web.world().set("http://www.hop.test/", answer(302, "", Fault::None, {{"Location", "http://www.moved.test/"}}));
    m_web.world().set("http://www.moved.test/", answer(302, "", Fault::None, {{"Location", "/check"}}));
    FetchOptions options;
    options.followRedirect = [](const QString &target) { return !target.endsWith(QLatin1String("/check")); };
    options.keepConnection = false;
    const FetchResult result = fetch(QStringLiteral("http://www.hop.test/"), kSite, nullptr, options);
    EXPECT_EQ(result.status, 302);
    EXPECT_EQ(result.redirects, (QList<QString>{"http://www.moved.test/", "http://www.moved.test/check"}));
    EXPECT_EQ(m_web.requestLog(), (QStringList{"http://www.hop.test/", "http://www.moved.test/"}))
        << "each hop once, the refused one never";
    EXPECT_TRUE(waitUntil([this] { return m_web.openConnections() == 0; })) << "a connection not kept is closed";
}

TEST(BodyBudget, TheFirstHolderAlwaysGoesOnTheOthersWaitForRoom)
{
    BodyBudget budget(10);
    const int first = 0, second = 0;
    EXPECT_EQ(budget.take(&first, 8), 8);
    EXPECT_EQ(budget.take(&second, 5), 2) << "what is left";
    EXPECT_EQ(budget.take(&second, 3), 0);
    EXPECT_EQ(budget.take(&first, 100), 100) << "the first holder is never stopped";
    bool woken = false;
    budget.waitFor(&second, [&woken] { woken = true; });
    budget.giveBack(&first);
    EXPECT_TRUE(woken);
    const int third = 0;
    EXPECT_EQ(budget.take(&third, 9), 8) << "what the second holds stays taken";
    EXPECT_EQ(budget.take(&second, 50), 50) << "now the first holder itself";
}

TEST(BodyBudget, AHeldPageKeepsItsBytesUntilReadAndPassesTheRightToGoOn)
{
    BodyBudget budget(10);
    const int first = 0, second = 0, small = 0;
    ASSERT_EQ(budget.take(&first, 8), 8);
    ASSERT_EQ(budget.take(&second, 2), 2);
    std::shared_ptr<const void> page = budget.hold(&first, 20); // counted as its text from now on
    ASSERT_TRUE(page);
    budget.giveBack(&first); // the fetch ends; its page waits to be read
    EXPECT_EQ(budget.take(&second, 5), 5) << "now first reading, it may go a page past the budget";
    const qint64 pastBudget = 10 + BodyBudget::kFirstOverBytes - (20 + 2 + 5); // budget and a page, less what is held
    EXPECT_EQ(budget.take(&second, BodyBudget::kFirstOverBytes), pastBudget)
        << "but no further: the held page must be read first";
    EXPECT_EQ(budget.take(&second, 1), 0);
    EXPECT_EQ(budget.take(&small, 4, true), 4) << "a small fetch never waits (a held page may wait for it)";
    bool woken = false;
    budget.waitFor(&second, [&woken] { woken = true; });
    page.reset();
    EXPECT_TRUE(woken) << "the page read gives its bytes back";
    EXPECT_GT(budget.take(&second, 1), 0);
    EXPECT_EQ(budget.takenInAll(), 8 + 2 + 5 + pastBudget + 4 + 1);
}

TEST(BodyBudget, AHoldMayOutliveItsBudget)
{
    std::shared_ptr<const void> page;
    {
        BodyBudget budget(10);
        const int holder = 0;
        EXPECT_FALSE(budget.hold(&holder)) << "nothing taken, nothing to hold";
        ASSERT_EQ(budget.take(&holder, 3), 3);
        page = budget.hold(&holder);
    }
    page.reset(); // gives back to no budget, and does not crash
}

TEST_F(PageFetcherTest, TimeLimitAndSizeCapEndTheRequest)
{
    m_fetcher.setTimeoutMs(200);
    m_web.world().setPage("http://www.slow.test/", "late", 1000);
    const FetchResult slow = fetch(QStringLiteral("http://www.slow.test/"));
    EXPECT_EQ(slow.kind, Kind::TooSlow);
    EXPECT_TRUE(slow.text.isEmpty()) << "a failure has no page text";
    EXPECT_EQ(slow.status, 0);
    EXPECT_EQ(slow.failure, Failure::TimedOut);
    EXPECT_GE(slow.elapsedMs, 200);
    EXPECT_TRUE(waitUntil([this] { return m_web.openConnections() == 0; })) << "the timed-out request was left open";
    const FetchResult slowSite = fetch(QStringLiteral("http://www.slow.test/"), QStringLiteral("www.slow.test"));
    EXPECT_EQ(slowSite.kind, Kind::SiteUnreachable);
    EXPECT_EQ(slowSite.failure, Failure::TimedOut);

    m_fetcher.setTimeoutMs(60000); // the cap must end this fetch, not the clock
    m_web.world().set("http://www.endless.test/", answer(200, "", Fault::Endless));
    const FetchResult endless = fetch(QStringLiteral("http://www.endless.test/"));
    EXPECT_EQ(endless.kind, Kind::Page);
    EXPECT_EQ(endless.text.size(), kMaxBodyBytes);
    EXPECT_EQ(endless.failure, Failure::TooLarge) << "a page all the same, said to be cut";
    EXPECT_TRUE(endless.text.startsWith(QStringLiteral("xxxx")));
    EXPECT_TRUE(waitUntil([this] { return m_web.openConnections() == 0; })) << "the endless transfer was not stopped";
}

TEST_F(PageFetcherTest, AHeaderThatNeverEndsIsStoppedAsTooSlowLongBeforeTheTimeLimit)
{
    m_fetcher.setTimeoutMs(10 * kWaitMs); // only the header watch can end these within the wait
    for (const Fault fault : {Fault::EndlessHeaderLine, Fault::EndlessHeaders}) {
        m_web.world().set("http://www.header.test/", answer(200, "", fault));
        const FetchResult flooded = fetch(QStringLiteral("http://www.header.test/"));
        EXPECT_EQ(flooded.kind, Kind::TooSlow);
        EXPECT_EQ(flooded.failure, Failure::TimedOut);
        EXPECT_EQ(flooded.status, 0) << "no answer came";
    }
    m_web.world().setPage("http://www.fine.test/", "<p>fine</p>");
    EXPECT_EQ(fetch(QStringLiteral("http://www.fine.test/")).text, QStringLiteral("<p>fine</p>")) << "the next fetch is not stopped";
}

TEST_F(PageFetcherTest, RefusedPortAndMalformedAddressesGiveAnEmptyBody)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
    probe.close(); // nobody listens there now
    PageFetcher direct;
    const FetchResult refusedResult = fetch(refused, kSite, &direct);
    EXPECT_TRUE(refusedResult.text.isEmpty());
    EXPECT_EQ(refusedResult.failure, Failure::ConnectionRefused);
    PageFetcher closedProxy;
    closedProxy.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), probe.serverPort()));
    EXPECT_EQ(fetch(QStringLiteral("http://www.a.test/"), kSite, &closedProxy).failure, Failure::ProxyUnreachable);
    for (const QString url : {"", "http://", "http://exa mple.test/", "http://[::1/"}) {
        const FetchResult result = fetch(url);
        EXPECT_EQ(result.kind, Kind::EmptyBody) << url.toStdString();
        EXPECT_TRUE(result.text.isEmpty()) << url.toStdString();
        EXPECT_EQ(result.failure, Failure::NotAnAddress) << url.toStdString();
    }
    EXPECT_TRUE(m_web.requestLog().isEmpty()) << m_web.requestLog().join(' ').toStdString();
}

// DefaultProxy (a check's default) is the environment's proxy, as curl uses it; no_proxy goes direct.
TEST_F(PageFetcherTest, EnvironmentProxyWhenNoneIsGiven)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows takes the system's proxy from its own settings, not from http_proxy";
#endif
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    PageFetcher system;
    system.setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    m_web.world().setPage("http://www.env.test/", "through the proxy of http_proxy");
    qputenv("http_proxy", m_web.proxyUrl().toUtf8());
    EXPECT_EQ(fetch(QStringLiteral("http://www.env.test/"), kSite, &system).text, "through the proxy of http_proxy");
    qputenv("no_proxy", "www.env.test");
    EXPECT_NE(fetch(QStringLiteral("http://www.env.test/"), kSite, &system).failure, Failure::None);
    qunsetenv("no_proxy");
    qputenv("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(closedPort).toUtf8());
    EXPECT_EQ(fetch(QStringLiteral("http://www.env.test/"), kSite, &system).failure, Failure::ProxyUnreachable);
    qunsetenv("http_proxy");
}

// A bare host is fetched as http (RedirectsAreFollowedAndTheTransportFactsNameTheLastAnswer fetches one).
TEST(PageFetcher, BareHostGetsHttpAndHttpsIsNeverFetchedAsHttpOfHttps)
{
    const std::pair<QString, QString> schemes[] = {
        {"www.a.com/path?q=1", "http://www.a.com/path?q=1"}, {"hTtP://www.a.com", "hTtP://www.a.com"},
        {"HttpS://www.a.com", "HttpS://www.a.com"}, {"http:/www.a.com", "http://http:/www.a.com"},
        {"ftp://www.a.com", "http://ftp://www.a.com"}, {"", "http://"}};
    for (const auto &[typed, fetched] : schemes)
        EXPECT_EQ(PageFetcher::withScheme(typed), fetched) << typed.toStdString();
}

TEST_F(PageFetcherTest, ManyRequestsInFlightAreIndependentAlsoThroughTlsTunnels)
{
    constexpr int kCount = 30;
    m_fetcher.setTimeoutMs(2000);
    m_fetcher.addAuthorities(fakeweb::FakeWeb::authority());
    std::vector<Pending> pending;
    for (int i = 0; i < kCount; ++i) {
        const QString url = QString(i % 3 == 1 ? "https://site%1.secure.test/" : "http://www.site%1.test/").arg(i);
        if (i % 10 == 9)
            m_web.world().set(url, answer(200, "", Fault::Stall));
        else // later requests answer sooner
            m_web.world().setPage(url, "page " + QByteArray::number(i), (kCount - i) * 3);
        pending.emplace_back(m_fetcher.GetHtmlCode(url, kSite));
    }
    for (int i = 0; i < kCount; ++i) {
        ASSERT_TRUE(pending[size_t(i)].wait()) << i;
        EXPECT_EQ(pending[size_t(i)].result->value().text, i % 10 == 9 ? QString() : QStringLiteral("page %1").arg(i)) << i;
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
    m_web.world().setPage("http://www.sentinel.test/", "sentinel", 300);
    EXPECT_EQ(fetch(QStringLiteral("http://www.sentinel.test/")).text, QStringLiteral("sentinel"));
    for (const Pending &p : aborted) {
        EXPECT_FALSE(p.result->has_value());
        EXPECT_TRUE(p.request.isNull()) << "an aborted request was not released";
    }
}


// https through fakeweb's own TLS: straight to its TLS port by address (the certificate names 127.0.0.1, not
// localhost), or by host name through the proxy's CONNECT tunnel ("expired." hosts meet an expired one).
struct HttpsRow : Row {
    bool viaProxy;
    const char *host;
    bool trustAuthority; // the test authority passed as with --ca-file
    bool insecure;
    Kind kind;
    const char *text;
    const char *tlsError; // a word of the certificate trouble reported; empty when none
};

const HttpsRow kHttps[] = {
    {"direct_trusted", false, "127.0.0.1", true, false, Kind::Page, "straight to TLS", ""},
    {"proxy_trusted", true, "www.secure.test", true, false, Kind::Page, "through the tunnel", ""},
    {"proxy_unknown_authority", true, "www.secure.test", false, false, Kind::EmptyBody, "", "issuer"},
    {"direct_wrong_host", false, "localhost", true, false, Kind::EmptyBody, "", "host name"},
    {"proxy_wrong_host_insecure", true, "www.unlisted.test", true, true, Kind::Page, "wrong host", "host name"},
    {"proxy_expired", true, "expired.secure.test", true, false, Kind::EmptyBody, "", "expired"},
    {"proxy_expired_insecure", true, "expired.secure.test", true, true, Kind::Page, "stale", "expired"},
};

TABLE_TEST_F(FetchFixture, HttpsFetchTest, GivesTheKindTextAndCertificateTrouble, kHttps)
{
    const HttpsRow &c = GetParam();
    ASSERT_NE(m_web.tlsPort(), 0) << "no test certificate";
    const QString url = c.viaProxy ? QStringLiteral("https://%1/").arg(c.host)
                                   : QStringLiteral("https://%1:%2/").arg(c.host).arg(m_web.tlsPort());
    m_web.world().setPage(url, c.kind == Kind::Page ? QByteArray(c.text) : "unseen page");
    PageFetcher fetcher;
    if (c.viaProxy)
        fetcher.setProxy(m_web.proxy());
    if (c.trustAuthority)
        fetcher.addAuthorities(fakeweb::FakeWeb::authority());
    fetcher.setInsecure(c.insecure);
    const FetchResult result = fetch(url, QStringLiteral("www.checked.test"), &fetcher);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.text, QString::fromUtf8(c.text));
    EXPECT_EQ(result.tlsError.isEmpty(), !*c.tlsError) << result.tlsError.toStdString();
    EXPECT_TRUE(result.tlsError.contains(QLatin1String(c.tlsError))) << result.tlsError.toStdString();
    EXPECT_EQ(result.status, c.kind == Kind::Page ? 200 : 0);
    EXPECT_EQ(result.failure, c.kind == Kind::Page ? Failure::None : Failure::Certificate);
}

TEST(FetchFailure, TransportErrorsByCause)
{
    EXPECT_EQ(failureOf(QNetworkReply::HostNotFoundError, false), Failure::HostNotFound);
    EXPECT_EQ(failureOf(QNetworkReply::HostNotFoundError, false, true), Failure::ProxyUnreachable);
    EXPECT_EQ(failureOf(QNetworkReply::ProxyNotFoundError, false), Failure::ProxyUnreachable);
    EXPECT_EQ(failureOf(QNetworkReply::SslHandshakeFailedError, true), Failure::Certificate);
    EXPECT_EQ(failureOf(QNetworkReply::UnknownNetworkError, false), Failure::Other);
}

} // namespace
} // namespace friendlinks
