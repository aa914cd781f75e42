// The json of a check read back: rows and outcome as the check had them, and the same bytes written again.
#include "check/JsonFormat.h"
#include "check/JsonRead.h"

#include "check/BatchFormats.h"
#include "check/CheckEngine.h"
#include "check/CheckRules.h"
#include "probes/BaiduProbe.h"
#include "tests/common/CheckRun.h"
#include "tests/common/FetchWait.h"
#include "tests/common/RowPrinters.h"

#include <QSignalSpy>

namespace friendlinks {
namespace {

QList<SiteRows> read(const QByteArray &json)
{
    auto sites = readCheckJson(json);
    if (const QString *problem = std::get_if<QString>(&sites))
        ADD_FAILURE() << problem->toStdString();
    return std::get_if<QList<SiteRows>>(&sites) ? std::get<QList<SiteRows>>(sites) : QList<SiteRows>();
}

// What of an outcome the json holds.
auto saved(const SiteOutcome &o)
{
    return std::tuple(o.site, o.modern, o.reachable, o.home.kind, o.home.status, o.home.finalUrl, o.home.elapsedMs,
                      o.home.tlsError, o.home.failure, o.skipped);
}

ResultRow resultRow(const QList<Cell> &cells, RowFacts facts)
{
    ResultRow row;
    for (qsizetype c = 0; c < cells.size(); ++c)
        row.cells.cells[size_t(c)] = cells[c];
    row.facts = std::move(facts);
    return row;
}

RowFacts pageRead(int status, std::optional<BackLinkFacts> backlink, BackLinkVerdict verdict)
{
    RowFacts facts;
    facts.status = status;
    facts.finalUrl = QStringLiteral("http://www.friend.com/");
    facts.ms = 42;
    facts.backlink = std::move(backlink);
    facts.pageNofollow = false;
    facts.outbound = 3;
    facts.backlinkVerdict = verdict;
    return facts;
}

RowFacts withBaidu(RowFacts facts, BaiduState state, std::optional<QString> count, IndexPages pages, RankVerdict rank)
{
    facts.baidu = BaiduFacts{state, std::move(count), pages, rank, {}};
    return facts;
}

const BackLinkFacts kFollowed{"http://www.home9.com/", {}, true};
const Cell kSnapshot{"3K 2026-1-2\r\n"};

// Rows as a classic check writes them, each with the typed values behind its cells.
QList<ResultRow> classicRows()
{
    RowFacts linked = withBaidu(pageRead(200, kFollowed, BackLinkVerdict::Linked), BaiduState::Ok, "1,230", 1230,
                                RankVerdict::HomeFirst);
    linked.ourLink = BackLinkFacts{"http://www.back.com/", {"nofollow", "ugc"}, false};
    RowFacts slow = withBaidu(pageRead(0, {}, BackLinkVerdict::NotRead), BaiduState::Ok, {}, 3, RankVerdict::NotFirst);
    slow.pageNofollow.reset();
    slow.outbound.reset();
    slow.tlsError = QStringLiteral("The certificate has expired");
    return {
        resultRow({{"http://www.back.com/"}, {"回链站\r\n"}, {"首页之家"}, {"约1,230篇"}, kSnapshot, {kHomePageFirst}}, linked),
        resultRow({{"http://www.pic.net/"}, {"图片站\r\n"}, {kImageConnection}, {"约86篇"}, kSnapshot, {kNotFirst, true}},
                  withBaidu(pageRead(200, kFollowed, BackLinkVerdict::Linked), BaiduState::Ok, {}, 86,
                            RankVerdict::NotFirst)),
        resultRow({{"http://www.nolink.org/"}, {"不回链\r\n"}, {kNoLink, true}},
                  withBaidu(pageRead(200, {}, BackLinkVerdict::NoLink), BaiduState::NoResult, {}, {}, {})),
        resultRow({{"http://www.slow.cn/"}, {"慢站\r\n"}, {kTooSlow, true}, {"3篇"}, kSnapshot, {kNotFirst, true}}, slow),
        resultRow({{"http://www.blank.com.cn/"}, {"空站\r\n"}, {kEmptyBody, true}},
                  withBaidu(pageRead(200, {}, BackLinkVerdict::NotRead), BaiduState::Blocked, {}, {}, {})),
        resultRow({{"http://www.late.com/"}, {"未查\r\n"}}, {}), // not probed yet
    };
}

// Rows as a modern check writes them.
QList<ResultRow> modernRows()
{
    const BackLinkFacts resolved{"/", {}, true, "https://www.home9.com/"};
    const BackLinkFacts sponsored{"https://home9.com", {"sponsored"}, false, "https://home9.com/"};
    const BackLinkFacts jump{"/go?u=home9.com", {}, true, "https://home9.com/", "https://www.jump.com/go?u=home9.com"};
    RowFacts jumped = pageRead(200, jump, BackLinkVerdict::PassesNothing);
    jumped.robots = RobotsFacts{false, QStringLiteral("Disallow: /")};
    jumped.spiderView = SpiderViewFacts{403, false};
    RowFacts unsure = pageRead(200, resolved, BackLinkVerdict::Linked);
    unsure.robots = RobotsFacts{std::nullopt, {}};
    unsure.spiderView = SpiderViewFacts{0, std::nullopt};
    return {
        resultRow({{"https://www.jump.com/"}, {"跳转"}, {"跳转链接", true}}, jumped),
        resultRow({{"https://www.unsure.com/"}, {"未知"}, {"首页之家"}}, unsure),
        resultRow({{"https://www.back.com/"}, {"回链站"}, {"首页之家"}, {"1,230篇"}, {}, {kHomePageFirst}},
                  withBaidu(pageRead(200, resolved, BackLinkVerdict::Linked), BaiduState::Ok, "1,230", 1230,
                            RankVerdict::HomeFirst)),
        resultRow({{"https://www.ad.com/"}, {"广告"}, {"赞助", true}, {"0篇", true}},
                  withBaidu(pageRead(200, sponsored, BackLinkVerdict::PassesNothing), BaiduState::Ok, "0", 0, {})),
        resultRow({{"https://www.nf.com/"}, {"错页"}, {"页面错误 HTTP 404", true}, {"", true}},
                  withBaidu(pageRead(404, {}, BackLinkVerdict::NotRead), BaiduState::UnknownPage, {}, {}, {})),
        resultRow({{"https://www.none.com/"}, {"不回"}, {kNoLink, true}}, pageRead(200, {}, BackLinkVerdict::NoLink)),
        resultRow({{"https://www.refused.com/"}, {"拒绝"}, {"连接被拒绝", true}}, pageRead(0, {}, BackLinkVerdict::NotRead)),
        // Found where no spider follows it: written by script, hidden by the page's style.
        resultRow({{"https://www.js.com/"}, {"脚本"}, {"脚本写入的链接", true}},
                  pageRead(200, BackLinkFacts{"//home9.com/", {}, true, "https://home9.com/", "script"},
                           BackLinkVerdict::PassesNothing)),
        resultRow({{"https://www.css.com/"}, {"样式"}, {"隐藏的链接", true}},
                  pageRead(200, BackLinkFacts{"/", {}, true, "https://www.home9.com/", "page", "display:none (div.flink)"},
                           BackLinkVerdict::PassesNothing)),
    };
}

TEST(JsonCodec, ReadsBackTheRowsAndOutcomeItWrote)
{
    SiteOutcome classic;
    classic.site = "www.home9.com";
    classic.home.kind = FetchResult::Kind::Page;
    classic.home.status = 200;
    classic.home.finalUrl = "http://www.home9.com/";
    classic.home.elapsedMs = 31;
    classic.skipped.add(SkipReason::InnerPage, 2);
    classic.skipped.add(SkipReason::Https);
    SiteOutcome modern = classic;
    modern.modern = true;
    modern.home.tlsError = "self-signed";
    SiteOutcome gone;
    gone.site = "www.gone.com";
    gone.reachable = false;
    gone.home.kind = FetchResult::Kind::SiteUnreachable;
    gone.home.failure = FetchResult::Failure::ConnectionRefused;
    const std::pair<SiteOutcome, QList<ResultRow>> checks[] = {{classic, classicRows()}, {modern, modernRows()}, {gone, {}}};
    for (const auto &[outcome, rows] : checks) {
        const QList<SiteRows> sites = read(formatSiteJson(outcome, rows));
        ASSERT_EQ(sites.size(), 1);
        EXPECT_EQ(saved(sites[0].outcome), saved(outcome)) << outcome.site.toStdString();
        EXPECT_EQ(sites[0].rows, rows) << outcome.site.toStdString();
    }
}

class JsonCodecCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        fakeweb::World &world = m_web.world();
        world.setPage("http://www.home9.com/", anchor("http://www.back.com/", "回链站") + anchor("http://www.pic.net/", "图片站")
                          + anchor("http://www.nolink.org/", "不回链") + anchor("http://www.blank.com.cn/", "空站"));
        world.setPage("http://www.back.com/", anchor("http://www.home9.com/", "首页之家"));
        world.setPage("http://www.pic.net/", anchor("http://www.home9.com/", "<img src=logo.gif>"));
        world.setPage("http://www.nolink.org/", anchor("http://www.else.com/", "别处"));
        world.set("http://www.blank.com.cn/", answer(200, "", {}, {}));
        world.set("http://www.gone.com/", answer(200, "", fakeweb::Answer::Fault::Drop));
        world.setPage(baiduQueryUrl(kDefaultBaiduHost, "http://www.back.com/"), baiduResultPage("约1,230", "www.back.com/"));
        world.setPage(baiduQueryUrl(kDefaultBaiduHost, "http://www.pic.net/"), baiduResultPage("约86", "www.pic.net/a.html"));
    }

