// `friendlinks check` end to end on one small world: that the options reach the check, what goes to
// stdout and stderr, and the exit statuses. The formats themselves are OutputFormatsTest's; restart,
// re-check and the Baidu block across a batch are CheckEngineTest's.
#include "cli/CheckCommand.h"

#include "check/CheckEngine.h"
#include "tests/common/CommandRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace friendlinks {
namespace {

using fakeweb::Answer;

const QString kBaidu = QStringLiteral("http://www.baidu.com/s?wd=site:");

// www.mysite.com lists four friends over http, each showing other facts, and one over https; the same
// site over https (hosts the test certificate names) lists its friends the way today's web writes them.
class CheckCommandTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        fakeweb::World &world = m_web.world();
        world.setPage("http://www.mysite.com/", "<a href=\"http://www.friend-a.com/\">甲</a>\n"
                                                "<a href=\"http://www.friend-b.net/\">乙</a>\n"
                                                "<a href=\"http://www.friend-c.org/\" rel=\"nofollow\">丙</a>\n"
                                                "<a href=\"http://www.friend-d.cn/\">丁</a>\n"
                                                "<a href=\"https://www.friend-d.cn/\">戊</a>\n");
        // A nofollow link back and one other outbound anchor; Baidu's count also in today's words.
        world.setPage("http://www.friend-a.com/", "<a href=\"http://www.mysite.com/\" REL='External NoFollow'>首页之家</a>"
                                                  "<a href=\"http://www.other.com/\">x</a>");
        world.setPage(kBaidu + "www.friend-a.com/",
                      "<div>百度为您找到相关结果约1,230个</div>" + baiduResultPage("约1,230", "www.friend-a.com/"));
        // Moved to a page that tells engines to follow none of its links.
        world.set("http://www.friend-b.net/", answer(301, "moved", {}, {{"Location", "http://friend-b.net/home.html"}}));
        world.setPage("http://friend-b.net/home.html",
                      "<meta content=\"NONE\" name=\"Robots\"><a href=\"http://www.mysite.com/\">之家</a>");
        world.setPage(kBaidu + "www.friend-b.net/", "<p>抱歉，没有找到与“site:www.friend-b.net/”相关的网页。</p>");
        // A 404 page linking only to itself, nofollow in its header; no Baidu page.
        world.set("http://www.friend-c.org/", answer(404, "<a href=\"http://WWW.FRIEND-C.ORG/\">自己</a>", {},
                                                     {{"X-Robots-Tag", "nofollow"}}));
        // Answers with nothing; its Baidu query is dropped.
        world.set("http://www.friend-d.cn/", answer(200, {}));
        world.set(kBaidu + "www.friend-d.cn/", answer(200, {}, Answer::Fault::Drop));

        world.setPage("https://www.mysite.com/", "<a href=\"https://www.friend-a.com/\">朋友甲</a>\n"
                                                 "<a href=\"http://www.friend-b.net/\">朋友乙</a>\n"
                                                 "<a href=\"https://blog.friend-c.org/\"><img src=\"/c.png\"></a>\n");
        // A Big5 page that says so only in its header.
        const QByteArray big5 = QByteArray::fromHex("A7DAAABAAFB8"); // 我的站
        world.set("https://www.friend-a.com/", answer(200, "<a href=\"https://mysite.com/\">" + big5 + "</a>", {},
                                                      {{"Content-Type", "text/html; charset=big5"}}));
        world.setPage("https://blog.friend-c.org/", "<a href=\"https://WWW.MYSITE.COM/\"><img src=x></a>");
        // Baidu answers this one over https, as it does today.
        world.set(kBaidu + "blog.friend-c.org/", answer(302, {}, {}, {{"Location", "https://www.baidu.test/s?wd=site:c"}}));
        world.setPage("https://www.baidu.test/s?wd=site:c", "<div class=\"nums\">该网站共有 7 个网页被百度收录</div>"
                                                       "<div class=\"result c-container\" mu=\"https://other.com/\"></div>");

