// Modern mode end to end against fakeweb's friends who keep the link back where no spider follows it:
// hidden by the page's style, written by script, kept in a frame. Exactly those rows are red with the
// cheat's words; the honest ones are not, and each row costs the requests it needs and no more.
#include "check/CheckMode.h"
#include "tests/common/CommandRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace friendlinks {
namespace {

const QString kBack = QStringLiteral("<a href=\"http://www.mysite.com/\">我的站</a>");

struct Friend {
    QString host;
    QByteArray page;
    QList<QPair<QString, QByteArray>> files; // other files of its site, by path
    QString cell;                            // the fanlian cell a modern check shows
    bool red;
    QString where;    // backlink.where; empty for none
    int requests;     // to its own site: the page, then the files read (robots.txt and the spider's page apart)
};

const QList<Friend> &friends()
{
    static const QList<Friend> list = {
        {"www.honest.com",
         ("<link rel=stylesheet href=/site.css><script src=/site.js></script><div class=flink>" + kBack + "</div>").toUtf8(),
         {{"/site.css", ".flink{color:#333} .ad{display:none}"}, {"/site.js", "var x = 'http://www.other.com/';"}},
         "我的站", false, "page", 2},
        {"www.plain.com", kBack.toUtf8(), {}, "我的站", false, "page", 1},
        {"www.styled.com", ("<style>.flink{display:none}</style><div class=flink>" + kBack + "</div>").toUtf8(), {},
         kHiddenLinkCell, true, "page", 1},
        {"www.sheet.com", ("<link rel=stylesheet href=/s.css><ul id=links><li>" + kBack + "</ul>").toUtf8(),
         {{"/s.css", "#links { height: 0; overflow: hidden }"}}, kHiddenLinkCell, true, "page", 2},
        {"www.faraway.com", ("<div style=\"position:absolute;left:-9999px\">" + kBack + "</div>").toUtf8(), {},
         kHiddenLinkCell, true, "page", 1},
        {"www.ownhidden.com", kBack.toUtf8().replace("<a ", "<a hidden "), {}, "我的站", true, "page", 1},
        {"www.inline.com", "<script>document.write('<a href=\"http://www.mysite.com/\">我的站<\\/a>');</script>", {},
         kScriptLinkCell, true, "script", 1},
        {"www.jsfile.com", "<script src=/a.js></script><script src=/links.js></script>",
         {{"/a.js", "var a = 1;"}, {"/links.js", "document.write(\"\\x3ca href='http:\\/\\/www.mysite.com\\/'>me</a>\")"}},
         kScriptLinkCell, true, "script", 3},
        {"www.framed.com", "<script src=/a.js></script><iframe src=/links.html></iframe>",
         {{"/a.js", "var a = 1;"}, {"/links.html", kBack.toUtf8()}}, kFrameLinkCell, true, "frame", 3},
        {"www.nolink.com", "<iframe src=/empty.html></iframe><iframe src=http://www.other.com/>",
         {{"/empty.html", "<a href=/>home</a>"}}, kNoLink, true, "", 2},
        // At most 4 scripts and 2 frames are read; the fifth script and the third frame hold it in vain.
        {"www.many.com",
         "<script src=/1.js></script><script src=/2.js></script><script src=/3.js></script><script src=/4.js></script>"
         "<script src=/5.js></script><iframe src=/1.html></iframe><iframe src=/2.html></iframe><iframe src=/3.html>",
         {{"/5.js", "'http://www.mysite.com/'"}, {"/3.html", kBack.toUtf8()}}, kNoLink, true, "", 7},
        // A style sheet is read to 256 KiB: a rule past it hides nothing.
        {"www.bigsheet.com", ("<link rel=stylesheet href=/big.css><p class=flink>" + kBack).toUtf8(),
         {{"/big.css", "/*" + QByteArray(300 * 1024, 'x') + "*/ .flink{display:none}"}}, "我的站", false, "page", 2},
    };
    return list;
}

class CheckCheatsTest : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        QString home;
        for (const Friend &f : friends()) {
            home += "<a href=\"http://" + f.host + "/\">友</a>";
            m_web.world().setPage("http://" + f.host + "/", f.page);
            for (const auto &[path, body] : f.files)
                m_web.world().setPage("http://" + f.host + path, body);
        }
        m_web.world().setPage("http://www.mysite.com/", home.toUtf8());
        m_web.world().setPage("http://www.other.com/", kBack.toUtf8());
        QObject::connect(&m_web, &fakeweb::FakeWeb::requestReceived,
                [this](const QString &url) {
                    if (QUrl(url).path() != QLatin1String("/robots.txt"))
                        ++m_requests[QUrl(url).host()];
                });
    }

    QHash<QString, int> m_requests;
};

TEST_F(CheckCheatsTest, OnlyTheCheatingRowsAreRedWithTheirWords)
{
    ASSERT_EQ(check({"www.mysite.com", "--modern", "--format", "json"}), kExitOk);
    const QJsonArray rows = QJsonDocument::fromJson(m_out.data())["rows"].toArray();
    ASSERT_EQ(rows.size(), friends().size()) << out().toStdString();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Friend &f = friends()[i];
        const QJsonObject row = rows[i].toObject();
        EXPECT_EQ(row["fanlian"].toString(), f.cell) << f.host.toStdString();
        EXPECT_EQ(row["red"].toArray().contains(QStringLiteral("fanlian")), f.red) << f.host.toStdString();
        EXPECT_EQ(row["facts"]["backlink"]["where"].toString(), f.where) << f.host.toStdString();
        // Modern mode reads the page once more as Baidu's spider.
        EXPECT_EQ(m_requests.value(f.host), f.requests + 1) << f.host.toStdString();
    }
    EXPECT_EQ(rows[3]["facts"]["backlink"]["hidden_by"], "height:0;overflow:hidden (ul#links)");
    EXPECT_EQ(rows[7]["facts"]["backlink"]["url"], "http://www.mysite.com/");
    EXPECT_EQ(m_requests.value("www.other.com"), 0) << "another site's frame is not read";
}

TEST_F(CheckCheatsTest, ClassicModeReadsNoFileThePageLoads)
{
    ASSERT_EQ(check({"www.mysite.com", "--format", "json"}), kExitOk);
    for (const Friend &f : friends())
        EXPECT_LE(m_requests.value(f.host), 1) << f.host.toStdString();
}

} // namespace
} // namespace friendlinks
