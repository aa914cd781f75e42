#include "check/CheckEngine.h"

#include "check/CheckRules.h"
#include "probes/BaiduProbe.h"
#include "tests/common/FetchWait.h"
#include "tests/common/RowPrinters.h"
#include "web/FetchResult.h"

#include <QSignalSpy>

namespace friendlinks {
namespace {

QByteArray anchor(const QString &href, const QString &content)
{
    return QStringLiteral("<a href=\"%1\">%2</a>\n").arg(href, content).toUtf8();
}

QByteArray baiduPage(const QString &count, const QString &address)
{
    return QStringLiteral("<div>百度一下，找到相关网页%1篇，用时0.02秒</div>\n"
                          "<p><a href=\"#\">title</a><br><font color=#008000>%2 12K 2026-11-30 </font></p>")
        .arg(count, address)
        .toUtf8();
}

// The checked site www.home9.com links to five friends that show one outcome
// each, and to pages that must not be listed (its own, an inner page, a footer).
void buildWorld(fakeweb::World &world, int friendDelayMs = 0)
{
    world.setPage("http://www.home9.com/", "<html>" + anchor("http://www.home9.com/", "首页")
                      + anchor("http://www.home9.com/about.html", "关于我们") + anchor("http://www.back.com/", "回链站")
                      + anchor("http://www.pic.net/", "图片站") + anchor("http://www.nolink.org/", "不回链")
                      + anchor("http://www.slow.cn/", "慢站") + anchor("http://www.blank.com.cn/", "空站")
                      + anchor("http://www.other.com/page.html", "内页")
                      + anchor("http://www.miibeian.gov.cn/", "京ICP备05000001号") + "</html>");
    world.setPage("http://www.back.com/", anchor("http://www.home9.com/", "首页之家"), friendDelayMs);
    world.setPage("http://www.pic.net/", anchor("http://www.home9.com/", "<img src=logo.gif>"), friendDelayMs);
    world.setPage("http://www.nolink.org/", anchor("http://www.else.com/", "别处"), friendDelayMs);
    world.setPage("http://www.slow.cn/", anchor("http://www.home9.com/", "迟到"), 3000);
    world.set("http://www.blank.com.cn/", answer(200, "", {}, {}, friendDelayMs));
    world.setPage("http://www.baidu.com/s?wd=site:www.back.com/", baiduPage("约1,230", "www.back.com/"));
    world.setPage("http://www.baidu.com/s?wd=site:www.pic.net/", baiduPage("约86", "www.pic.net/about.html"));
    world.setPage("http://www.baidu.com/s?wd=site:www.slow.cn/", baiduPage("3", "www.slow.cn/"));
    world.setPage("http://www.baidu.com/s?wd=site:www.blank.com.cn/", "<p>没有找到该网站</p>");
    // www.nolink.org has no Baidu page: fakeweb answers 404 and the probe fails.
}

CheckRow checkRow(const QList<Cell> &cells)
{
    CheckRow row;
    for (qsizetype c = 0; c < cells.size(); ++c)
        row.cells[size_t(c)] = cells[c];
    return row;
}

QList<CheckRow> expectedRows()
{
    const Cell snapshot{"12K 2026-11-30 \r\n"};
    return {
        checkRow({{"http://www.back.com/"}, {"回链站\r\n"}, {"首页之家"}, {"约1,230篇"}, snapshot, {kHomePageFirst}}),
        checkRow({{"http://www.pic.net/"}, {"图片站\r\n"}, {"图片链接"}, {"约86篇"}, snapshot, {kNotFirst, true}}),
        checkRow({{"http://www.nolink.org/"}, {"不回链\r\n"}, {kNoLink, true}, {}, {}, {}}),
        checkRow({{"http://www.slow.cn/"}, {"慢站\r\n"}, {kTooSlow, true}, {"3篇"}, snapshot, {kHomePageFirst}}),
        checkRow({{"http://www.blank.com.cn/"}, {"空站\r\n"}, {kEmptyBody, true}, {}, {}, {}}),
    };
}

class CheckEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        buildWorld(m_web.world());
    }

    [[nodiscard]] CheckSettings settings(int jobs = 8) const
    {
        CheckSettings s;
        s.proxy = m_web.proxy();
        s.jobs = jobs;
        s.timeoutMs = 500; // the slow friend answers after 3 s
        return s;
    }

    // Runs one check on engine to its end.
    [[nodiscard]] static bool run(CheckEngine &engine, const QString &site)
    {
        QSignalSpy finished(&engine, &CheckEngine::finished);
        engine.start(site);
        return finished.wait(kWaitMs);
    }

    [[nodiscard]] QStringList baiduQueries() const
    {
        QStringList queries;
        for (const QByteArray &target : m_web.rawTargets())
            if (target.startsWith("http://www.baidu.com/"))
                queries << QString::fromUtf8(target);
        queries.sort();
        return queries;
    }

    fakeweb::FakeWeb m_web;
};