        world.set("http://www.gone.com/", answer(200, {}, Answer::Fault::Drop));
        world.set("http://www.nf.com/", answer(404, "<a href=\"http://www.friend-a.com/\">甲</a>\n"));
        world.set("http://www.nf-empty.com/", answer(404, ""));
    }

    [[nodiscard]] QJsonDocument json() const { return QJsonDocument::fromJson(m_out.data()); }

    const QString m_httpsHint = QStringLiteral("另有 1 个友链未列出（https 1），加 --modern 一并检查\n");
    const QStringList m_trusted{"--ca-file", fakeweb::FakeWeb::authorityFile()};
};

TEST_F(CheckCommandTest, OneSiteInJsonGivesItsRowsWithTheirFactsAndItsHome)
{
    EXPECT_EQ(check({"www.mysite.com", "--format", "json"}), kExitOk);
    EXPECT_EQ(outAtZeroMs(), QString::fromUtf8(R"({"site": "www.mysite.com", "mode": "classic", "rows": [
  {"lianjie": "http://www.friend-a.com/", "guanjianzi": "甲\r\n", "fanlian": "首页之家", "shoulu": "约1,230篇", "kuaizhao": "3K 2026-1-2\r\n", "rp": "首页第一", "red": [], "facts": {"status": 200, "final_url": "http://www.friend-a.com/", "ms": 0, "backlink": {"href": "http://www.mysite.com/", "rel": ["external", "nofollow"], "follow": false}, "page_nofollow": false, "outbound": 2, "baidu": {"state": "ok", "count": "1,230"}, "tls_error": null, "our_link": {"href": "http://www.friend-a.com/", "rel": [], "follow": true}, "robots": {"baiduspider_allowed": true, "rule": null}, "spider_view": null}},
  {"lianjie": "http://www.friend-b.net/", "guanjianzi": "乙\r\n", "fanlian": "之家", "shoulu": "", "kuaizhao": "", "rp": "", "red": [], "facts": {"status": 200, "final_url": "http://friend-b.net/home.html", "ms": 0, "backlink": {"href": "http://www.mysite.com/", "rel": [], "follow": true}, "page_nofollow": true, "outbound": 1, "baidu": {"state": "no_result", "count": null}, "tls_error": null, "our_link": {"href": "http://www.friend-b.net/", "rel": [], "follow": true}, "robots": {"baiduspider_allowed": true, "rule": null}, "spider_view": null}},
  {"lianjie": "http://www.friend-c.org/", "guanjianzi": "丙\r\n", "fanlian": "没有链接", "shoulu": "", "kuaizhao": "", "rp": "", "red": ["fanlian"], "facts": {"status": 404, "final_url": "http://www.friend-c.org/", "ms": 0, "backlink": null, "page_nofollow": true, "outbound": 0, "baidu": {"state": "unknown_page", "count": null}, "tls_error": null, "our_link": {"href": "http://www.friend-c.org/", "rel": ["nofollow"], "follow": false}, "robots": {"baiduspider_allowed": true, "rule": null}, "spider_view": null}},
  {"lianjie": "http://www.friend-d.cn/", "guanjianzi": "丁\r\n", "fanlian": "无知错误", "shoulu": "", "kuaizhao": "", "rp": "", "red": ["fanlian"], "facts": {"status": 200, "final_url": "http://www.friend-d.cn/", "ms": 0, "backlink": null, "page_nofollow": null, "outbound": null, "baidu": {"state": "unreachable", "count": null}, "tls_error": null, "our_link": {"href": "http://www.friend-d.cn/", "rel": [], "follow": true}, "robots": {"baiduspider_allowed": true, "rule": null}, "spider_view": null}}
], "home": {"status": 200, "final_url": "http://www.mysite.com", "ms": 0, "tls_error": null}, "skipped": {"https": 1}}
)"));
    EXPECT_EQ(err(), m_httpsHint) << "no progress when stderr is not a terminal";
}

