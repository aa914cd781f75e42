// The harvest of a home page, classic and modern, and the cells the rules give a row.
#include "check/Harvest.h"

#include "check/CheckMode.h"
#include "check/CheckRules.h"
#include "check/Messages.h"
#include "probes/BackLinkProbe.h"
#include "web/FetchResult.h"
#include "tests/common/RowPrinters.h"
#include "tests/common/Table.h"

namespace friendlinks {
namespace {

const QString kSite = QStringLiteral("www.home9.com");

QString anchor(const QString &href, const QString &content)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, content);
}

struct HarvestRow : Row {
    QString page;
    QList<HarvestedLink> expected;
};


const QString k50 = QStringLiteral("http://www.") + QString(34, QLatin1Char('a')) + QStringLiteral(".com/");
const QString k51 = QStringLiteral("http://www.") + QString(35, QLatin1Char('a')) + QStringLiteral(".com/");

const HarvestRow kHarvests[] = {
    {"friend_link", anchor("http://www.friend.com/", "友站"), {{"http://www.friend.com/", "友站\r\n"}}},
    {"inner_page_skipped", anchor("http://www.friend.com/a.html", "x"), {}},
    {"own_site_skipped", anchor("http://www.home9.com/", "首页"), {}},
    {"https_and_relative_links_skipped", anchor("https://www.friend.com/", "x") + anchor("/about.html", "x"), {}},
    {"fifty_characters_accepted", anchor(k50, "长"), {{k50, "长\r\n"}}},
    {"fifty_one_characters_skipped", anchor(k51, "长"), {}},
    // "img" anywhere in the anchor makes an image link, a file name too.
    {"img_in_file_name",
     "<a href=\"http://www.friend.com/\"><img src=\"logo.gif\"></a>" + anchor("http://www.f.com/", "imgs"),
     {{"http://www.friend.com/", kImageLink}, {"http://www.f.com/", kImageLink}}},
    {"capital_IMG_is_text", anchor("http://www.friend.com/", "IMG"), {{"http://www.friend.com/", "IMG\r\n"}}},
    {"footer_words_skipped",
     anchor("http://www.miibeian.gov.cn/", "京ICP备05000001号") + anchor("http://www.discuz.net/", "Discuz!"), {}},
    {"lower_case_icp_kept", anchor("http://www.friend.com/", "icp"), {{"http://www.friend.com/", "icp\r\n"}}},
    // The 15-character cut counts the trailing CR LF.
    {"thirteen_keeps_crlf", anchor("http://www.friend.com/", "一二三四五六七八九十一二三"),
     {{"http://www.friend.com/", "一二三四五六七八九十一二三\r\n"}}},
    {"fourteen_keeps_cr", anchor("http://www.friend.com/", "一二三四五六七八九十一二三四"),
     {{"http://www.friend.com/", "一二三四五六七八九十一二三四\r"}}},
    {"long_cut_to_fifteen", anchor("http://www.friend.com/", "一二三四五六七八九十一二三四五六七"),
     {{"http://www.friend.com/", "一二三四五六七八九十一二三四五"}}},
    // An emoji is one character (the cut itself is pinned by BackLinkReportTest's emoji rows).
    {"emoji_fifteenth_kept_whole", anchor("http://www.friend.com/", "一二三四五六七八九十一二三四\U0001F600"),
     {{"http://www.friend.com/", "一二三四五六七八九十一二三四\U0001F600"}}},
    {"kelvin_sign_is_no_word_character", anchor("http://www.\u212Aa.com/", "K"), {}},
    {"upper_case_closing_tag_stays", "<a href=\"http://www.friend.com/\">友站</A></a>",
     {{"http://www.friend.com/", "友站</A\r\n"}}},
    {"inner_tags_lose_brackets", anchor("http://www.friend.com/", "<b>友</b>"), {{"http://www.friend.com/", "<b友</b\r\n"}}},
    {"anchor_across_line_feed_missed", "<a href=\"http://www.friend.com/\">\n友站</a>", {}},
    {"address_in_text_of_relative_anchor", anchor("/go", "http://www.friend.com/"),
     {{"http://www.friend.com/", "http://www.frie"}}},
    // Repeats are listed again, each address as matched (without the final slash too).
    {"twice_listed_twice", anchor("http://www.friend.com/", "a") + anchor("http://www.friend.com", "b"),
     {{"http://www.friend.com/", "a\r\n"}, {"http://www.friend.com", "b\r\n"}}},
    {"no_anchor", "<html>nothing here</html>", {}}, {"empty_page", "", {}},
};

