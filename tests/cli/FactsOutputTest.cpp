// The facts of a small world, end to end: json rows, --facts tsv and table,
// the one stderr line when Baidu blocks a batch, and the options that ask for them.
#include "cli/CheckCommand.h"

#include "check/CheckEngine.h"
#include "tests/common/CommandRun.h"

#include <QSet>

namespace friendlinks {
namespace {

using fakeweb::Answer;

const QString kBaidu = QStringLiteral("http://www.baidu.com/s?wd=site:");

// Four friends of www.home9.com, each showing other facts.
void buildWorld(fakeweb::World &world)
{
    world.setPage("http://www.home9.com/", "<a href=\"http://www.a-friend.com/\">甲</a>\n"
                                           "<a href=\"http://www.b-friend.com/\">乙</a>\n"
                                           "<a href=\"http://www.c-friend.com/\" rel=\"nofollow\">丙</a>\n"
                                           "<a href=\"http://www.d-friend.com/\">丁</a>\n");
    // A nofollow link back, two outbound anchors; one hidden in a comment, one to itself.
    world.setPage("http://www.a-friend.com/",
                  "<meta name=\"robots\" content=\"index,follow\">"
                  "<a href=\"http://www.home9.com/\" REL='External NoFollow'>首页之家</a>"
                  "<a href=\"http://www.other.com/\">x</a><a href=\"/about\">a</a>"
                  "<a href=\"http://a-friend.com/news\">n</a><!-- <a href=\"http://hidden.com/\">h</a> -->");
    world.setPage(kBaidu + "www.a-friend.com/",
                  "<div>百度为您找到相关结果约1,230个</div>百度一下，找到相关网页约1,230篇，用时0.1秒"
                  "<font color=#008000>www.a-friend.com/ 3K 2026-1-2</font>");
    // Moved to a page that tells engines to follow none of its links.
    world.set("http://www.b-friend.com/", answer(301, "moved", {}, {{"Location", "http://b-friend.com/home.html"}}));
    world.setPage("http://b-friend.com/home.html",
                  "<meta content=\"NONE\" name=\"Robots\"><a href=\"http://www.home9.com/\">之家</a>");
    world.setPage(kBaidu + "www.b-friend.com/", "<p>抱歉，没有找到与“site:www.b-friend.com/”相关的网页。</p>");
    // A 404 page linking only to itself; a nofollow header for another engine. No Baidu page.
    world.set("http://www.c-friend.com/", answer(404, "<a href=\"http://WWW.C-FRIEND.COM/\">自己</a>", {},
                                                 {{"X-Robots-Tag", "googlebot: nofollow"}}));
    // Answers with nothing; its Baidu query is dropped.
    world.set("http://www.d-friend.com/", answer(200, {}));
    world.set(kBaidu + "www.d-friend.com/", answer(200, {}, Answer::Fault::Drop));
}

class FactsOutputTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        buildWorld(m_web.world());
    }

    // Runs `friendlinks check www.home9.com` with arguments; returns stdout.
    QString run(const QStringList &arguments)
    {
        check(QStringList{"www.home9.com"} + arguments);
        return out();
    }
};

TEST_F(FactsOutputTest, JsonRowsCarryTheirFacts)
{
    check({"www.home9.com", "--format", "json"});
    const QString json = outAtZeroMs();
    const QString rows = QString::fromUtf8(
        R"({"site": "www.home9.com", "mode": "classic", "rows": [
  {"lianjie": "http://www.a-friend.com/", "guanjianzi": "甲\r\n", "fanlian": "首页之家", "shoulu": "约1,230篇", "kuaizhao": "3K 2026-1-2\r\n", "rp": "首页第一", "red": [], "facts": {"status": 200, "final_url": "http://www.a-friend.com/", "ms": 0, "backlink": {"href": "http://www.home9.com/", "rel": ["external", "nofollow"], "follow": false}, "page_nofollow": false, "outbound": 2, "baidu": {"state": "ok", "count": "1,230"}, "tls_error": null, "our_link": {"href": "http://www.a-friend.com/", "rel": [], "follow": true}}},
  {"lianjie": "http://www.b-friend.com/", "guanjianzi": "乙\r\n", "fanlian": "之家", "shoulu": "", "kuaizhao": "", "rp": "", "red": [], "facts": {"status": 200, "final_url": "http://b-friend.com/home.html", "ms": 0, "backlink": {"href": "http://www.home9.com/", "rel": [], "follow": true}, "page_nofollow": true, "outbound": 1, "baidu": {"state": "no_result", "count": null}, "tls_error": null, "our_link": {"href": "http://www.b-friend.com/", "rel": [], "follow": true}}},
  {"lianjie": "http://www.c-friend.com/", "guanjianzi": "丙\r\n", "fanlian": "没有链接", "shoulu": "", "kuaizhao": "", "rp": "", "red": ["fanlian"], "facts": {"status": 404, "final_url": "http://www.c-friend.com/", "ms": 0, "backlink": null, "page_nofollow": false, "outbound": 0, "baidu": {"state": "unknown_page", "count": null}, "tls_error": null, "our_link": {"href": "http://www.c-friend.com/", "rel": ["nofollow"], "follow": false}}},
  {"lianjie": "http://www.d-friend.com/", "guanjianzi": "丁\r\n", "fanlian": "无知错误", "shoulu": "", "kuaizhao": "", "rp": "", "red": ["fanlian"], "facts": {"status": 200, "final_url": "http://www.d-friend.com/", "ms": 0, "backlink": null, "page_nofollow": null, "outbound": null, "baidu": {"state": "unreachable", "count": null}, "tls_error": null, "our_link": {"href": "http://www.d-friend.com/", "rel": [], "follow": true}}}
], )") + homeOk("www.home9.com") + "}\n";
    EXPECT_EQ(json, rows);
    EXPECT_TRUE(m_err.data().isEmpty());
}

