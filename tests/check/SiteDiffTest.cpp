#include "check/SiteDiff.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

SavedRow row(const QString &lianjie, const QString &fanlian, const QString &shoulu, const QString &rp)
{
    return {lianjie, fanlian, shoulu, rp, std::nullopt, std::nullopt, std::nullopt};
}

struct ChangeRow : Row {
    SavedRow older;
    SavedRow newer;
    QStringList changes; // expected change names, in order
};

const QString kA = QStringLiteral("http://www.a.com/");

SavedRow withFacts(SavedRow r, std::optional<bool> follow, std::optional<QString> count)
{
    r.follow = follow;
    r.baiduCount = count;
    return r;
}

const ChangeRow kChanges[] = {
    {"same", row(kA, "回链", "约1,000篇", "首页第一"), row(kA, "回链", "约1,000篇", "首页第一"), {}},
    {"backlink_lost", row(kA, "回链", "", ""), row(kA, "没有链接", "", ""), {"backlink_lost"}},
    {"backlink_back", row(kA, "无知错误", "", ""), row(kA, "回链", "", ""), {"backlink_back"}},
    {"red_to_red_is_no_change", row(kA, "访问太慢", "", ""), row(kA, "没有链接", "", ""), {}},
    {"nofollow_added", withFacts(row(kA, "回链", "", ""), true, {}), withFacts(row(kA, "回链", "", ""), false, {}),
     {"nofollow_added"}},
    {"nofollow_removed", withFacts(row(kA, "回链", "", ""), false, {}), withFacts(row(kA, "回链", "", ""), true, {}),
     {"nofollow_removed"}},
    {"follow_unknown_on_one_side", withFacts(row(kA, "回链", "", ""), true, {}), row(kA, "回链", "", ""), {}},
    {"index_drop", row(kA, "回链", "约1,000篇", ""), row(kA, "回链", "约699篇", ""), {"index_drop"}},
    {"index_fall_of_thirty_percent_is_not_a_drop", row(kA, "回链", "1000篇", ""), row(kA, "回链", "700篇", ""), {}},
    {"index_from_the_fact_before_the_cell", withFacts(row(kA, "回链", "约1,000篇", ""), {}, "1000"),
     withFacts(row(kA, "回链", "约1,000篇", ""), {}, "10"), {"index_drop"}},
    {"red_flag_before_the_text", row(kA, "回链", "", ""), [] { SavedRow r = row(kA, "页面错误 HTTP 404", "", ""); r.fanlianRed = true; return r; }(),
     {"backlink_lost"}},
    {"index_unknown_after", row(kA, "回链", "约1,000篇", ""), row(kA, "回链", "", ""), {}},
    {"rank_lost", row(kA, "回链", "", "首页第一"), row(kA, "回链", "", "注意：不在第一"), {"rank_lost"}},
    {"rank_back", row(kA, "回链", "", "注意：不在第一"), row(kA, "回链", "", "首页第一"), {"rank_back"}},
    {"regressions_first", row(kA, "没有链接", "1000", "首页第一"), row(kA, "回链", "10", "注意：不在第一"),
     {"index_drop", "rank_lost", "backlink_back"}},
};

TABLE_TEST(ChangeKinds, AreFoundForOneRow, kChanges)
{
    const ChangeRow &c = GetParam();
    const QList<LinkChange> changes = diffChecks({{"s.com", false, {c.older}}}, {{"s.com", false, {c.newer}}});
    QStringList names;
    for (const LinkChange &change : changes) {
        names << change.change;
        EXPECT_EQ(change.site, "s.com");
        EXPECT_EQ(change.lianjie, kA);
    }
    EXPECT_EQ(names, c.changes);
}

TEST(SiteDiff, RowsPairByAddressWithRepeatsInOrder)
{
    const QString b = "http://www.b.com/";
    const SavedSite older{"s.com", false, {row(kA, "回链", "", ""), row(b, "一", "", ""), row(b, "二", "", "")}};
    const SavedSite newer{"s.com", false, {row(b, "一", "", ""), row(b, "没有链接", "", ""), row(b, "三", "", ""),
                                           row("http://www.c.com/", "c", "", "")}};
    EXPECT_EQ(diffChecks({older}, {newer}),
              (QList<LinkChange>{{"s.com", kA, "removed", kA, ""},
                                 {"s.com", b, "backlink_lost", "二", "没有链接"},
                                 {"s.com", b, "added", "", b},
                                 {"s.com", "http://www.c.com/", "added", "", "http://www.c.com/"}}));
}