TABLE_TEST(HarvestTest, ListsFriendLinksInPageOrder, kHarvests)
{
    EXPECT_EQ(harvestLinks(GetParam().page, kSite), GetParam().expected);
}

TEST(Harvest, ListsAtMostTheLimitAndCountsTheRest)
{
    QString page;
    for (int i = 0; i < 5; ++i)
        page += anchor(QStringLiteral("http://www.friend%1.com/").arg(i), "友站");
    const Harvest found = harvest(page, "www.home9.com", LinkMode::Classic, {}, 3);
    ASSERT_EQ(found.links.size(), 3);
    EXPECT_EQ(found.links.last().lianjie, "http://www.friend2.com/");
    EXPECT_EQ(found.beyondLimit, 2);
}

TEST(NormalisedSiteText, TrimsOneSlashAndLowerCaseSchemes)
{
    const std::pair<QString, QString> cases[] = {
        {"www.home9.com", "www.home9.com"},
        {"  http://www.home9.com/  ", "www.home9.com"},
        {"www.home9.com//", "www.home9.com/"},
        {"HTTP://www.home9.com", "HTTP://www.home9.com"},
        {"https://www.home9.com/", "www.home9.com"},
        {"HTTPS://www.home9.com", "www.home9.com"},
        {"\twww.home9.com", "\twww.home9.com"},
        {"", ""},
    };
    for (const auto &[entered, expected] : cases)
        EXPECT_EQ(normalisedSiteText(entered), expected) << entered.toStdString();
}

struct FanlianRow : Row {
    QString report;
    Cell expected;
};

const FanlianRow kFanlians[] = {
    {"unreadable", "1\r\n无知错误", {kEmptyBody, true}}, {"slow", "1\r\n访问太慢", {kTooSlow, true}},
    {"text_back_line_break_split_off", "1\r\n友站\r\n", {"友站", false}},
    {"text_with_lone_cr", "1\r\n一二三四五六\r", {"一二三四五六\r", false}},
    {"img_in_text_replaced", "1\r\n<img src", {kImageConnection, false}},
    {"capital_IMG_kept", "1\r\nIMG", {"IMG", false}}, {"marker_with_more_text_is_text", "1\r\n访问太慢了", {"访问太慢了", false}},
    {"flag_zero_whatever_text", "0\r\n友站", {kNoLink, true}}, {"flag_not_a_number", "x\r\n友站", {kNoLink, true}},
};

TABLE_TEST(FanlianTest, FirstMatchingCaseDecides, kFanlians)
{
    EXPECT_EQ(fanlianCell(GetParam().report), GetParam().expected);
}

FetchResult fetched(FetchResult::Kind kind, const QString &text = {}, int status = 200,
                    FetchResult::Failure failure = FetchResult::Failure::None)
{
    FetchResult result;
    result.kind = kind;
    result.text = text;
    result.status = status;
    result.failure = failure;
    return result;
}

struct VerdictRow : Row {
    bool modern;
    FetchResult page;
    Cell cell;
    BackLinkVerdict verdict;
};

QString mine(const QString &content) { return QStringLiteral("<a href=\"http://www.me.com/\">%1</a>").arg(content); }

