// The command line on today's web: https sites through fakeweb's TLS, the
// certificate options, and the modern mode.
#include "cli/CheckCommand.h"

#include "tests/common/CommandRun.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace friendlinks {
namespace {

// A world of https sites: the checked site links to two friends over https
// and one over http; Baidu answers with today's result pages.
class HttpsCheckTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        ASSERT_NE(m_web.tlsPort(), 0);
        m_web.world().set("http://www.mysite.com/", answer(301, "", {}, {{"Location", "https://www.mysite.com/"}}));
        m_web.world().setPage("https://www.mysite.com/",
                              "<a href=\"https://www.friend-a.com/\">朋友甲</a>\n"
                              "<a href=\"http://www.friend-b.net/\">朋友乙</a>\n"
                              "<a href=\"https://blog.friend-c.org/\"><img src=\"/c.png\"></a>\n"
                              "<a href=\"https://www.mysite.com/about/\">关于</a>\n"
                              "<a href=\"https://www.friend-d.cn/news/1.html\">内页</a>\n");
        m_web.world().setPage("https://www.friend-a.com/", "<a href=\"https://mysite.com/\">我的站</a>");
        // A Big5 page that says so only in its header.
        m_web.world().set("http://www.friend-b.net/", answer(200, "<a href=\"http://www.mysite.com\">" + QByteArray::fromHex("A7DAAABAAFB8") + "</a>",
                                                             {}, {{"Content-Type", "text/html; charset=big5"}}));
        m_web.world().setPage("https://blog.friend-c.org/", "<a href=\"https://WWW.MYSITE.COM/\"><img src=x></a>");

        // Baidu answers http with a redirect to https, as it does today; the
        // friends' pages are of today's kind, one of the old kind.
        const auto baidu = [this](const QString &site, const QString &page) {
            m_web.world().set("http://www.baidu.test/s?wd=site:" + site,
                              answer(302, "", {}, {{"Location", "https://www.baidu.test/s?wd=site:" + site.toUtf8()}}));
            m_web.world().setPage("https://www.baidu.test/s?wd=site:" + site, page.toUtf8());
        };
        baidu("www.friend-a.com/", "<div class=\"nums\">百度为您找到相关结果约1,230个</div>"
                                   "<div class=\"result c-container\" mu=\"https://friend-a.com/\"></div>");
        baidu("www.friend-b.net/", QString::fromUtf8(baiduResultPage("约5", "www.friend-b.net/")));
        baidu("blog.friend-c.org/", "<div class=\"nums\">该网站共有 7 个网页被百度收录</div>"
                                    "<div class=\"result c-container\" mu=\"https://www.other.com/\"></div>");
    }

    // `friendlinks check SITE --baidu-host www.baidu.test --timeout-ms 3000 MORE...`
    int run(const QString &site, const QStringList &more = {})
    {
        return check(QStringList{site, "--baidu-host", "www.baidu.test", "--timeout-ms", "3000"} + more);
    }

    const QStringList m_trusted{"--ca-file", fakeweb::FakeWeb::authorityFile()};
};

// One row of the JSON output: its six cells and its red keys.
QStringList jsonCells(const QJsonValue &row)
{
    QStringList texts;
    for (const char *key : {"lianjie", "guanjianzi", "fanlian", "shoulu", "kuaizhao", "rp"})
        texts << row[QLatin1String(key)].toString();
    QStringList red;
    for (const QJsonValue &key : row["red"].toArray())
        red << key.toString();
    return texts << red.join(',');
}

TEST_F(HttpsCheckTest, UntrustedSiteIsUnreachableAndInsecureReadsItAndStillSaysSo)
{
    EXPECT_EQ(run("https://www.mysite.com/", {"--format", "tsv"}), kExitUnreachable);
    EXPECT_TRUE(out().isEmpty());
    EXPECT_TRUE(err().contains("网址可能无法访问"));
    EXPECT_TRUE(err().contains("证书不可信")) << err().toStdString();
    EXPECT_EQ(run("https://www.mysite.com/", {"--format", "tsv", "--insecure"}), kExitOk);
    EXPECT_TRUE(out().contains("http://www.friend-b.net/")) << out().toStdString();
    EXPECT_TRUE(err().contains("已按 --insecure 照样读取")) << err().toStdString();
}