TEST_F(CheckEngineTest, FullCheckGivesExactCellsAndColoursInHarvestOrderAlsoInItsSignals)
{
    CheckEngine engine(settings());
    QList<CheckRow> seen;
    QObject::connect(&engine, &CheckEngine::rowAdded, [&](int row, const QString &lianjie, const QString &name) {
        EXPECT_EQ(row, seen.size());
        seen.append(checkRow({{lianjie}, {name}}));
    });
    QObject::connect(&engine, &CheckEngine::cellSet, [&](int row, Column column, const QString &text, bool red) {
        seen[row][column] = {text, red};
    });
    QSignalSpy progress(&engine, &CheckEngine::progress);
    ASSERT_TRUE(run(engine, "www.home9.com"));
    EXPECT_EQ(engine.rows(), expectedRows());
    EXPECT_EQ(seen, expectedRows());
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.first(), (QList<QVariant>{0, 5}));
    EXPECT_EQ(progress.last(), (QList<QVariant>{5, 5}));
    EXPECT_FALSE(engine.isRunning());
    // One Baidu query a row, the bare site unescaped.
    EXPECT_EQ(baiduQueries(), (QStringList{"http://www.baidu.com/s?wd=site:www.back.com/",
                                           "http://www.baidu.com/s?wd=site:www.blank.com.cn/",
                                           "http://www.baidu.com/s?wd=site:www.nolink.org/",
                                           "http://www.baidu.com/s?wd=site:www.pic.net/",
                                           "http://www.baidu.com/s?wd=site:www.slow.cn/"}));
}

TEST_F(CheckEngineTest, JobsSchemeAndWhiteSpaceAroundTheSiteGiveTheSameRows)
{
    buildWorld(m_web.world(), 40); // friends answer late, so many jobs finish them out of order
    // White space pasted around the address is trimmed once, for the fetch, the own-site test and the back-link
    // needle alike.
    const std::pair<QString, int> runs[] = {{"http://www.home9.com", 1}, {" \twww.home9.com\r\n", 8}, {"  http://www.home9.com  ", 8}};
    for (const auto &[site, jobs] : runs) {
        CheckEngine engine(settings(jobs));
        ASSERT_TRUE(run(engine, site));
        EXPECT_EQ(engine.rows(), expectedRows()) << site.toStdString();
        EXPECT_EQ(engine.site(), site.trimmed());
    }
}

TEST_F(CheckEngineTest, UnreachableEmptyOrFriendlessSiteEndsWithNoRowsAndNoProbes)
{
    m_web.world().set("http://www.gone.com/", answer(200, "", fakeweb::Answer::Fault::Drop));
    m_web.world().setPage("http://www.alone.com/", "<p>no links</p>");
    for (const QString site : {"www.gone.com", "", "www.alone.com"}) {
        CheckEngine engine(settings());
        QSignalSpy unreachable(&engine, &CheckEngine::siteUnreachable);
        ASSERT_TRUE(run(engine, site));
        EXPECT_EQ(unreachable.count(), site == "www.alone.com" ? 0 : 1) << site.toStdString();
        EXPECT_TRUE(engine.rows().isEmpty());
    }
    // Qt may retry a dropped request; nothing else is asked for.
    const QStringList log = m_web.requestLog();
    EXPECT_EQ(QSet<QString>(log.begin(), log.end()), (QSet<QString>{"http://www.gone.com/", "http://www.alone.com/"}));
}

TEST_F(CheckEngineTest, RestartFromASignalCancelsTheFirst)
{
    buildWorld(m_web.world(), 300);
    m_web.world().setPage("http://www.second.com/", anchor("http://www.back.com/", "回链站"));
    m_web.world().setPage("http://www.back.com/", anchor("http://www.second.com/", "第二"), 0);

    CheckEngine engine(settings());
    QSignalSpy finished(&engine, &CheckEngine::finished);
    QSignalSpy started(&engine, &CheckEngine::started);
    bool restarted = false;
    QList<int> totalsAfterRestart;
    QObject::connect(&engine, &CheckEngine::rowAdded, [&](int row, const QString &, const QString &) {
        if (!restarted && row == 4) { // the first check has harvested its rows: restart from the signal
            restarted = true;
            engine.start("www.second.com");
        }
    });
    QObject::connect(&engine, &CheckEngine::progress, [&](int, int total) {
        if (restarted)
            totalsAfterRestart << total;
    });
    engine.start("www.home9.com");
    ASSERT_TRUE(finished.wait(kWaitMs));
    // The first check's friends answer within 300 ms: nothing of them may arrive.
    QSignalSpy late(&engine, &CheckEngine::cellSet);
    EXPECT_FALSE(late.wait(500));
    EXPECT_EQ(started.count(), 2);
    EXPECT_EQ(finished.count(), 1);
    ASSERT_EQ(engine.rows().size(), 1);
    EXPECT_EQ(engine.rows().first()[Column::fanlian], (Cell{"第二", false}));
    EXPECT_EQ(engine.site(), "www.second.com");
    EXPECT_EQ(totalsAfterRestart, (QList<int>{1, 1})); // no word of the first check's five rows
}

} // namespace
} // namespace friendlinks