using Kind = FetchResult::Kind;
using Verdict = BackLinkVerdict;
const VerdictRow kVerdicts[] = {
    {"classic_text", false, fetched(Kind::Page, mine("友站")), {"友站", false}, Verdict::Linked},
    {"classic_image_connection", false, fetched(Kind::Page, mine("img")), {kImageConnection, false}, Verdict::Linked},
    {"classic_no_link", false, fetched(Kind::Page, "<p>x</p>"), {kNoLink, true}, Verdict::NoLink},
    {"classic_too_slow", false, fetched(Kind::TooSlow), {kTooSlow, true}, Verdict::NotRead},
    {"classic_empty_body", false, fetched(Kind::EmptyBody), {kEmptyBody, true}, Verdict::NotRead},
    {"classic_page_that_is_a_marker", false, fetched(Kind::Page, kTooSlow), {kTooSlow, true}, Verdict::NotRead},
    {"classic_anchor_text_a_marker", false, fetched(Kind::Page, mine(kEmptyBody)), {kEmptyBody, true}, Verdict::NotRead},
    {"classic_empty_anchor_text", false, fetched(Kind::Page, mine("")), {"", false}, Verdict::Unknown},
    {"modern_linked", true, fetched(Kind::Page, mine("友站")), {"友站", false}, Verdict::Linked},
    {"modern_nofollow", true, fetched(Kind::Page, "<a rel=nofollow href=http://www.me.com/>友站</a>"), {"友站", true},
     Verdict::PassesNothing},
    {"modern_no_link", true, fetched(Kind::Page, "<p>x</p>"), {kNoLink, true}, Verdict::NoLink},
    {"modern_error_page", true, fetched(Kind::Page, mine("友站"), 404), {"页面错误 HTTP 404", true}, Verdict::NotRead},
    {"modern_cut_without_anchor", true, fetched(Kind::Page, "<p>x</p>", 200, FetchResult::Failure::TooLarge),
     {"页面过大", true}, Verdict::NotRead},
    {"modern_refused", true, fetched(Kind::EmptyBody, {}, 0, FetchResult::Failure::ConnectionRefused),
     {"连接被拒绝", true}, Verdict::NotRead},
};

TABLE_TEST(BackLinkVerdictTest, TheVerdictIsWhatTheCellSays, kVerdicts)
{
    const VerdictRow &c = GetParam();
    const BackLinkJudgement judged = CheckMode(c.modern, "www.me.com").judgeBackLink(c.page, "http://www.friend.com/");
    EXPECT_EQ(judged.cell, c.cell);
    EXPECT_EQ(judged.verdict, c.verdict);
}

TEST(BaiduCells, RpIsRedExactlyWhenNotFirstAndAFailedProbeLeavesEmptyCells)
{
    const BaiduCells first = baiduCells(BaiduResult{"约9篇", "3K 2026-1-1\r\n", kHomePageFirst});
    EXPECT_EQ(first.shoulu, (Cell{"约9篇", false}));
    EXPECT_EQ(first.kuaizhao, (Cell{"3K 2026-1-1\r\n", false}));
    EXPECT_EQ(first.rp, (Cell{kHomePageFirst, false}));
    EXPECT_EQ(baiduCells(BaiduResult{"约9篇", "x", kNotFirst}).rp, (Cell{kNotFirst, true}));
    const BaiduCells failed = baiduCells(std::nullopt);
    for (const Cell &cell : {failed.shoulu, failed.kuaizhao, failed.rp})
        EXPECT_EQ(cell, Cell{});
}

const QString kModernSite = QStringLiteral("https://www.mysite.com");

// One page, harvested both ways: the modern rows, the classic rows, and the
// count of friend links the classic harvest passes over that modern lists.
struct ModeRow : Row {
    QString page;
    QStringList modern;  // lianjie of each modern row
    QStringList classic; // lianjie of each classic row
    int modernWouldList;
};

QStringList addresses(const QList<HarvestedLink> &links)
{
    QStringList out;
    for (const HarvestedLink &link : links)
        out << link.lianjie;
    return out;
}

// "https://www." (12) + 33 letters + ".com/" (5) is 50 characters; with 34
// letters the https address has 51: classic reads neither, modern knows no such limit.
const QString kName33 = QString(33, QLatin1Char('n'));
const QString kName34 = QString(34, QLatin1Char('n'));