TEST_F(HttpsCheckTest, ClassicCheckOfASiteTypedAsHttpOrHttpsListsTheHttpFriendAndSaysWhatItLeftOut)
{
    for (const char *site : {"www.mysite.com", "https://www.mysite.com"}) {
        EXPECT_EQ(run(site, m_trusted + QStringList{"--format", "tsv"}), kExitOk) << site;
        const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << out().toStdString(); // the classic rows: the http friend only
        EXPECT_TRUE(lines[1].startsWith("http://www.friend-b.net/\t朋友乙\\r\\n\t")) << lines[1].toStdString();
        EXPECT_EQ(err(), "另有 2 个 https 友链未列出，加 --modern 一并检查\n");
    }
    EXPECT_EQ(run("https://www.mysite.com", m_trusted + QStringList{"--format", "json"}), kExitOk);
    EXPECT_EQ(QJsonDocument::fromJson(m_out.data())["mode"].toString(), "classic");
}

TEST_F(HttpsCheckTest, ModernCheckListsHttpsFriendsReadsTodaysBaiduAndNamesCertificateTrouble)
{
    EXPECT_EQ(run("https://www.mysite.com", m_trusted + QStringList{"--format", "json", "--modern"}), kExitOk);
    EXPECT_TRUE(err().isEmpty()) << err().toStdString();
    const QJsonDocument result = QJsonDocument::fromJson(m_out.data());
    EXPECT_EQ(result["mode"].toString(), "modern");
    const QJsonArray rows = result["rows"].toArray();
    ASSERT_EQ(rows.size(), 3) << out().toStdString();
    EXPECT_EQ(jsonCells(rows[0]), (QStringList{"https://www.friend-a.com/", "朋友甲", "我的站", "1,230篇", "", "首页第一", ""}));
    EXPECT_EQ(jsonCells(rows[1]), (QStringList{"http://www.friend-b.net/", "朋友乙", "我的站", "约5篇", "3K 2026-1-2\r\n", "首页第一", ""}));
    EXPECT_EQ(jsonCells(rows[2]), (QStringList{"https://blog.friend-c.org/", "图片链接", "图片链接", "7篇", "", "注意：不在第一", "rp"}));
    for (const QJsonValue &row : rows)
        EXPECT_TRUE(row["facts"]["tls_error"].isNull());

    // Read with --insecure, every https row names its trouble in its facts, and is read all the same.
    EXPECT_EQ(run("https://www.mysite.com", {"--format", "json", "--modern", "--insecure"}), kExitOk);
    for (const QJsonValue &row : QJsonDocument::fromJson(m_out.data())["rows"].toArray()) {
        const bool https = row["lianjie"].toString().startsWith("https://");
        EXPECT_EQ(row["facts"]["tls_error"].toString().isEmpty(), !https) << row["lianjie"].toString().toStdString();
        EXPECT_FALSE(row["fanlian"].toString().isEmpty());
    }
}

// How modern mode judges a friend's page is ModernJudgementTest's; here the home page.
TEST_F(HttpsCheckTest, ModernHomePageThatAnswersAnErrorListsNothing)
{
    m_web.world().set("https://www.mysite.com/", answer(404, "<a href=\"http://www.friend-b.net/\">乙</a>"));
    run("HTTPS://WWW.MYSITE.COM", m_trusted + QStringList{"--format", "json", "--modern"});
    EXPECT_TRUE(QJsonDocument::fromJson(m_out.data())["rows"].toArray().isEmpty()) << out().toStdString();
}

TEST_F(HttpsCheckTest, UntrustedBaiduLeavesItsCellsEmptyAndSaysSo)
{
    const QString query = QStringLiteral("://www.baidu.example/s?wd=site:www.friend-b.net/"); // not a listed host
    m_web.world().set("http" + query, answer(302, "", {}, {{"Location", "https" + query.toUtf8()}}));
    m_web.world().setPage("https" + query, baiduResultPage("约5", "www.friend-b.net/"));
    EXPECT_EQ(run("https://www.mysite.com", m_trusted + QStringList{"--format", "tsv", "--baidu-host", "www.baidu.example"}), kExitOk);
    EXPECT_TRUE(out().contains("\t\t\t\t")) << out().toStdString(); // the three Baidu cells and no red
    EXPECT_TRUE(err().contains("百度的证书不可信：")) << err().toStdString();
    EXPECT_TRUE(err().contains("百度各列留空")) << err().toStdString();
}

} // namespace
} // namespace friendlinks