TEST(SiteDiff, SitesPairBySiteAndAnUnreachableSiteLosesItsRows)
{
    const SavedSite one{"one.com", false, {row(kA, "回链", "", "")}};
    const SavedSite two{"two.com", false, {row(kA, "回链", "", "")}};
    const SavedSite twoGone{"two.com", true, {}};
    const SavedSite three{"three.com", false, {row(kA, "回链", "", "")}};
    EXPECT_EQ(diffChecks({one, two}, {three, twoGone, one}),
              (QList<LinkChange>{{"two.com", "", "unreachable", "", "网址可能无法访问"}}));
    EXPECT_EQ(diffChecks({twoGone}, {two}), (QList<LinkChange>{{"two.com", "", "reachable", "网址可能无法访问", ""}}));
    EXPECT_TRUE(diffChecks({twoGone}, {twoGone}).isEmpty());
    const SavedSite twoNotFound{"two.com", false, {}, 404};
    EXPECT_EQ(diffChecks({two}, {twoNotFound}), (QList<LinkChange>{{"two.com", "", "unreachable", "", "首页返回 HTTP 404"}}));
    EXPECT_TRUE(isRegression("unreachable"));
    EXPECT_FALSE(isRegression("reachable"));
}

TEST(SiteDiff, ReadsOneSiteAndManySitesAndNamesWhatIsWrong)
{
    // Counts as json numbers (past 2^63 too) or texts, the red list and follow fact when saved, the home's status.
    const auto one = readSavedCheck(R"({"site": "a.com", "home": {"status": 404}, "rows": [
        {"lianjie": "x", "fanlian": "回", "rp": "", "red": ["rp"],
         "facts": {"backlink": {"follow": false}, "baidu": {"count": 12}}},
        {"lianjie": "y", "facts": {"baidu": {"count": "1,230"}}}, {"lianjie": "z", "facts": {"baidu": {"count": null}}},
        {"lianjie": "u", "facts": {"baidu": {"count": 99999999999999999999}}},
        {"lianjie": "v", "facts": {"baidu": {"count": 1e300}}}]})");
    ASSERT_TRUE(std::holds_alternative<QList<SavedSite>>(one));
    const SavedSite &site = std::get<QList<SavedSite>>(one).first();
    ASSERT_EQ(site.rows.size(), 5);
    EXPECT_EQ(site.homeStatus, 404);
    EXPECT_EQ(site.rows[0].fanlian, "回");
    EXPECT_EQ(site.rows[0].follow, false);
    EXPECT_EQ(site.rows[0].fanlianRed, false);
    EXPECT_EQ(site.rows[0].baiduCount, "12");
    EXPECT_EQ(site.rows[1].baiduCount, "1230");
    EXPECT_EQ(site.rows[2].baiduCount, std::nullopt);
    EXPECT_EQ(site.rows[2].fanlianRed, std::nullopt);
    EXPECT_EQ(site.rows[3].baiduCount, "100000000000000000000");
    EXPECT_EQ(site.rows[4].baiduCount->size(), 301);
    EXPECT_TRUE(site.rows[4].baiduCount->startsWith("1000000000"));
    const auto many = readSavedCheck(R"({"sites": [{"site": "a", "rows": []}, {"site": "b", "unreachable": true, "rows": []}]})");
    ASSERT_TRUE(std::holds_alternative<QList<SavedSite>>(many));
    EXPECT_TRUE(std::get<QList<SavedSite>>(many)[1].unreachable);

    const std::pair<const char *, const char *> bad[] = {
        {"{\"site\": ", "not JSON"},
        {"[1, 2]", "no object"},
        {R"({"name": "package", "version": "1.0"})", "not the json output of friendlinks check"},
        {R"({"sites": {}})", "\"sites\" is not a list"},
        {R"({"site": "a", "rows": [{"fanlian": "x"}]})", "no \"lianjie\""},
    };
    for (const auto &[text, reason] : bad) {
        const auto read = readSavedCheck(text);
        ASSERT_TRUE(std::holds_alternative<QString>(read)) << text;
        EXPECT_TRUE(std::get<QString>(read).contains(QString::fromUtf8(reason))) << std::get<QString>(read).toStdString();
    }
}

TEST(SiteDiff, IndexCountReadsTheDigitsOfTheCell)
{
    EXPECT_EQ(indexCount(row(kA, "", "约1,230篇", "")), "1230");
    EXPECT_EQ(indexCount(row(kA, "", "篇", "")), std::nullopt);
    EXPECT_EQ(indexCount(row(kA, "", "约007篇", "")), "7");
    EXPECT_EQ(indexCount(row(kA, "", "约0篇", "")), "0");
    EXPECT_EQ(indexCount(withFacts(row(kA, "", "", ""), {}, "7")), "7");
    EXPECT_TRUE(isIndexDrop("7", "0"));
    EXPECT_FALSE(isIndexDrop("0", "0"));
    EXPECT_TRUE(isIndexDrop("99999999999999999999", "69999999999999999999"));
    EXPECT_FALSE(isIndexDrop("99999999999999999999", "70000000000000000000"));
}

} // namespace
} // namespace friendlinks