TEST_F(CheckCommandTest, FactsOptionAppendsTheFactColumns)
{
    check({"www.mysite.com", "--format", "tsv"});
    EXPECT_FALSE(out().contains(QStringLiteral("HTTP状态")));
    check({"www.mysite.com", "--format", "tsv", "--facts"});
    QStringList facts; // the fact columns of each line
    for (const QString &line : out().split('\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.split('\t').mid(7);
        fields.removeAt(2); // 用时ms differs from run to run
        facts << fields.join('|');
    }
    // 反链位置 and 反链隐藏 are modern mode's, empty in classic.
    EXPECT_EQ(facts, (QStringList{"HTTP状态|最终地址|反链nofollow|页面nofollow|对方外链数|百度状态|百度收录(新)|我方nofollow"
                                  "|robots禁止百度|对蜘蛛隐藏|跳转地址|反链位置|反链隐藏",
                                  "200|http://www.friend-a.com/|是|否|2|ok|1,230|否|否||||",
                                  "200|http://friend-b.net/home.html|否|是|1|no_result||否|否||||",
                                  "404|http://www.friend-c.org/||是|0|unknown_page||是|否||||",
                                  "200|http://www.friend-d.cn/||||unreachable||否|否||||"}));
    check({"www.mysite.com", "--facts"});
    const QString table = out();
    EXPECT_TRUE(table.section('\n', 0, 0).endsWith(QStringLiteral("反链隐藏"))) << table.toStdString();
    EXPECT_TRUE(table.contains(QStringLiteral("共 4 行，标红 2 处"))) << "fact cells are not counted as red cells";
}

// Each format's layout of a batch is pinned in OutputFormatsTest; here that every site reaches it, in order.
TEST_F(CheckCommandTest, SitesAreWrittenInTheOrderGivenAndThoseThatCannotBeCheckedAreNamed)
{
    const QStringList sites{"www.mysite.com", "www.gone.com", "www.nf.com"};
    EXPECT_EQ(check(sites + QStringList{"--format", "json"}), kExitUnreachable);
    const QJsonArray objects = json()["sites"].toArray();
    ASSERT_EQ(objects.size(), 3) << out().toStdString();
    EXPECT_EQ(objects[0]["rows"].toArray().size(), 4);
    EXPECT_EQ(objects[1]["site"], "www.gone.com");
    EXPECT_TRUE(objects[1]["unreachable"].toBool());
    EXPECT_EQ(objects[2]["rows"].toArray().size(), 1) << "a home page with an error status still gives its rows";
    EXPECT_EQ(objects[2]["home"]["status"], 404);
    for (const char *line : {"网址可能无法访问：www.gone.com（连接被中断）\n", "www.nf.com: 首页返回 HTTP 404\n",
                             "www.mysite.com：另有 1 个友链未列出（https 1）"})
        EXPECT_EQ(err().count(QString::fromUtf8(line)), 1) << err().toStdString();

    EXPECT_EQ(check(sites + QStringList{"--format", "jsonl"}), kExitUnreachable);
    EXPECT_EQ(out().count('\n'), 3);
    for (const char *format : {"tsv", "csv", "table"}) {
        EXPECT_EQ(check(sites + QStringList{"--format", format}), kExitUnreachable);
        const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), QLatin1String(format) == "table" ? 7 : 6) << format;
        EXPECT_TRUE(lines[0].contains(QStringLiteral("站点"))) << "one header, with the site column";
        EXPECT_TRUE(lines[1].startsWith("www.mysite.com")) << format;
        EXPECT_TRUE(lines[5].startsWith("www.nf.com")) << format;
    }
    // Written as each site ends: a first site without rows still writes the batch's header.
    EXPECT_EQ(check({"www.gone.com", "www.mysite.com", "--format", "csv"}), kExitUnreachable);
    const QStringList streamed = out().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(streamed.size(), 5) << out().toStdString();
    EXPECT_TRUE(streamed[0].contains(QStringLiteral("站点"))) << streamed[0].toStdString();
    EXPECT_TRUE(streamed[1].startsWith("www.mysite.com")) << streamed[1].toStdString();
    // One site that cannot be checked writes nothing but its cause.
    EXPECT_EQ(check({"www.nf-empty.com"}), kExitUnreachable);
    EXPECT_TRUE(out().isEmpty());
    EXPECT_EQ(err(), "网址可能无法访问：www.nf-empty.com（首页返回 HTTP 404）\n");
}

