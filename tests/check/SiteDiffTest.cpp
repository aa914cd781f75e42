#include "check/SiteDiff.h"

#include "tests/common/Table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace friendlinks {
namespace {

// A row as a saved check holds it: texts, and the red flag and facts when saved.
struct SavedTexts {
    QString lianjie, fanlian, shoulu, rp;
    std::optional<bool> follow = {};      // facts.backlink.follow
    std::optional<QString> count = {};    // facts.baidu.count
    std::optional<bool> fanlianRed = {};  // "fanlian" in "red"; no "red" when unknown
    QString where = {};                   // facts.backlink.where (modern)
    QString hiddenBy = {};                // facts.backlink.hidden_by (modern)
};

SavedTexts row(const QString &lianjie, const QString &fanlian, const QString &shoulu, const QString &rp)
{
    return {lianjie, fanlian, shoulu, rp};
}

QJsonObject rowJson(const SavedTexts &r)
{
    QJsonObject row{{"lianjie", r.lianjie}, {"fanlian", r.fanlian}, {"shoulu", r.shoulu}, {"rp", r.rp}};
    if (r.fanlianRed)
        row["red"] = *r.fanlianRed ? QJsonArray{"fanlian"} : QJsonArray{};
    QJsonObject facts;
    QJsonObject backlink;
    if (r.follow)
        backlink["follow"] = *r.follow;
    if (!r.where.isEmpty())
        backlink["where"] = r.where;
    if (!r.hiddenBy.isEmpty())
        backlink["hidden_by"] = r.hiddenBy;
    if (!backlink.isEmpty())
        facts["backlink"] = backlink;
    if (r.count)
        facts["baidu"] = QJsonObject{{"count", *r.count}};
    if (!facts.isEmpty())
        row["facts"] = facts;
    return row;
}

// The site as the codec reads it back from a saved check of these rows.
SiteRows site(const QString &name, const QList<SavedTexts> &rows, bool unreachable = false, int homeStatus = 0)
{
    QJsonArray list;
    for (const SavedTexts &r : rows)
        list.append(rowJson(r));
    QJsonObject object{{"site", name}, {"rows", list}, {"home", QJsonObject{{"status", homeStatus}}}};
    if (unreachable)
        object["unreachable"] = true;
    const auto read = readCheckJson(QJsonDocument(object).toJson());
    EXPECT_TRUE(std::holds_alternative<QList<SiteRows>>(read));
    return std::get<QList<SiteRows>>(read).value(0);
}

struct ChangeRow : Row {
    SavedTexts older;
    SavedTexts newer;
    QStringList changes; // expected change names, in order
};

const QString kA = QStringLiteral("http://www.a.com/");

SavedTexts withFacts(SavedTexts r, std::optional<bool> follow, std::optional<QString> count)
{
    r.follow = follow;
    r.count = count;
    return r;
}

// A modern row whose link back was found where, red when no spider follows it there.
SavedTexts modern(const QString &fanlian, const QString &where, const QString &hiddenBy = {})
{
    SavedTexts r = row(kA, fanlian, "", "");
    r.fanlianRed = where != "page" || !hiddenBy.isEmpty();
    r.where = where;
    r.hiddenBy = hiddenBy;
    return r;
}

const ChangeRow kChanges[] = {
    {"script_link", modern("我的站", "page"), modern("脚本写入的链接", "script"), {"backlink_lost", "script_link"}},
    {"frame_link", modern("我的站", "page"), modern("框架页里的链接", "frame"), {"backlink_lost", "frame_link"}},
    {"css_hidden", modern("我的站", "page"), modern("隐藏的链接", "page", "display:none (div.flink)"),
     {"backlink_lost", "css_hidden"}},
    {"still_in_script_is_no_change", modern("脚本写入的链接", "script"), modern("脚本写入的链接", "script"), {}},
    {"out_of_the_frame_is_a_link_back", modern("框架页里的链接", "frame"), modern("我的站", "page"), {"backlink_back"}},
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
    {"red_flag_before_the_text", row(kA, "回链", "", ""), [] { SavedTexts r = row(kA, "页面错误 HTTP 404", "", ""); r.fanlianRed = true; return r; }(),
     {"backlink_lost"}},
    {"index_unknown_after", row(kA, "回链", "约1,000篇", ""), row(kA, "回链", "", ""), {}},
    {"rank_lost", row(kA, "回链", "", "首页第一"), row(kA, "回链", "", "注意：不在第一"), {"rank_lost"}},
    {"rank_back", row(kA, "回链", "", "注意：不在第一"), row(kA, "回链", "", "首页第一"), {"rank_back"}},
    {"regressions_first", row(kA, "没有链接", "1000", "首页第一"), row(kA, "回链", "10", "注意：不在第一"),
     {"index_drop", "rank_lost", "backlink_back"}},
    {"a_row_reads_link_then_follow_then_index_then_rank", withFacts(row(kA, "回链", "", "首页第一"), true, "1000"),
     withFacts(row(kA, "回链", "", "注意：不在第一"), false, "10"), {"nofollow_added", "index_drop", "rank_lost"}},
};

TABLE_TEST(ChangeKinds, AreFoundForOneRow, kChanges)
{
    const ChangeRow &c = GetParam();
    const QList<LinkChange> changes = diffChecks({site("s.com", {c.older})}, {site("s.com", {c.newer})});
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
    const SiteRows older = site("s.com", {row(kA, "回链", "", ""), row(b, "一", "", ""), row(b, "二", "", "")});
    const SiteRows newer = site("s.com", {row(b, "一", "", ""), row(b, "没有链接", "", ""), row(b, "三", "", ""),
                                          row("http://www.c.com/", "c", "", "")});
    EXPECT_EQ(diffChecks({older}, {newer}),
              (QList<LinkChange>{{"s.com", kA, "removed", kA, ""},
                                 {"s.com", b, "backlink_lost", "二", "没有链接"},
                                 {"s.com", b, "added", "", b},
                                 {"s.com", "http://www.c.com/", "added", "", "http://www.c.com/"}}));
}

TEST(SiteDiff, SitesPairBySiteAndAnUnreachableSiteLosesItsRows)
{
    const SiteRows one = site("one.com", {row(kA, "回链", "", "")});
    const SiteRows two = site("two.com", {row(kA, "回链", "", "")});
    const SiteRows twoGone = site("two.com", {}, true);
    const SiteRows three = site("three.com", {row(kA, "回链", "", "")});
    EXPECT_EQ(diffChecks({one, two}, {three, twoGone, one}),
              (QList<LinkChange>{{"two.com", "", "unreachable", "", "网址可能无法访问"}}));
    EXPECT_EQ(diffChecks({twoGone}, {two}), (QList<LinkChange>{{"two.com", "", "reachable", "网址可能无法访问", ""}}));
    EXPECT_TRUE(diffChecks({twoGone}, {twoGone}).isEmpty());
    const SiteRows twoNotFound = site("two.com", {}, false, 404);
    EXPECT_EQ(diffChecks({two}, {twoNotFound}), (QList<LinkChange>{{"two.com", "", "unreachable", "", "首页返回 HTTP 404"}}));
    EXPECT_TRUE(isRegression("unreachable"));
    for (const char *cheat : {"script_link", "frame_link", "css_hidden"})
        EXPECT_TRUE(isRegression(QString::fromLatin1(cheat))) << cheat;
    EXPECT_FALSE(isRegression("reachable"));
}

// Checks saved by a version that wrote texts only: no "mode", "red", facts or "home".
const char kOlderVersion[] = R"({"sites": [
{"site": "www.old.com", "rows": [
  {"lianjie": "http://www.a.com/", "guanjianzi": "甲\r\n", "fanlian": "甲之家", "shoulu": "约1,000篇", "kuaizhao": "3K 2019-1-2", "rp": "首页第一"},
  {"lianjie": "http://www.b.com/", "guanjianzi": "乙\r\n", "fanlian": "访问太慢", "shoulu": "", "kuaizhao": "", "rp": ""},
  {"lianjie": "http://www.c.com/", "guanjianzi": "丙\r\n", "fanlian": "无知错误", "shoulu": "约12篇", "kuaizhao": "1K 2019-1-2", "rp": "注意：不在第一"},
  {"lianjie": "http://www.d.com/", "guanjianzi": "丁\r\n", "fanlian": "图片链接", "shoulu": "约30篇", "kuaizhao": "1K 2019-1-2", "rp": "首页第一"}
]},
{"site": "www.gone.com", "rows": [
  {"lianjie": "http://www.e.com/", "guanjianzi": "戊\r\n", "fanlian": "戊", "shoulu": "", "kuaizhao": "", "rp": ""}
]}
]})";
const char kOlderVersionLater[] = R"({"sites": [
{"site": "www.old.com", "rows": [
  {"lianjie": "http://www.a.com/", "guanjianzi": "甲\r\n", "fanlian": "没有链接", "shoulu": "约699篇", "kuaizhao": "3K 2019-2-2", "rp": "注意：不在第一"},
  {"lianjie": "http://www.b.com/", "guanjianzi": "乙\r\n", "fanlian": "乙之家", "shoulu": "", "kuaizhao": "", "rp": ""},
  {"lianjie": "http://www.c.com/", "guanjianzi": "丙\r\n", "fanlian": "没有链接", "shoulu": "约0篇", "kuaizhao": "1K 2019-2-2", "rp": "首页第一"},
  {"lianjie": "http://www.f.com/", "guanjianzi": "己\r\n", "fanlian": "己", "shoulu": "", "kuaizhao": "", "rp": ""}
]},
{"site": "www.gone.com", "unreachable": true, "rows": []}
]})";

