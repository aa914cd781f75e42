// diff's changes for the cheats a partner may start playing between two checks.
#include "check/SiteDiff.h"

#include "tests/common/Table.h"

#include <QJsonDocument>

namespace friendlinks {
namespace {

// One modern row as a check writes it: its back-link cell, whether red, and its facts object's members.
QString rowJson(const QString &fanlian, bool red, const QString &facts)
{
    return QStringLiteral(R"({"lianjie": "http://www.a.com/", "fanlian": "%1", "red": [%2], "facts": {%3}})")
        .arg(fanlian, red ? QStringLiteral("\"fanlian\"") : QString(), facts);
}

SiteRows site(const QString &row)
{
    const QString json = QStringLiteral(R"({"site": "me.com", "mode": "modern", "home": {"status": 200}, "rows": [%1]})").arg(row);
    const auto read = readCheckJson(json.toUtf8());
    EXPECT_TRUE(std::holds_alternative<QList<SiteRows>>(read)) << json.toStdString();
    return std::get<QList<SiteRows>>(read).value(0);
}

const QString kLink = QStringLiteral(R"("backlink": {"href": "http://me.com/", "rel": [], "follow": true})");
const QString kAllowed = QStringLiteral(R"("robots": {"baiduspider_allowed": true, "rule": null})");
const QString kBlocked = QStringLiteral(R"("robots": {"baiduspider_allowed": false, "rule": "Disallow: /"})");
const QString kSpiderSees = QStringLiteral(R"("spider_view": {"status": 200, "backlink": true})");
const QString kSpiderMisses = QStringLiteral(R"("spider_view": {"status": 200, "backlink": false})");
const QString kJump = QStringLiteral(
    R"("backlink": {"href": "/go?u=me.com", "rel": [], "follow": true, "url": "http://me.com", "via": "http://www.a.com/go?u=me.com"})");

struct CheatChange : Row {
    QString older;
    QString newer;
    QStringList changes;
};

const CheatChange kCheats[] = {
    {"robots_blocked", rowJson("回链", false, kLink + ", " + kAllowed),
     rowJson("robots.txt 禁止百度抓取", true, kLink + ", " + kBlocked), {"backlink_lost", "robots_blocked"}},
    {"robots_unknown_before_is_no_change",
     rowJson("回链", false, kLink + R"(, "robots": {"baiduspider_allowed": null, "rule": null})"),
     rowJson("robots.txt 禁止百度抓取", true, kLink + ", " + kBlocked), {"backlink_lost"}},
    {"robots_still_blocked", rowJson("没有链接", true, kBlocked), rowJson("没有链接", true, kBlocked), {}},
    {"spider_hidden", rowJson("回链", false, kLink + ", " + kSpiderSees),
     rowJson("对百度蜘蛛隐藏", true, kLink + ", " + kSpiderMisses), {"backlink_lost", "spider_hidden"}},
    {"spider_not_asked_before", rowJson("回链", false, kLink),
     rowJson("对百度蜘蛛隐藏", true, kLink + ", " + kSpiderMisses), {"backlink_lost"}},
    {"jump_link", rowJson("回链", false, kLink), rowJson("跳转链接", true, kJump), {"backlink_lost", "jump_link"}},
    {"still_a_jump", rowJson("跳转链接", true, kJump), rowJson("跳转链接", true, kJump), {}},
};

TABLE_TEST(CheatsDiff, ACheatBegunIsAChangeForTheWorse, kCheats)
{
    const CheatChange &row = GetParam();
    QStringList changes;
    for (const LinkChange &change : diffChecks({site(row.older)}, {site(row.newer)})) {
        changes << change.change;
        EXPECT_TRUE(isRegression(change.change)) << change.change.toStdString();
    }
    EXPECT_EQ(changes, row.changes);
}

} // namespace
} // namespace friendlinks
