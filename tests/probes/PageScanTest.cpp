#include "probes/HtmlTags.h"
#include "probes/ModernBackLink.h"
#include "probes/PageScan.h"
#include "probes/ScriptLinks.h"

#include "tests/common/Table.h"

#include <QUrl>

namespace friendlinks {
namespace {

const QString kPage = QStringLiteral("https://www.friend.com/index.html");
const QString kHost = QStringLiteral("mysite.com");

// The raw-text bodies a walk hands on, as "name:body" joined by " | ".
QString bodiesGiven(const QString &html, const QList<QLatin1StringView> &of)
{
    QStringList out;
    forEachToken(
        html, {},
        [&out](const HtmlToken &token) {
            if (token.kind == HtmlToken::Kind::RawText)
                out << token.tag.name + u':' + token.text.toString();
        },
        of);
    return out.join(" | ");
}

TEST(RawTextBodies, ComeOnlyForTheElementsAsked)
{
    const QString html = "<STYLE>.a{}</STYLE><script>x='</a>'</script><title>t</title><style></style><textarea>u</textarea>";
    EXPECT_EQ(bodiesGiven(html, {}), "");
    EXPECT_EQ(bodiesGiven(html, {QLatin1StringView("style"), QLatin1StringView("script")}),
              "style:.a{} | script:x='</a>'");
    EXPECT_EQ(bodiesGiven("<script><!--<script>a</script>b</script>c", {QLatin1StringView("script")}),
              "script:<!--<script>a</script>b");
    EXPECT_EQ(bodiesGiven("<style>cut off", {QLatin1StringView("style")}), "style:cut off");
}

// Each link a visitor sees, with the tags of its chain: "div.flink>ul>li>a /x".
class ChainList final : public PageVisitor {
public:
    void anchor(PageAnchor &&anchor, const QList<StyledElement> &chain) override
    {
        QStringList tags;
        for (const StyledElement &element : chain)
            tags << element.tag + (element.classes.isEmpty() ? QString() : u'.' + element.classes.join(u'.'));
        out << tags.join(u'>') + u' ' + QUrl(anchor.address).path();
    }
    QStringList out;
};

struct ChainRow : Row {
    QString html;
    QString chains;
};

const ChainRow kChains[] = {
    {"ancestors_root_first", "<div class=flink><ul><li><a href=/x>x</a></ul></div>", "div.flink>ul>li>a /x"},
    {"closed_elements_are_gone", "<div class=a></div><p><a href=/x>x</a>", "p>a /x"},
    {"reopened_copy_has_its_new_place", "<p><a href=/x>x<div class=d>y</div>",
     "p>a /x | div.d>a /x"},
    {"template_and_svg_give_none", "<template><a href=/t>t</a></template><svg><a href=/s>s</a></svg><b><a href=/y>y</a>",
     "b>a /y"},
};

TABLE_TEST(PageScanChains, EachLinkComesWithItsAncestors, kChains)
{
    ChainList list;
    readPage(GetParam().html, kPage, list);
    EXPECT_EQ(list.out.join(" | "), GetParam().chains);
}

TEST(PageScan, BaseFoundAnywhereBeforeTheFirstLink)
{
    EXPECT_EQ(pageBaseAddress(u"<a href=x>x</a><base href=/b/><base href=/c/>", kPage), "https://www.friend.com/b/");
    EXPECT_EQ(pageBaseAddress(u"<!--<base href=/b/>--><template><base href=/t/></template>", kPage), kPage);
    EXPECT_EQ(pageBaseAddress(u"<base target=_top>", kPage), kPage);
}

// A scan in a few words: the deciding anchor's text, "passes" or what hides it, the counts.
QString scanned(const QString &html, bool pageNofollow = false)
{
    const ModernBackLinkScan scan = scanModernBackLinks(html, kPage, kHost, pageNofollow);
    if (!scan.anchor)
        return QStringLiteral("none of %1").arg(scan.links);
    QString out = scan.anchor->text + (scan.passes ? QStringLiteral(" passes") : QStringLiteral(" fails"));
    if (scan.hiddenBy)
        out += QStringLiteral(" hidden by ") + scan.hiddenBy->text();
    return out + QStringLiteral(", %1 of %2").arg(scan.backLinks).arg(scan.links);
}

struct ScanRow : Row {
    QString html;
    QString scan;
};

const ScanRow kScans[] = {
    {"first_passing_decides", "<a href=http://mysite.com/ rel=nofollow>a</a><a href=http://www.mysite.com/x>b</a>",
     "b passes, 2 of 2"},
    {"none_passing_first_decides", "<a href=http://mysite.com/ rel=nofollow>a</a><a href=/>own</a>"
                                   "<a href=https://mysite.com/ hidden>b</a>",
     "a fails, 2 of 3"},
    {"own_hidden_keeps_its_text", "<a href=http://mysite.com/ style=display:none>a</a>", "a fails, 1 of 1"},
    {"ancestor_style_attribute_hides", "<div style='display:none'><a href=http://mysite.com/>a</a></div>",
     "a fails hidden by display:none (div), 1 of 1"},
    {"ancestor_hidden_attribute_hides", "<ul hidden><li><a href=http://mysite.com/>a</a></ul>",
     "a fails hidden by hidden attribute (ul), 1 of 1"},
    {"style_element_after_the_link_hides", "<div class=flink><a href=http://mysite.com/>a</a></div>"
                                           "<style>.flink{position:absolute;left:-9999px}</style>",
     "a fails hidden by position:absolute;left:-9999px (div.flink), 1 of 1"},
    {"hidden_one_then_shown_one", "<style>#f{font-size:0}</style><p id=f><a href=http://mysite.com/>a</a></p>"
                                  "<a href=http://mysite.com/>b</a>",
     "b passes, 2 of 2"},
    {"style_in_template_counts_not", "<template><style>a{display:none}</style></template><a href=http://mysite.com/>a</a>",
     "a passes, 1 of 1"},
    {"page_nofollow", "<a href=http://mysite.com/>a</a>", "a fails, 1 of 1"},
    {"no_link_back", "<a href=http://notmysite.com/>a</a><a href=http://blog.mysite.com/>b</a>", "none of 2"},
};

TABLE_TEST(ModernBackLinkScanTest, FirstPassingDecidesElseTheFirst, kScans)
{
    EXPECT_EQ(scanned(GetParam().html, QString::fromLatin1(GetParam().name) == "page_nofollow"), GetParam().scan);
}

TEST(ModernBackLinkScan, KeepsFewCandidatesOfMany)
{
    QString html;
    for (int i = 0; i < 1000; ++i)
        html += "<a href=http://mysite.com/ rel=nofollow>n</a>";
    html += "<a href=http://mysite.com/>last</a>";
    const ModernBackLinkScan scan = scanModernBackLinks(html, kPage, kHost, false);
    EXPECT_EQ(scan.candidates.size(), 2); // the first, and the one that passes all but the rules
    EXPECT_EQ(scan.backLinks, 1001);
    EXPECT_TRUE(scan.passes);
    EXPECT_EQ(scan.anchor->text, "last");
}

TEST(ModernBackLinkScan, ListsWhatThePageLoadsFromItsOwnSite)
{
    const ModernBackLinkScan scan = scanModernBackLinks(
        u"<link rel=stylesheet href=/a.css><style>p{}</style><link rel='Alternate StyleSheet' href=//static.friend.com/b.css>"
        "<link rel=stylesheet href=http://cdn.other.com/c.css><link rel=stylesheet href=/d.css><link rel=icon href=/i.css>"
        "<script src=/1.js></script><script src=http://other.com/x.js></script><script src=/2.js></script>"
        "<script src=/3.js></script><script src=/4.js></script><script src=/5.js></script>"
        "<iframe src=links.html></iframe><frame src=http://www.friend.com/f.html><iframe src=/3.html></iframe>",
        kPage, kHost, false);
    const PageResources &found = scan.resources;
    ASSERT_EQ(found.styles.size(), 3);
    EXPECT_EQ(found.styles[0].address, "https://www.friend.com/a.css");
    EXPECT_EQ(found.styles[1].text, "p{}");
    EXPECT_EQ(found.styles[2].address, "https://static.friend.com/b.css");
    EXPECT_EQ(found.scripts, (QStringList{"https://www.friend.com/1.js", "https://www.friend.com/2.js",
                                         "https://www.friend.com/3.js", "https://www.friend.com/4.js"}));
    EXPECT_EQ(found.frames, (QStringList{"https://www.friend.com/links.html", "http://www.friend.com/f.html"}));
    EXPECT_EQ(found.inlineScriptLink, "");
}

TEST(ModernBackLinkScan, InlineScriptLinkIsFoundButIsNoAnchor)
{
    const ModernBackLinkScan scan = scanModernBackLinks(
        u"<script>document.write('<a href=\"http://www.mysite.com/\">me</a>');</script>", kPage, kHost, false);
    EXPECT_FALSE(scan.anchor);
    EXPECT_EQ(scan.resources.inlineScriptLink, "http://www.mysite.com/");
}

TEST(ModernBackLinkScan, RulesOfASheetJudgeAgain)
{
    ModernBackLinkScan scan =
        scanModernBackLinks(u"<div id=links><a href=http://mysite.com/>a</a></div>", kPage, kHost, false);
    EXPECT_TRUE(scan.passes);
    StyleRules rules;
    rules.addStyleSheet(u"#links { height: 0; overflow: hidden }");
    judgeBackLinks(scan, rules, false);
    EXPECT_FALSE(scan.passes);
    ASSERT_TRUE(scan.hiddenBy);
    EXPECT_EQ(scan.hiddenBy->text(), "height:0;overflow:hidden (div#links)");
}

struct ScriptRow : Row {
    QString script;
    QString found;
};

const ScriptRow kScripts[] = {
    {"document_write_markup", "document.write(\"<a href='http://mysite.com/' target=_blank>我的站</a>\");",
     "http://mysite.com/"},
    {"escaped_slashes_and_brackets", "document.write('\\x3ca href=\"https:\\/\\/www.mysite.com\\/p\"\\u003e')",
     "https://www.mysite.com/p"},
    {"protocol_relative_takes_the_page_scheme", "var links = [{href: '//mysite.com/'}];", "https://mysite.com/"},
    {"unicode_braces", "s = 'http:\\u{2F}\\u{2f}mysite.com'", "http://mysite.com/"},
    {"first_of_ours_after_others", "a='http://other.com/';b=\"http://MySite.com/x?y=1\"", "http://mysite.com/x?y=1"},
    {"subdomain_and_lookalike_are_not_ours", "a='http://blog.mysite.com/'+'http://notmysite.com/'", ""},
    {"joined_parts_are_not_read", "a='http://my'+'site.com/'", ""},
    {"comment_slashes_are_no_address", "x = 1 // mysite.com\ny = a//mysite.com", ""},
    {"relative_href_is_not_ours", "document.write('<a href=\"/mysite.com/\">x</a>')", ""},
    {"cut_escape_stays", "'\\u00'", ""},
};

TABLE_TEST(ScriptLinksTest, FindsWholeAddressesOfTheSite, kScripts)
{
    EXPECT_EQ(scriptLinkTo(GetParam().script, kPage, kHost), GetParam().found);
}

TEST(ScriptLinks, EscapesRead)
{
    EXPECT_EQ(withScriptEscapesRead(u"\\'\\\\\\/\\x41\\u0042\\u{43}\\q\\x4"), "'\\/ABCq\\x4");
    EXPECT_EQ(withScriptEscapesRead(u"end\\"), "end\\");
}

} // namespace
} // namespace friendlinks