TEST(SiteDiff, ChecksOfAnOlderVersionWithTextsOnlyDiffAsTheyDid)
{
    const auto older = readCheckJson(kOlderVersion);
    const auto newer = readCheckJson(kOlderVersionLater);
    ASSERT_TRUE(std::holds_alternative<QList<SiteRows>>(older) && std::holds_alternative<QList<SiteRows>>(newer));
    EXPECT_EQ(diffChecks(std::get<QList<SiteRows>>(older), std::get<QList<SiteRows>>(newer)),
              (QList<LinkChange>{
                  {"www.old.com", "http://www.a.com/", "backlink_lost", "甲之家", "没有链接"},
                  {"www.old.com", "http://www.a.com/", "index_drop", "1000", "699"},
                  {"www.old.com", "http://www.a.com/", "rank_lost", "首页第一", "注意：不在第一"},
                  {"www.old.com", "http://www.c.com/", "index_drop", "12", "0"},
                  {"www.old.com", "http://www.d.com/", "removed", "http://www.d.com/", ""},
                  {"www.old.com", "http://www.b.com/", "backlink_back", "访问太慢", "乙之家"},
                  {"www.old.com", "http://www.c.com/", "rank_back", "注意：不在第一", "首页第一"},
                  {"www.old.com", "http://www.f.com/", "added", "", "http://www.f.com/"},
                  {"www.gone.com", "", "unreachable", "", "网址可能无法访问"},
              }));
}

TEST(SiteDiff, IndexDropIsInWholeNumbersUpToTheLargestCount)
{
    EXPECT_TRUE(isIndexDrop(7, 0));
    EXPECT_FALSE(isIndexDrop(0, 0));
    EXPECT_FALSE(isIndexDrop(1000, 700));
    EXPECT_TRUE(isIndexDrop(1000, 699));
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    EXPECT_TRUE(isIndexDrop(most, 6456360425798343064)); // newer × 10 < older × 7, by one
    EXPECT_FALSE(isIndexDrop(most, 6456360425798343065));
}

} // namespace
} // namespace friendlinks
