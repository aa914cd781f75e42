// Which anchors of a friend's page without a link back are jump links, or worth one request to find out.
#include "probes/JumpAnchors.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

const QUrl kOurSite(QStringLiteral("http://www.me.com/"));
const QString kFriendPage = QStringLiteral("http://www.friend.com/");

PageAnchor link(const QString &address, const QString &text, const QString &title = {})
{
    PageAnchor anchor;
    anchor.href = address;
    anchor.address = address;
    anchor.text = text;
    anchor.title = title;
    return anchor;
}

struct ScanRow : Row {
    QList<PageAnchor> anchors;
    QString byQuery;       // the jump address found in a query; empty: none
    QStringList toAsk;     // the addresses to ask, in order
};

const ScanRow kScans[] = {
    {"query_jump_decides_at_once",
     {link("http://www.friend.com/a", "me.com"), link("http://www.friend.com/go?url=http://me.com/", "好站")},
     "http://www.friend.com/go?url=http://me.com/", {}},
    {"text_names_us", {link("http://www.friend.com/link/1", "www.me.com")}, {}, {"http://www.friend.com/link/1"}},
    {"title_names_us", {link("http://www.friend.com/link/2", "好站", "me.com 的主页")}, {}, {"http://www.friend.com/link/2"}},
    {"at_most_two_asked",
     {link("http://friend.com/1", "me.com"), link("http://www.friend.com/2", "me.com"),
      link("http://www.friend.com/3", "me.com")},
     {}, {"http://friend.com/1", "http://www.friend.com/2"}},
    {"words_not_naming_us", {link("http://www.friend.com/x", "ame.com"), link("http://www.friend.com/y", "me.com.cn")},
     {}, {}},
    {"third_site_not_asked", {link("http://www.other.com/go", "me.com")}, {}, {}},
    {"not_an_address", {link("", "me.com")}, {}, {}},
};

TABLE_TEST(JumpAnchorScan, QueryJumpsAreFoundAndNamingAnchorsOnTheFriendsHostAsked, kScans)
{
    const ScanRow &row = GetParam();
    const JumpScan scan = scanJumpAnchors(row.anchors, kFriendPage, kOurSite);
    EXPECT_EQ(scan.byQuery ? scan.byQuery->anchor.address : QString(), row.byQuery);
    if (scan.byQuery) {
        EXPECT_EQ(scan.byQuery->target, "http://me.com/");
    }
    QStringList asked;
    for (const PageAnchor &anchor : scan.toAsk)
        asked << anchor.address;
    EXPECT_EQ(asked, row.toAsk);
}

struct RedirectRow : Row {
    int status;
    QString location;
    bool toUs;
};

const RedirectRow kRedirects[] = {
    {"found_302", 302, "http://www.me.com/", true},
    {"moved_301_https_no_www", 301, "https://me.com/?from=friend", true},
    {"not_a_redirect", 200, "http://www.me.com/", false},
    {"to_a_third_site", 302, "http://www.else.com/?u=www.me.com", false},
    {"to_a_longer_host", 302, "http://www.me.com.cn/", false},
    {"not_http", 302, "ftp://www.me.com/", false},
    {"no_location", 302, "", false},
};

TABLE_TEST(JumpRedirect, OnlyARedirectToOurHostIsAJump, kRedirects)
{
    const RedirectRow &row = GetParam();
    EXPECT_EQ(redirectToSite(row.status, row.location, kOurSite).has_value(), row.toUs);
}

} // namespace
} // namespace friendlinks