const ModeRow kModes[] = {
    {"mixed_schemes_in_page_order",
     anchor("https://www.friend-a.com/", "甲") + anchor("http://www.friend-b.net/", "乙")
         + anchor("HTTPS://blog.friend-c.org/", "丙"),
     {"https://www.friend-a.com/", "http://www.friend-b.net/", "https://blog.friend-c.org/"},
     {"http://www.friend-b.net/"}, 2},
    {"https_links_into_the_own_site_are_never_rows",
     anchor("https://www.mysite.com/", "首页") + anchor("https://bbs.mysite.com/", "论坛")
         + anchor("http://www.mysite.com/", "首页"), // the https site is its http form in both modes
     {}, {}, 0},
    {"fifty_characters_counted_on_the_address_as_found",
     anchor("https://www." + kName33 + ".com/", "五十") + anchor("https://www." + kName34 + ".com/", "五十一")
         + anchor("http://www." + kName34 + ".com/", "http 五十"),
     {"https://www." + kName33 + ".com/", "https://www." + kName34 + ".com/", "http://www." + kName34 + ".com/"},
     {"http://www." + kName34 + ".com/"}, 2},
};

TABLE_TEST(ModernHarvestTest, ListsHttpsFriendsOnlyInModernMode, kModes)
{
    const ModeRow &c = GetParam();
    const Harvest modern = harvest(c.page, kModernSite, LinkMode::Modern);
    EXPECT_EQ(addresses(modern.links), c.modern);
    const Harvest classic = harvest(c.page, kModernSite, LinkMode::Classic);
    EXPECT_EQ(addresses(classic.links), c.classic);
    EXPECT_EQ(classic.skipped.modernWouldList(), c.modernWouldList);
}

// One anchor of www.car.com's page: listed (no reason) or the reason each mode gives.
struct SkipRow : Row {
    QString anchor;
    std::optional<SkipReason> modern;
    std::optional<SkipReason> classic;
};

std::optional<SkipReason> onlyReason(const Harvest &found)
{
    std::optional<SkipReason> reason;
    int total = 0;
    for (int i = 0; i < kSkipReasonCount; ++i) {
        total += found.skipped[SkipReason(i)];
        if (found.skipped[SkipReason(i)] > 0)
            reason = SkipReason(i);
    }
    EXPECT_EQ(total + found.links.size(), 1);
    return reason;
}

const QString kLong52 = "http://www." + QString(36, u'l') + ".com/";
using enum SkipReason;
const SkipRow kSkips[] = {
    {"top", anchor("http://www.a.top/", "a"), {}, NameEnding},
    {"xyz_with_port_kept", anchor("http://www.a.xyz:8080/", "a"), {}, NameEnding},
    {"co_uk", anchor("http://www.a.co.uk/", "a"), {}, NameEnding},
    {"idn_name", anchor("http://www.例子.中国/", "a"), {}, NameEnding},
    {"bare_domain", anchor("http://x.com/", "x"), {}, HostPrefix},
    {"ip_address", anchor("http://192.0.2.7/", "x"), {}, HostPrefix},
    {"bare_https", anchor("https://y.com/", "y"), {}, Https},
    {"index_file", anchor("http://www.a.com/Index.PHP", "a"), {}, IndexPage},
    {"query_string", anchor("http://www.a.com/?from=links", "a"), {}, IndexPage},
    {"fifty_two_characters", anchor(kLong52, "a"), {}, TooLong},
    {"name_holds_the_site_name", anchor("http://www.carhome.com/", "a"), {}, ContainsSiteName},
    {"scar", anchor("http://www.scar.org/", "a"), {}, ContainsSiteName},
    {"classic_friend", anchor("http://www.ok.com/", "ok"), {}, {}},
    {"own_subdomain", anchor("http://blog.car.com/", "博客"), SameSite, SameSite},
    {"own_bare_https", anchor("https://car.com/", "首页"), SameSite, SameSite},
    {"inner_page", anchor("http://www.a.top/news/1.html", "a"), InnerPage, InnerPage},
    {"index_in_a_folder", anchor("http://www.ok.com/bbs/index.html", "a"), InnerPage, InnerPage},
    {"mailto", anchor("mailto:me@car.com", "信"), NotHttp, NotHttp},
    {"javascript", anchor("javascript:void(0)", "js"), NotHttp, NotHttp},
    {"icp_footer", anchor("http://www.a.top/", "京ICP备12号"), FooterWord, FooterWord},
    {"registration_host", anchor("http://www.beian.miit.gov.cn/", "工信部"), FooterWord, {}},
    {"registration_text", anchor("http://www.ok.com/", "京公网安备 1号"), FooterWord, {}},
    {"software_credit", anchor("http://www.discuz.net/", "Powered by Discuz!"), FooterWord, FooterWord},
};