    // The json of one check of site.
    QByteArray check(const QString &site, bool modern)
    {
        CheckSettings settings;
        settings.proxy = m_web.proxy();
        settings.modern = modern;
        CheckEngine engine(settings);
        EXPECT_TRUE(checkToEnd(engine, site));
        m_checkedRows = engine.results()->rows();
        return formatJson(*engine.results());
    }

    fakeweb::FakeWeb m_web;
    QList<ResultRow> m_checkedRows; // the rows of the last check(), as the engine wrote them
};

TEST_F(JsonCodecCheckTest, ARealCheckReadBackAndWrittenAgainIsByteIdentical)
{
    QList<QByteArray> objects;
    for (const bool modern : {false, true})
        for (const QString site : {"www.home9.com", "www.gone.com"})
            objects << check(site, modern);
    for (const QByteArray &json : objects) {
        const QList<SiteRows> sites = read(json);
        ASSERT_EQ(sites.size(), 1);
        EXPECT_EQ(formatSiteJson(sites[0].outcome, sites[0].rows), json);
    }
    // A batch, both ways it is written.
    QList<QByteArray> again;
    for (const SiteRows &site : read(joinJsonSites(objects)))
        again << formatSiteJson(site.outcome, site.rows);
    EXPECT_EQ(joinJsonSites(again), joinJsonSites(objects));
    QByteArray lines;
    for (const QByteArray &json : objects)
        lines += jsonLine(json);
    EXPECT_EQ(read(lines).size(), 4);
}