TEST_F(FactsOutputTest, TsvWithFactsAppendsTheFactColumns)
{
    QStringList lines = run({"--format", "tsv", "--facts"}).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList fields = lines[i].split('\t');
        if (fields.size() > 9)
            fields[9] = "0"; // 用时ms differs from run to run
        lines[i] = fields.join('\t');
    }
    EXPECT_EQ(lines.join('\n'),
              QString::fromUtf8(
                  "网站地址\t网站名字\t反链关键字\t百度收录\t百度快照\t百度site首页\t标红\t"
                  "HTTP状态\t最终地址\t用时ms\t反链nofollow\t页面nofollow\t对方外链数\t百度状态\t百度收录(新)\t我方nofollow\n"
                  "http://www.a-friend.com/\t甲\\r\\n\t首页之家\t约1,230篇\t3K 2026-1-2\\r\\n\t首页第一\t\t"
                  "200\thttp://www.a-friend.com/\t0\t是\t否\t2\tok\t1,230\t否\n"
                  "http://www.b-friend.com/\t乙\\r\\n\t之家\t\t\t\t\t"
                  "200\thttp://b-friend.com/home.html\t0\t否\t是\t1\tno_result\t\t否\n"
                  "http://www.c-friend.com/\t丙\\r\\n\t没有链接\t\t\t\tfanlian\t"
                  "404\thttp://www.c-friend.com/\t0\t\t否\t0\tunknown_page\t\t是\n"
                  "http://www.d-friend.com/\t丁\\r\\n\t无知错误\t\t\t\tfanlian\t"
                  "200\thttp://www.d-friend.com/\t0\t\t\t\tunreachable\t\t否\n"));
}

TEST_F(FactsOutputTest, TableAndTsvWithoutFactsStayAsTheyWere)
{
    EXPECT_FALSE(run({"--format", "tsv"}).contains(QStringLiteral("HTTP状态")));
    const QString table = run({"--facts"});
    const QString header = table.section('\n', 0, 0);
    EXPECT_TRUE(header.startsWith(QStringLiteral("网站地址"))) << header.toStdString();
    EXPECT_TRUE(header.endsWith(QStringLiteral("我方nofollow"))) << header.toStdString();
    EXPECT_TRUE(table.contains(QStringLiteral("共 4 行，标红 2 处"))) << "fact cells are not counted as red cells";
}

TEST_F(FactsOutputTest, ABlockStopsTheOtherSitesOfABatchToo)
{
    m_web.world().setPage("http://www.home8.com/", "<a href=\"http://www.e-friend.com/\">戊</a>");
    m_web.world().setPage("http://www.e-friend.com/", "<a href=\"http://www.home8.com/\">八号</a>");
    m_web.world().setPage(kBaidu + "www.e-friend.com/", baiduResultPage("约5", "www.e-friend.com/"));
    m_web.world().setHostAnswerFrom(QStringLiteral("www.baidu.com"), 1, captchaRedirect());
    const QString json = run({"www.home8.com", "--format", "json", "--jobs", "1"});
    EXPECT_EQ(QString::fromUtf8(m_err.data()), kBaiduBlockedMessage + '\n');
    EXPECT_EQ(json.count(QStringLiteral("\"state\": \"blocked\"")), 5);
    QSet<QString> queries;
    for (const QString &url : m_web.requestLog()) {
        if (url.startsWith(kBaidu))
            queries << url;
    }
    EXPECT_EQ(queries.size(), 1) << "the first query of the batch is the only one";
}

} // namespace
} // namespace friendlinks
