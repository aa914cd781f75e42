// The command line on today's web: https sites through fakeweb's TLS, the
// certificate options, and the modern mode.
#include "cli/CheckCommand.h"

#include "tests/common/QtPrinters.h"
#include "tools/fakeweb/FakeWeb.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
                              "<a href=\"https://blog.friend-c.org/\"><img src=\"/c.png\"></a>\n"
                              "<a href=\"https://www.mysite.com/about/\">关于</a>\n"
                              "<a href=\"https://www.friend-d.cn/news/1.html\">内页</a>\n");
        m_web.world().setPage("https://www.friend-a.com/", "<a href=\"https://mysite.com/\">我的站</a>");
        // A Big5 page that says so only in its header.
        fakeweb::Answer big5;
        big5.body = "<a href=\"http://www.mysite.com\">" + QByteArray::fromHex("A7DAAABAAFB8") + "</a>";
        big5.headers = {{"Content-Type", "text/html; charset=big5"}};
        m_web.world().set("http://www.friend-b.net/", big5);
        m_web.world().setPage("https://blog.friend-c.org/", "<a href=\"https://WWW.MYSITE.COM/\"><img src=x></a>");

        // Baidu answers http with a redirect to https, as it does today; the
        // friends' pages are of today's kind, one of the old kind.
        const auto baidu = [this](const QString &site, const QString &page) {
            fakeweb::Answer moved;
            moved.status = 302;
            moved.headers = {{"Location", "https://www.baidu.test/s?wd=site:" + site.toUtf8()}};
            m_web.world().set("http://www.baidu.test/s?wd=site:" + site, moved);
            m_web.world().setPage("https://www.baidu.test/s?wd=site:" + site, page.toUtf8());
        };
        baidu("www.friend-a.com/", "<div class=\"nums\">百度为您找到相关结果约1,230个</div>"
                                   "<div class=\"result c-container\" mu=\"https://friend-a.com/\"></div>");
        baidu("www.friend-b.net/", "百度一下，找到相关网页约5篇，用时0.1秒<font color=#008000>www.friend-b.net/ 3K 2026-1-2</font>");
        baidu("blog.friend-c.org/", "<div class=\"nums\">该网站共有 7 个网页被百度收录</div>"
                                    "<div class=\"result c-container\" mu=\"https://www.other.com/\"></div>");
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
        EXPECT_TRUE(lines[1].startsWith("http://www.friend-b.net/\t朋友乙\\r\\n\t")) << lines[1].toStdString();
        EXPECT_FALSE(err().contains("证书")) << err().toStdString();
        // The classic check says once what it left out.
        EXPECT_EQ(err(), "另有 2 个 https 友链未列出，加 --modern 一并检查\n");
    }
}

TEST_F(HttpsCheckTest, ModernCheckListsHttpsFriendsAndReadsTodaysBaidu)
{
    EXPECT_EQ(run("https://www.mysite.com", OutputFormat::Json, [](CheckSettings &s) {
                  trustTestAuthority(s);
                  s.modern = true;
              }),
              kExitOk);
    EXPECT_TRUE(err().isEmpty()) << err().toStdString();
    const QJsonObject result = QJsonDocument::fromJson(m_out.data()).object();
    EXPECT_EQ(result.value("mode").toString(), "modern");
    const QJsonArray rows = result.value("rows").toArray();
    ASSERT_EQ(rows.size(), 3) << out().toStdString();
    const auto cells = [&rows](int i) {
        const QJsonObject row = rows.at(i).toObject();
        QStringList texts;
        for (const char *key : {"lianjie", "guanjianzi", "fanlian", "shoulu", "kuaizhao", "rp"})
            texts << row.value(QLatin1String(key)).toString();
        QStringList red;
        for (const QJsonValue &key : row.value("red").toArray())
            red << key.toString();
        return texts << red.join(',');
    };
    EXPECT_EQ(cells(0), (QStringList{"https://www.friend-a.com/", "朋友甲\r\n", "我的站", "1,230篇", "", "首页第一", ""}));
    EXPECT_EQ(cells(1), (QStringList{"http://www.friend-b.net/", "朋友乙\r\n", "我的站", "约5篇", "3K 2026-1-2\r\n",
                                     "首页第一", ""}));
    EXPECT_EQ(cells(2), (QStringList{"https://blog.friend-c.org/", "图片链接", "图片链接", "7篇", "", "注意：不在第一", "rp"}));
}

TEST_F(HttpsCheckTest, UntrustedBaiduLeavesItsCellsEmptyAndSaysSo)
{
    fakeweb::Answer moved;
    moved.status = 302;
    moved.headers = {{"Location", "https://www.baidu.example/s?wd=site:www.friend-b.net/"}}; // not a listed host
    m_web.world().set("http://www.baidu.example/s?wd=site:www.friend-b.net/", moved);
    m_web.world().setPage("https://www.baidu.example/s?wd=site:www.friend-b.net/", 
                          "百度一下，找到相关网页约5篇，用时0.1秒<font color=#008000>www.friend-b.net/ 3K 2026-1-2</font>");
    EXPECT_EQ(run("https://www.mysite.com", OutputFormat::Tsv, [](CheckSettings &s) {
                  trustTestAuthority(s);
                  s.baiduHost = QStringLiteral("www.baidu.example");
              }),
              kExitOk);
    EXPECT_TRUE(out().contains("\t\t\t\t")) << out().toStdString(); // the three Baidu cells and no red
    EXPECT_TRUE(err().contains("百度的证书不可信：")) << err().toStdString();
    EXPECT_TRUE(err().contains("百度各列留空")) << err().toStdString();
}

TEST_F(HttpsCheckTest, EveryRowNamesItsCertificateTroubleInItsFacts)
{
    for (const bool trusted : {false, true}) {
        EXPECT_EQ(run("https://www.mysite.com", OutputFormat::Json, [trusted](CheckSettings &s) {
                      s.modern = true;
                      s.insecure = !trusted;
                      if (trusted)
                          trustTestAuthority(s);
                  }),
                  kExitOk);
        const QJsonArray rows = QJsonDocument::fromJson(m_out.data()).object().value("rows").toArray();
        ASSERT_EQ(rows.size(), 3) << out().toStdString();
        for (const QJsonValue &row : rows) {
            const QString address = row["lianjie"].toString();
            const QJsonValue tlsError = row["facts"]["tls_error"];
            if (trusted || address.startsWith("http://")) {
                EXPECT_TRUE(tlsError.isNull()) << address.toStdString();
            } else {
                EXPECT_FALSE(tlsError.toString().isEmpty()) << address.toStdString();
                EXPECT_EQ(row["fanlian"].toString().isEmpty(), false); // read all the same
            }
        }
    }
}

TEST_F(HttpsCheckTest, ClassicJsonSaysItsMode)
{
    EXPECT_EQ(run("https://www.mysite.com", OutputFormat::Json, trustTestAuthority), kExitOk);
    EXPECT_EQ(QJsonDocument::fromJson(m_out.data()).object().value("mode").toString(), "classic");
}

TEST(ParseModernArguments, ModernInTheCheckAndTheWindow)
{
    EXPECT_TRUE(parseArguments({"check", "a.com", "--modern"}).options.settings.modern);
    const ParsedArguments window = parseArguments({"--modern"});
    EXPECT_EQ(window.action, Action::Window);
    EXPECT_TRUE(window.options.settings.modern);
    EXPECT_FALSE(parseArguments({"check", "a.com"}).options.settings.modern);
}

} // namespace
} // namespace friendlinks