TEST_F(JsonCodecCheckTest, ARealCheckReadsBackIntoTheRowsTheEngineWrote)
{
    const auto typed = [](const ResultRow &row) {
        const BaiduFacts baidu = row.facts.baidu.value_or(BaiduFacts{});
        return std::tuple(row.facts.backlinkVerdict, baidu.pages, baidu.rank);
    };
    using V = BackLinkVerdict;
    using R = RankVerdict;
    // Linked, an image link, no link back, an empty answer; in either mode.
    const QList<std::tuple<BackLinkVerdict, IndexPages, RankVerdict>> expected = {
        {V::Linked, 1230, R::HomeFirst}, {V::Linked, 86, R::NotFirst}, {V::NoLink, {}, R::Unknown}, {V::NotRead, {}, R::Unknown}};
    for (const bool modern : {false, true}) {
        const QList<SiteRows> sites = read(check("www.home9.com", modern));
        ASSERT_EQ(sites.size(), 1);
        EXPECT_EQ(sites[0].rows, m_checkedRows) << "typed values included: " << (modern ? "modern" : "classic");
        QList<std::tuple<BackLinkVerdict, IndexPages, RankVerdict>> found;
        for (const ResultRow &row : m_checkedRows)
            found << typed(row);
        EXPECT_EQ(found, expected) << (modern ? "modern" : "classic");
    }
}