TEST_F(CheckCommandTest, BatchProgressCountsSitesAgainstAFixedTotalAndRowsAsTheyAreChecked)
{
    CheckSettings settings;
    settings.proxy = m_web.proxy();
    BatchCheck batch(settings, {"www.mysite.com", "www.nf.com"});
    QSignalSpy progress(&batch, &BatchCheck::progress);
    QSignalSpy finished(&batch, &BatchCheck::finished);
    batch.start();
    ASSERT_TRUE(finished.wait(kWaitMs));
    ASSERT_FALSE(progress.isEmpty());
    int sitesDone = 0, rowsDone = 0;
    for (const QList<QVariant> &step : progress) {
        EXPECT_EQ(step[1].toInt(), 2);
        EXPECT_GE(step[0].toInt(), sitesDone);
        EXPECT_GE(step[2].toInt(), rowsDone);
        sitesDone = step[0].toInt();
        rowsDone = step[2].toInt();
    }
    EXPECT_EQ(progress.last(), (QList<QVariant>{2, 2, 5, 5})) << "4 rows of www.mysite.com, 1 of www.nf.com";
    EXPECT_EQ(progressText(1, 3, 40, 45), QStringLiteral("\r站点 1/3，已检查 40 行"));
    EXPECT_EQ(progressText(0, 1, 40, 45), QStringLiteral("\r已检查 40/45"));
}

TEST_F(CheckCommandTest, OutputThatCannotBeWrittenEndsWithExitFour)
{
    for (const char *format : {"jsonl", "table"}) { // written site by site, and at the end
        EXPECT_EQ(check({"www.mysite.com", "--format", format}, fullDisk().get()), kExitOutputFailed) << format;
        EXPECT_TRUE(err().contains("friendlinks: 无法写出结果：")) << err().toStdString();
    }
}

TEST_F(CheckCommandTest, CapitalLettersInTheHostAreNotedInClassicAndLoweredInModern)
{
    EXPECT_EQ(check({"WWW.MYSITE.COM", "www.Nf-Empty.com", "--format", "json"}), kExitUnreachable);
    EXPECT_EQ(err().count("注意：查询字母不能大写\n"), 1) << err().toStdString();
    EXPECT_EQ(json()["sites"][0]["site"], "WWW.MYSITE.COM") << "checked as typed";
    EXPECT_FALSE(json()["sites"][0].toObject().contains("cause"));
    EXPECT_EQ(json()["sites"][1]["cause"], "empty_answer");
    check({"WWW.NF.COM", "--modern", "--format", "json"});
    EXPECT_FALSE(err().contains("注意")) << err().toStdString();
    EXPECT_EQ(json()["site"], "www.nf.com");
    EXPECT_EQ(json()["cause"], "http_error") << "a modern check reads no links from an error page";
    check({"www.gone.com", "www.nf.com", "--format", "json"});
    EXPECT_EQ(json()["sites"][0]["cause"], "connection_closed") << out().toStdString();
}

TEST_F(CheckCommandTest, HttpsSiteIsReadWhenTrustedAndClassicSaysWhatItLeftOut)
{
    ASSERT_NE(m_web.tlsPort(), 0) << "no test certificate";
    EXPECT_EQ(check({"https://www.mysite.com/", "--format", "tsv"}), kExitUnreachable);
    EXPECT_TRUE(err().startsWith("网址可能无法访问：https://www.mysite.com/（证书不可信）")) << err().toStdString();
    EXPECT_EQ(check(m_trusted + QStringList{"https://www.mysite.com", "--format", "tsv"}), kExitOk);
    const QStringList lines = out().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << out().toStdString(); // the classic rows: the http friend only
    EXPECT_TRUE(lines[1].startsWith("http://www.friend-b.net/\t朋友乙\\r\\n\t之家\t")) << lines[1].toStdString();
    EXPECT_EQ(err(), "另有 2 个友链未列出（https 2），加 --modern 一并检查\n");
}