TABLE_TEST(SkippedLinkTest, ReasonInEachMode, kSkips)
{
    const SkipRow &c = GetParam();
    EXPECT_EQ(onlyReason(harvest(c.anchor, "www.car.com", LinkMode::Modern)), c.modern) << "modern";
    EXPECT_EQ(onlyReason(harvest(c.anchor, "www.car.com", LinkMode::Classic)), c.classic) << "classic";
}

// The home page of a site that trades links with today's sites: modern lists
// each friend once, address as found; classic lists one and says why not the rest.
TEST(Harvest, TodaysFriendLinksInModernModeAndWhyClassicLeavesThemOut)
{
    const QStringList friends = {"http://www.a.top/", "http://www.a.xyz/",   "http://x.com/",
                                 "https://y.com/",    "http://www.a.co.uk/", "http://www.a.com/index.html",
                                 kLong52,             "http://www.ok.com/",  "http://www.carhome.com/"};
    QString page;
    for (const QString &address : friends)
        page += anchor(address, "友");
    page += anchor("http://www.ok.com/", "重复") + anchor("/about.html", "关于");
    const Harvest modern = harvest(page, "www.car.com", LinkMode::Modern, "https://www.car.com/");
    EXPECT_EQ(addresses(modern.links), friends);
    EXPECT_EQ(modern.skipped[Duplicate], 1);
    EXPECT_EQ(modern.skipped[SameSite], 1);
    const Harvest classic = harvest(page, "www.car.com", LinkMode::Classic);
    EXPECT_EQ(addresses(classic.links), (QStringList{"http://www.ok.com/", "http://www.ok.com/"}));
    EXPECT_EQ(classicSkipNote(classic.skipped),
              "另有 8 个友链未列出（https 1，域名后缀 3，无 www 前缀 1，首页文件名 1，超过 50 字符 1，含本站名 1）");
}

// Our own anchor to each friend, read in both modes (the site's own home page is never a row, also
// typed in capitals in modern mode); modern names are whole up to 64 characters.
TEST(Harvest, OurOwnAnchorOfEachRowInBothModesAndWholeModernNames)
{
    const QString longName = QStringLiteral("一个名字特别特别长的友情链接博客站点");
    const QString page = anchor("http://www.mysite.com/", "首页")
                         + "<a href=\"http://www.friend-a.com/\" rel=\"External NoFollow\">" + longName + "</a>"
                         + "<a href='http://www.friend-b.net/'>" + QString(70, u'名') + "</a>";
    const std::pair<LinkMode, QString> harvests[] = {
        {LinkMode::Classic, kModernSite}, {LinkMode::Modern, kModernSite}, {LinkMode::Modern, "WWW.MYSITE.COM"}};
    for (const auto &[mode, site] : harvests) {
        const Harvest found = harvest(page, site, mode);
        ASSERT_EQ(found.ourLinks.size(), 2) << site.toStdString();
        EXPECT_EQ(found.ourLinks[0], (BackLinkFacts{"http://www.friend-a.com/", {"external", "nofollow"}, false}));
        EXPECT_EQ(found.ourLinks[1], (BackLinkFacts{"http://www.friend-b.net/", {}, true}));
    }
    const Harvest modern = harvest(page, kModernSite, LinkMode::Modern);
    EXPECT_EQ(modern.links[0].guanjianzi, longName);
    EXPECT_EQ(modern.links[1].guanjianzi, QString(64, u'名') + "…");
}

// Modern mode's back-link cell for the site "www.me.com" (also typed in upper case).
struct JudgeRow : Row {
    QString page;
    Cell cell;
    int status = 200;
    FetchResult::Kind kind = FetchResult::Kind::Page;
    QByteArray robotsHeader = {};
    QString finalUrl = QStringLiteral("http://www.friend.com/");
    FetchResult::Failure failure = FetchResult::Failure::None;
};

