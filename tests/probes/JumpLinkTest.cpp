// Jump addresses of a friend's redirect script, and anchors whose words name our site.
#include "probes/JumpLink.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

constexpr const char *kNo = nullptr; // a row's target when the anchor is no jump link

struct JumpRow : Row {
    const char *anchor;
    const char *friendHost;
    const char *ourSite;
    const char *target; // kNo: no jump link
    const char *parameter = "";
    JumpHost on = JumpHost::SameHost;
};

const JumpRow kJumps[] = {
    {"url_parameter", "http://www.friend.com/go.php?url=http://www.me.com/", "www.friend.com", "http://www.me.com/",
     "http://www.me.com/", "url"},
    {"percent_encoded", "http://www.friend.com/go.php?url=http%3A%2F%2Fwww.me.com%2F", "www.friend.com",
     "http://www.me.com/", "http://www.me.com/", "url"},
    {"encoded_twice", "http://www.friend.com/go.php?u=http%253A%252F%252Fwww.me.com%252F", "www.friend.com",
     "http://www.me.com/", "http://www.me.com/", "u"},
    {"encoded_three_times", "http://www.friend.com/go?u=http%25253A%25252F%25252Fme.com", "www.friend.com",
     "http://me.com/", "http://me.com", "u"},
    {"without_scheme", "http://www.friend.com/out.asp?to=www.me.com", "www.friend.com", "http://www.me.com/",
     "www.me.com", "to"},
    {"scheme_relative", "http://www.friend.com/out?to=//me.com/", "www.friend.com", "http://www.me.com/", "//me.com/",
     "to"},
    {"www_left_out_on_our_side", "http://www.friend.com/go.php?url=http://me.com/", "www.friend.com",
     "http://www.me.com/", "http://me.com/", "url"},
    {"www_left_out_on_their_side", "http://www.friend.com/go.php?url=http://www.me.com/", "www.friend.com",
     "http://me.com/", "http://www.me.com/", "url"},
    {"host_letter_case", "http://WWW.Friend.COM/go.php?url=HTTP://WWW.ME.COM/", "www.friend.com", "http://me.com/",
     "HTTP://WWW.ME.COM/", "url"},
    {"https_target", "http://www.friend.com/go.php?url=https://me.com/a", "www.friend.com", "http://me.com/",
     "https://me.com/a", "url"},
    {"later_parameter", "http://www.friend.com/link.php?id=7&from=home&target=http://me.com/", "www.friend.com",
     "http://me.com/", "http://me.com/", "target"},
    {"bare_query", "http://www.friend.com/go.php?http://www.me.com/", "www.friend.com", "http://www.me.com/",
     "http://www.me.com/", ""},
    {"bare_query_with_its_own_query", "http://www.friend.com/go.php?http://me.com/?a=1&b=2", "www.friend.com",
     "http://me.com/", "http://me.com/?a=1&b=2", ""},
    {"base64_value", "http://www.friend.com/go.php?url=aHR0cDovL3d3dy5tZS5jb20v", "www.friend.com",
     "http://www.me.com/", "http://www.me.com/", "url"},
    {"plus_in_a_form_value", "http://www.friend.com/go.php?url=+http://me.com/", "www.friend.com", "http://me.com/",
     "http://me.com/", "url"},
    {"encoded_parameter_name", "http://www.friend.com/go.php?%72url=me.com", "www.friend.com", "http://me.com/",
     "me.com", "rurl"},
    {"friend_host_with_final_dot", "http://www.friend.com./go?u=me.com", "www.friend.com", "http://me.com/", "me.com",
     "u"},
    {"same_registrable_domain", "http://go.friend.com/?u=http://me.com/", "www.friend.com", "http://me.com/",
     "http://me.com/", "u", JumpHost::SameSite},
    {"bare_friend_domain", "http://friend.com/go?u=me.com", "www.friend.com", "http://me.com/", "me.com", "u",
     JumpHost::SameSite},
    {"two_level_suffix", "http://go.friend.com.cn/?u=me.com", "www.friend.com.cn", "http://me.com/", "me.com", "u",
     JumpHost::SameSite},
    {"idn_site", "http://www.friend.com/go?u=http://www.%E4%BE%8B%E5%AD%90.%E4%B8%AD%E5%9B%BD/", "www.friend.com",
     "http://例子.中国/", "http://www.例子.中国/", "u"},
    // Not jump links.
    {"straight_to_us", "http://www.me.com/?from=friend.com", "www.friend.com", "http://www.me.com/", kNo},
    {"straight_to_us_with_our_address", "http://me.com/go?u=http://me.com/", "www.friend.com", "http://me.com/", kNo},
    {"third_site", "http://t.cn/go?u=http://me.com/", "www.friend.com", "http://me.com/", kNo},
    {"public_suffix_is_no_site", "http://other.github.io/go?u=me.com", "friend.github.io", "http://me.com/", kNo},
    {"look_alike_host", "http://www.friend.com/go?u=http://me.com.evil.cn/", "www.friend.com", "http://me.com/", kNo},
    {"longer_host", "http://www.friend.com/go?u=http://home.com/", "www.friend.com", "http://me.com/", kNo},
    {"our_sub_host", "http://www.friend.com/go?u=http://blog.me.com/", "www.friend.com", "http://me.com/", kNo},
    {"our_host_in_a_path_of_another", "http://www.friend.com/go?u=http://other.com/me.com", "www.friend.com",
     "http://me.com/", kNo},
    {"no_query", "http://www.friend.com/go/me.com", "www.friend.com", "http://me.com/", kNo},
    {"only_a_fragment", "http://www.friend.com/go#u=http://me.com/", "www.friend.com", "http://me.com/", kNo},
    {"other_scheme_target", "http://www.friend.com/go?u=ftp://me.com/", "www.friend.com", "http://me.com/", kNo},
    {"not_base64_text", "http://www.friend.com/go?u=notanaddress", "www.friend.com", "http://me.com/", kNo},
    {"empty_value", "http://www.friend.com/go?u=&v=", "www.friend.com", "http://me.com/", kNo},
    {"no_site", "http://www.friend.com/go?u=me.com", "www.friend.com", "", kNo},
    {"no_friend", "http://www.friend.com/go?u=me.com", "", "http://me.com/", kNo},
    {"relative_anchor", "/go?u=me.com", "www.friend.com", "http://me.com/", kNo},
};

