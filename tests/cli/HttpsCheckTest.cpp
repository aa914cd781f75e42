// The command line on today's web: https sites through fakeweb's TLS, the
// certificate options, and the modern mode.
#include "cli/CheckCommand.h"

#include "tests/common/QtPrinters.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

using Action = ParsedArguments::Action;

TEST(ParseTlsArguments, CaFileAndInsecureInTheCheckAndTheWindow)
{
    const QString ca = fakeweb::FakeWeb::authorityFile();
    for (const QStringList &arguments : {QStringList{"check", "a.com", "--ca-file", ca, "--insecure"},
                                         QStringList{"--insecure", "--ca-file=" + ca}}) {
        const ParsedArguments parsed = parseArguments(arguments);
        ASSERT_NE(parsed.action, Action::UsageError) << parsed.error.toStdString();
        EXPECT_EQ(parsed.options.settings.authorities, fakeweb::FakeWeb::authority());
        EXPECT_TRUE(parsed.options.settings.insecure);
    }
    const ParsedArguments plain = parseArguments({"check", "a.com"});
    EXPECT_TRUE(plain.options.settings.authorities.isEmpty());
    EXPECT_FALSE(plain.options.settings.insecure);
}

TEST(ParseTlsArguments, CaFileThatHoldsNoCertificateIsAUsageError)
{
    QTemporaryFile notPem;
    ASSERT_TRUE(notPem.open());
    notPem.write("not a certificate\n");
    notPem.flush();
    const ParsedArguments garbage = parseArguments({"check", "a.com", "--ca-file", notPem.fileName()});
    EXPECT_EQ(garbage.action, Action::UsageError);
    EXPECT_TRUE(garbage.error.contains("holds no PEM certificate")) << garbage.error.toStdString();
    const ParsedArguments missing = parseArguments({"--ca-file", "/nonexistent/ca.pem"});
    EXPECT_EQ(missing.action, Action::UsageError);
    EXPECT_TRUE(missing.error.contains("cannot read")) << missing.error.toStdString();
    EXPECT_EQ(parseArguments({"check", "a.com", "--insecure=yes"}).action, Action::UsageError);
}

// A world of https sites: the checked site links to two friends over https
// and one over http; Baidu answers with today's result pages.
class HttpsCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        ASSERT_NE(m_web.tlsPort(), 0);
        fakeweb::Answer moved;
        moved.status = 301;
        moved.headers = {{"Location", "https://www.mysite.com/"}};
        m_web.world().set("http://www.mysite.com/", moved);
        m_web.world().setPage("https://www.mysite.com/",
                              "<a href=\"https://www.friend-a.com/\">朋友甲</a>\n"
                              "<a href=\"http://www.friend-b.net/\">朋友乙</a>\n"
                              "<a href=\"https://friend-c.org/\"><img src=\"/c.png\"></a>\n"
                              "<a href=\"https://www.mysite.com/about/\">关于</a>\n"
                              "<a href=\"https://www.friend-d.cn/news/1.html\">内页</a>\n");
        m_web.world().setPage("https://www.friend-a.com/", "<a href=\"https://mysite.com/\">我的站</a>");
        m_web.world().setPage("http://www.friend-b.net/", "<a href=\"http://www.mysite.com\">我的站</a>");
        m_web.world().setPage("https://friend-c.org/", "<a href=\"https://WWW.MYSITE.COM/\"><img src=x></a>");
    }

    int run(const QString &site, OutputFormat format, const std::function<void(CheckSettings &)> &adjust = {})
    {
        CheckOptions options;
        options.site = site;
        options.format = format;
        options.settings.proxy = m_web.proxy();
        options.settings.baiduHost = QStringLiteral("www.baidu.test");
        options.settings.timeoutMs = 3000;
        if (adjust)
            adjust(options.settings);
        m_out.setData({});
        m_err.setData({});
        m_out.open(QIODevice::WriteOnly);
        m_err.open(QIODevice::WriteOnly);
        CheckCommand command(options, &m_out, &m_err, false, false);
        QSignalSpy finished(&command, &CheckCommand::finished);
        command.start();
        EXPECT_TRUE(finished.wait(20000));
        m_out.close();
        m_err.close();
        return finished.isEmpty() ? -1 : finished.first().first().toInt();
    }

    [[nodiscard]] QString out() const { return QString::fromUtf8(m_out.data()); }
    [[nodiscard]] QString err() const { return QString::fromUtf8(m_err.data()); }

    static void trustTestAuthority(CheckSettings &settings) { settings.authorities = fakeweb::FakeWeb::authority(); }

    fakeweb::FakeWeb m_web;
    QBuffer m_out;
    QBuffer m_err;
};

TEST_F(HttpsCheckTest, UntrustedSiteIsUnreachableAndTheUserIsToldWhy)
{
    EXPECT_EQ(run("https://www.mysite.com/", OutputFormat::Tsv), kExitUnreachable);
    EXPECT_TRUE(out().isEmpty());
    EXPECT_TRUE(err().contains("网址可能无法访问"));
    EXPECT_TRUE(err().contains("证书不可信")) << err().toStdString();
}

TEST_F(HttpsCheckTest, InsecureReadsTheSiteAndStillSaysSo)
{
    EXPECT_EQ(run("https://www.mysite.com/", OutputFormat::Tsv, [](CheckSettings &s) { s.insecure = true; }), kExitOk);
    EXPECT_TRUE(out().contains("http://www.friend-b.net/")) << out().toStdString();
    EXPECT_TRUE(err().contains("已按 --insecure 照样读取")) << err().toStdString();
}

TEST_F(HttpsCheckTest, SiteTypedAsHttpOrHttpsIsReadThroughTheRedirect)
{
    for (const char *site : {"www.mysite.com", "https://www.mysite.com"}) {
        EXPECT_EQ(run(site, OutputFormat::Tsv, trustTestAuthority), kExitOk) << site;
        const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << out().toStdString(); // the classic rows: the http friend only
        EXPECT_TRUE(lines[1].startsWith("http://www.friend-b.net/\t朋友乙\\r\\n\t我的站"))
            << lines[1].toStdString();
        EXPECT_FALSE(err().contains("证书")) << err().toStdString();
    }
}

} // namespace
} // namespace friendlinks