const QString kFriend = QStringLiteral("http://www.friend.com/");
using Kind = FetchResult::Kind;
using Failure = FetchResult::Failure;

const JudgeRow kJudgements[] = {
    {"link_back", "<a href=\"http://www.me.com/\">我的站</a>", {"我的站", false}},
    {"look_alike_hosts_are_not_the_site",
     "<a href=\"http://notme.com/\">1</a><a href=\"http://me.com.evil.cn/\">2</a><a href=\"http://blog.me.com/\">3</a>"
     "<a href=\"/\">www.me.com</a>",
     {"没有链接", true}},
    {"error_page_holds_no_link", "<a href=\"http://www.me.com/\">页脚</a>", {"页面错误 HTTP 404", true}, 404},
    {"error_without_body", "", {"页面错误 HTTP 503", true}, 503, FetchResult::Kind::EmptyBody},
    {"too_slow", "访问太慢", {"超时未应答", true}, 0, Kind::TooSlow, {}, kFriend, Failure::TimedOut},
    {"empty_body", "无知错误", {"应答没有内容", true}, 200, Kind::EmptyBody, {}, kFriend, Failure::EmptyAnswer},
    {"refused", "无知错误", {"连接被拒绝", true}, 0, Kind::EmptyBody, {}, kFriend, Failure::ConnectionRefused},
    {"redirect_loop", "无知错误", {"重定向过多", true}, 0, Kind::EmptyBody, {}, kFriend, Failure::TooManyRedirects},
    {"untrusted_certificate", "无知错误", {"证书不可信", true}, 0, Kind::EmptyBody, {}, kFriend, Failure::Certificate},
    {"cut_page_without_the_link", "<p>…", {"页面过大", true}, 200, Kind::Page, {}, kFriend, Failure::TooLarge},
    {"cut_page_with_the_link", "<a href=\"http://www.me.com/\">友</a>", {"友", false}, 200, Kind::Page, {}, kFriend,
     Failure::TooLarge},
    {"nofollow_keeps_its_text", "<a rel=\"nofollow\" href=\"http://www.me.com/\">友</a>", {"友", true}},
    {"robots_header", "<a href=\"http://www.me.com/\">友</a>", {"友", true}, 200, FetchResult::Kind::Page, "none"},
    {"hidden_attribute", "<a hidden href=\"http://www.me.com/\">友</a>", {"友", true}},
    {"a_followed_link_after_a_nofollow_one_decides",
     "<a rel=ugc href=\"http://www.me.com/\">甲</a><a href=\"http://me.com\">乙</a>", {"乙", false}},
    {"relative_link_on_a_page_read_from_the_site", "<a href=\"/\">首页</a>", {"首页", false}, 200,
     FetchResult::Kind::Page, {}, "https://www.me.com/links.html"},
    {"long_text_cut_at_sixty_four", "<a href=\"http://www.me.com/\">" + QString(65, u'长') + "</a>",
     {QString(64, u'长') + "…", false}},
};

TABLE_TEST(ModernJudgementTest, BackLinkCell, kJudgements)
{
    const JudgeRow &c = GetParam();
    FetchResult page;
    page.kind = c.kind;
    page.text = c.page;
    page.status = c.status;
    page.finalUrl = c.finalUrl;
    page.failure = c.failure;
    if (!c.robotsHeader.isEmpty())
        page.headers = {{"X-Robots-Tag", c.robotsHeader}};
    for (const char *site : {"www.me.com", "HTTP://WWW.ME.COM/"}) {
        const BackLinkJudgement judged = CheckMode(true, QString::fromLatin1(site)).judgeBackLink(page, "http://www.friend.com/");
        EXPECT_EQ(judged.cell, c.cell) << site;
        const bool noAnchor = c.kind != Kind::Page || c.status >= 400 || c.cell.text == kNoLink || c.cell.text == "页面过大";
        EXPECT_EQ(judged.anchor.has_value(), !noAnchor) << site;
    }
}

} // namespace
} // namespace friendlinks
