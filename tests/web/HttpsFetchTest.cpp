#include "web/PageFetcher.h"

#include "tests/common/FetchWait.h"
#include "tests/common/Table.h"

namespace friendlinks {
namespace {

using Kind = FetchResult::Kind;

// https through fakeweb's own TLS: straight to its TLS port by address (the certificate names 127.0.0.1, not
// localhost), or by host name through the proxy's CONNECT tunnel.
struct HttpsRow : Row {
    bool viaProxy;
    bool listedHost;     // a host the server certificate names
    bool trustAuthority; // the test authority passed as with --ca-file
    bool insecure;
    Kind kind;
    const char *text;
    bool tlsError;       // certificate trouble reported
};

const HttpsRow kHttps[] = {
    {"direct_trusted", false, true, true, false, Kind::Page, "straight to TLS", false},
    {"proxy_trusted", true, true, true, false, Kind::Page, "through the tunnel", false},
    {"direct_unknown_authority", false, true, false, false, Kind::EmptyBody, "无知错误", true},
    {"proxy_unknown_authority", true, true, false, false, Kind::EmptyBody, "无知错误", true},
    {"direct_unknown_authority_insecure", false, true, false, true, Kind::Page, "read anyway", true},
    {"proxy_unknown_authority_insecure", true, true, false, true, Kind::Page, "read anyway", true},
    {"direct_wrong_host", false, false, true, false, Kind::EmptyBody, "无知错误", true},
    {"proxy_wrong_host", true, false, true, false, Kind::EmptyBody, "无知错误", true},
    {"proxy_wrong_host_insecure", true, false, true, true, Kind::Page, "wrong host", true},
};

TABLE_TEST_F(FetchFixture, HttpsFetchTest, GivesTheKindTextAndCertificateTrouble, kHttps)
{
    const HttpsRow &c = GetParam();
    ASSERT_NE(m_web.tlsPort(), 0) << "no test certificate";
    const QString url = c.viaProxy ? QString(c.listedHost ? "https://www.secure.test/" : "https://www.unlisted.test/")
        : QStringLiteral("https://%1:%2/").arg(c.listedHost ? "127.0.0.1" : "localhost").arg(m_web.tlsPort());
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
    EXPECT_EQ(!result.tlsError.isEmpty(), c.tlsError) << result.tlsError.toStdString();
    EXPECT_EQ(result.status, c.kind == Kind::Page ? 200 : 0);
}

class HttpsThroughProxyTest : public FetchFixture {
protected:
    void SetUp() override
    {
        FetchFixture::SetUp();
        ASSERT_NE(m_web.tlsPort(), 0) << "no test certificate";
        m_fetcher.addAuthorities(fakeweb::FakeWeb::authority());
    }
};

TEST_F(HttpsThroughProxyTest, HttpRedirectToHttpsIsFollowed)
{
    m_web.world().set("http://www.secure.test/", answer(301, "", {}, {{"Location", "https://www.secure.test/"}}));
    m_web.world().setPage("https://www.secure.test/", "<p>安全的页面</p>");
    const FetchResult result = fetch(QStringLiteral("www.secure.test"));
    EXPECT_EQ(result.kind, Kind::Page);
    EXPECT_EQ(result.text, QStringLiteral("<p>安全的页面</p>"));
    EXPECT_EQ(result.finalUrl, QStringLiteral("https://www.secure.test/"));
    EXPECT_EQ(result.redirects, QList<QString>{QStringLiteral("https://www.secure.test/")});
    EXPECT_TRUE(result.tlsError.isEmpty());
    QStringList asked = m_web.requestLog();
    asked.removeDuplicates(); // Qt may send a redirected request twice on the wire
    EXPECT_EQ(asked, (QStringList{"http://www.secure.test/", "https://www.secure.test/"}));
}

TEST_F(HttpsThroughProxyTest, ExpiredCertificateFailsUnlessInsecure)
{
    const QString url = QStringLiteral("https://expired.secure.test/");
    m_web.world().setPage(url, "stale");
    const FetchResult refused = fetch(url);
    EXPECT_EQ(refused.kind, Kind::EmptyBody);
    EXPECT_TRUE(refused.tlsError.contains(QStringLiteral("expired"))) << refused.tlsError.toStdString();
    m_fetcher.setInsecure(true);
    const FetchResult read = fetch(url);
    EXPECT_EQ(read.text, QStringLiteral("stale"));
    EXPECT_TRUE(read.tlsError.contains(QStringLiteral("expired"))) << read.tlsError.toStdString();
}

TEST_F(HttpsThroughProxyTest, UntrustedCheckedSiteIsUnreachableAndSaysWhy)
{
    const QString site = QStringLiteral("https://www.unlisted.test/");
    m_web.world().setPage(site, "home");
    const FetchResult result = fetch(site, site);
    EXPECT_EQ(result.kind, Kind::SiteUnreachable);
    EXPECT_TRUE(result.text.isEmpty());
    EXPECT_FALSE(result.tlsError.isEmpty());
}

} // namespace
} // namespace friendlinks