TABLE_TEST(JumpLinkTest, Recognised, kJumps)
{
    const JumpRow &row = GetParam();
    const std::optional<JumpLink> jump =
        jumpLink(QUrl(QString::fromUtf8(row.anchor)), QString::fromUtf8(row.friendHost),
                 QUrl(QString::fromUtf8(row.ourSite)));
    if (!row.target) {
        EXPECT_FALSE(jump.has_value()) << jump->target.toStdString();
        return;
    }
    ASSERT_TRUE(jump.has_value());
    EXPECT_EQ(jump->target, QString::fromUtf8(row.target));
    EXPECT_EQ(jump->parameter, QString::fromUtf8(row.parameter));
    EXPECT_EQ(jump->on, row.on);
}

struct NamesRow : Row {
    const char *text;
    const char *title;
    const char *ourSite;
    bool names;
    QStringList siteNames = {};
};

const NamesRow kNames[] = {
    {"host_in_text", "me.com", "", "http://www.me.com/", true},
    {"www_host_in_text", "访问 www.me.com 看看", "", "http://me.com/", true},
    {"host_in_title", "友情链接", "来自 me.com", "http://www.me.com/", true},
    {"letter_case", "WWW.ME.COM", "", "http://me.com/", true},
    {"address_in_text", "http://www.me.com/index.html", "", "http://www.me.com/", true},
    {"touching_chinese_text", "本站me.com欢迎", "", "http://me.com/", true},
    {"at_sentence_end", "see me.com.", "", "http://me.com/", true},
    {"unicode_host", "例子.中国", "", "http://www.例子.中国/", true},
    {"site_name", "我的博客", "", "http://me.com/", true, {"我的博客"}},
    {"site_name_letter_case", "Visit MyBlog", "", "http://me.com/", true, {"myblog"}},
    {"site_name_in_title", "点击", "MyBlog", "http://me.com/", true, {"MyBlog"}},
    {"longer_host_on_the_left", "ame.com", "", "http://me.com/", false},
    {"sub_host", "blog.me.com", "", "http://me.com/", false},
    {"longer_host_on_the_right", "me.com.cn", "", "http://me.com/", false},
    {"joined_letters_on_the_right", "me.company", "", "http://me.com/", false},
    {"other_words", "点击进入", "更多", "http://me.com/", false},
    {"short_name_passed_over", "a", "", "http://me.com/", false, {"a", " "}},
    {"no_site", "me.com", "", "", false},
};

TABLE_TEST(AnchorNamesSiteTest, Names, kNames)
{
    const NamesRow &row = GetParam();
    EXPECT_EQ(anchorNamesSite(QString::fromUtf8(row.text), QString::fromUtf8(row.title),
                              QUrl(QString::fromUtf8(row.ourSite)), row.siteNames),
              row.names);
}

} // namespace
} // namespace friendlinks