TEST(JsonCodec, ReadsWhatOlderVersionsWroteAndNamesWhatIsWrong)
{
    // Counts as json numbers or texts, the red list and follow fact when saved, the home's status.
    const QList<SiteRows> one = read(R"({"site": "a.com", "home": {"status": 404}, "rows": [
        {"lianjie": "x", "fanlian": "回", "rp": "注意：不在第一", "red": ["fanlian"],
         "facts": {"backlink": {"follow": false}, "baidu": {"count": 12}}},
        {"lianjie": "y", "shoulu": "约5篇", "facts": {"baidu": {"count": "1,230"}}},
        {"lianjie": "z", "shoulu": "约5篇", "rp": "注意：不在第一", "facts": {"baidu": {"count": null}}},
        {"lianjie": "u", "facts": {"baidu": {"count": 99999999999999999999}}}]})");
    ASSERT_EQ(one.size(), 1);
    const SiteRows &site = one[0];
    ASSERT_EQ(site.rows.size(), 4);
    EXPECT_EQ(site.outcome.home.status, 404);
    EXPECT_FALSE(site.modeSaved);
    EXPECT_EQ(site.rows[0].facts.backlink->follow, false);
    EXPECT_EQ(site.rows[0].facts.backlinkVerdict, BackLinkVerdict::NotRead);
    EXPECT_FALSE(site.rows[0].cells[Column::rp].red) << "a saved red list is taken as it is";
    EXPECT_EQ(site.rows[0].facts.baidu->pages, 12);
    EXPECT_EQ(site.rows[1].facts.baidu->pages, 1230) << "today's count before the cell's";
    EXPECT_EQ(site.rows[2].facts.baidu->pages, 5);
    EXPECT_TRUE(site.rows[2].cells[Column::rp].red) << "no red list: red by the classic rules";
    EXPECT_EQ(site.rows[2].facts.baidu->rank, RankVerdict::NotFirst);
    EXPECT_EQ(site.rows[3].facts.baidu->pages, std::nullopt) << "past the largest count";
    EXPECT_EQ(read(R"({"sites": [{"site": "a", "rows": []}, {"site": "b", "unreachable": true, "rows": []}]})")[1].outcome.reachable,
              false);

    const std::pair<const char *, const char *> bad[] = {
        {"{\"site\": ", "not JSON"},
        {"[1, 2]", "no object"},
        {R"({"name": "package", "version": "1.0"})", "not the json output of friendlinks check"},
        {R"({"sites": {}})", "\"sites\" is not a list"},
        {R"({"site": "a", "rows": [{"fanlian": "x"}]})", "no \"lianjie\""},
    };
    for (const auto &[text, reason] : bad) {
        const auto sites = readCheckJson(text);
        ASSERT_TRUE(std::holds_alternative<QString>(sites)) << text;
        EXPECT_TRUE(std::get<QString>(sites).contains(QString::fromUtf8(reason))) << std::get<QString>(sites).toStdString();
    }
}

} // namespace
} // namespace friendlinks