// One row of the JSON output: its six cells and its red keys.
QStringList jsonCells(const QJsonValue &row)
{
    QStringList texts;
    for (const char *key : {"lianjie", "guanjianzi", "fanlian", "shoulu", "kuaizhao", "rp"})
        texts << row[QLatin1String(key)].toString();
    return texts << row["red"].toVariant().toStringList().join(',');
}

// How modern mode judges a page is HarvestTest's; here that --modern reaches the check and its Baidu.
TEST_F(CheckCommandTest, ModernCheckListsHttpsFriendsReadsTodaysBaiduAndNamesCertificateTrouble)
{
    ASSERT_NE(m_web.tlsPort(), 0) << "no test certificate";
    EXPECT_EQ(check(m_trusted + QStringList{"https://www.mysite.com", "--format", "json", "--modern"}), kExitOk);
    EXPECT_TRUE(err().isEmpty()) << err().toStdString();
    EXPECT_EQ(json()["mode"], "modern");
    const QJsonArray rows = json()["rows"].toArray();
    ASSERT_EQ(rows.size(), 3) << out().toStdString();
    EXPECT_EQ(jsonCells(rows[0]),
              (QStringList{"https://www.friend-a.com/", "朋友甲", "我的站", "约1,230篇", "3K 2026-1-2\r\n", "首页第一", ""}));
    // Baidu knows no page of friend-b: its count cell is red in modern mode.
    EXPECT_EQ(jsonCells(rows[1]), (QStringList{"http://www.friend-b.net/", "朋友乙", "之家", "", "", "", "fanlian,shoulu"}));
    EXPECT_EQ(jsonCells(rows[2]),
              (QStringList{"https://blog.friend-c.org/", "图片链接", "图片链接", "7篇", "", "注意：不在第一", "rp"}));
    // The deciding anchor's href as written, and the address it leads to.
    EXPECT_EQ(rows[2]["facts"]["backlink"]["href"], "https://WWW.MYSITE.COM/");
    EXPECT_EQ(rows[2]["facts"]["backlink"]["url"], "https://www.mysite.com/");
    // Read with --insecure, the site and every https row name their trouble, and are read all the same.
    EXPECT_EQ(check({"https://www.mysite.com", "--format", "json", "--modern", "--insecure"}), kExitOk);
    EXPECT_TRUE(err().contains("已按 --insecure 照样读取")) << err().toStdString();
    for (const QJsonValue &row : json()["rows"].toArray()) {
        const bool https = row["lianjie"].toString().startsWith("https://");
        EXPECT_EQ(row["facts"]["tls_error"].toString().isEmpty(), !https) << row["lianjie"].toString().toStdString();
        EXPECT_FALSE(row["fanlian"].toString().isEmpty());
    }
    // A modern home page that answers an error lists nothing.
    m_web.world().set("https://www.mysite.com/", answer(404, "<a href=\"http://www.friend-b.net/\">乙</a>"));
    check(m_trusted + QStringList{"https://www.mysite.com", "--format", "json", "--modern"});
    EXPECT_TRUE(json()["rows"].toArray().isEmpty()) << out().toStdString();
}

// A home page trading links the way small Chinese sites do today: modern mode lists every friend's
// home page once, whatever its name ends in; classic lists what the original rules allow and says
// what it left out.
TEST_F(CheckCommandTest, TodaysFriendLinksAreListedInModernModeAndBothModesCountWhatTheyLeftOut)
{
    const QString longName = "http://www." + QString(38, u'l') + ".com/";
    const QStringList friends = {"http://www.a.top/",        "http://www.a.xyz:8080/", "http://x.com/",
                                 "http://www.a.co.uk/",      "http://www.a.com/index.html",
                                 "http://www.a.vip/?from=links", longName,            "http://www.ok.com/",
                                 "http://www.carhome.com/",  "http://www.autocar.cn/", "http://www.scar.org/",
                                 "http://www.例子.中国/",     "http://203.0.113.9/"};
    QString home;
    for (const QString &address : friends) {
        home += "<a href=\"" + address + "\">友</a>";
        m_web.world().setPage(QUrl(address).toEncoded(), "<a href=\"http://car.com/\">汽车之家</a>");
    }
    home += "<a href=\"http://www.ok.com/\">再一次</a><a href=\"http://blog.car.com/\">博客</a>"
            "<a href=\"/news/1.html\">新闻</a><a href=\"mailto:me@car.com\">信</a>"
            "<a href=\"http://beian.miit.gov.cn/\">京ICP备1号</a>";
    m_web.world().setPage("http://www.car.com/", home.toUtf8());

    EXPECT_EQ(check({"www.car.com", "--modern", "--format", "json"}), kExitOk);
    EXPECT_TRUE(err().isEmpty()) << err().toStdString();
    QStringList listed, backLinks;
    for (const QJsonValue &row : json()["rows"].toArray()) {
        listed << row["lianjie"].toString();
        backLinks << row["fanlian"].toString();
    }
    EXPECT_EQ(listed, friends);
    EXPECT_EQ(backLinks, QStringList(friends.size(), "汽车之家"));
    EXPECT_EQ(json()["skipped"].toObject(),
              (QJsonObject{{"duplicate", 1}, {"same_site", 2}, {"not_http", 1}, {"footer_word", 1}}));

    EXPECT_EQ(check({"www.car.com", "--format", "json"}), kExitOk);
    EXPECT_EQ(json()["rows"].toArray().size(), 2) << "www.ok.com, twice";
    EXPECT_EQ(json()["skipped"]["name_ending"], 4) << out().toStdString();
    EXPECT_EQ(err(), "另有 12 个友链未列出（域名后缀 4，无 www 前缀 2，首页文件名 2，超过 50 字符 1，含本站名 3），"
                     "加 --modern 一并检查\n");
}

TEST_F(CheckCommandTest, AHomePageCutAtTheSizeCapIsSaid)
{
    m_web.world().set("http://www.endless.com/", answer(200, {}, Answer::Fault::Endless));
    EXPECT_EQ(check({"www.endless.com", "--format", "tsv"}), kExitOk);
    EXPECT_EQ(out().count('\n'), 1) << "the header, no row";
    EXPECT_EQ(err(), "首页过大，只读了前 16 MB，其后的链接未列出\n");
}

TEST_F(CheckCommandTest, BaiduTroubleIsSaidOnceForTheRun)
{
    // Baidu sends every query to an https host the test certificate does not name.
    const Answer toUntrusted = answer(302, {}, {}, {{"Location", "https://www.baidu.example/s"}});
    m_web.world().setHostAnswerFrom("www.baidu.com", 1, toUntrusted);
    EXPECT_EQ(check({"www.mysite.com", "www.nf.com", "--format", "tsv"}), kExitUnreachable);
    EXPECT_FALSE(out().contains("篇")) << out().toStdString(); // every row's Baidu cells left empty
    EXPECT_EQ(err().count("百度的证书不可信："), 1) << err().toStdString();
    EXPECT_TRUE(err().contains("百度各列留空"));
    // Its security check: no more queries, and one line for the whole batch.
    m_web.world().setHostAnswerFrom("www.baidu.com", 1, captchaRedirect());
    check({"www.mysite.com", "www.nf.com", "--format", "json"});
    EXPECT_EQ(err().count(kBaiduBlockedMessage + '\n'), 1) << err().toStdString();
}

} // namespace
} // namespace friendlinks
