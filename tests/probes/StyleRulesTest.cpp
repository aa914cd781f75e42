// The page's style rules: selectors, sheets, values, the cascade, and whether a link is hidden.
#include "probes/HtmlTags.h"
#include "probes/StyleRules.h"
#include "probes/StyleSelectors.h"
#include "probes/StyleSheetReader.h"
#include "probes/StyleValues.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

// The chain of elements a run of start tags opens, each inside the one before: "<div class=a><a href=x>".
QList<StyledElement> chainOf(const char *html)
{
    static const QList<QLatin1StringView> kTags = {
        QLatin1StringView("html"), QLatin1StringView("body"), QLatin1StringView("div"), QLatin1StringView("p"),
        QLatin1StringView("ul"), QLatin1StringView("li"), QLatin1StringView("span"), QLatin1StringView("a"),
        QLatin1StringView("section"), QLatin1StringView("td"), QLatin1StringView("font"), QLatin1StringView("nav"),
        QLatin1StringView("b"), QLatin1StringView("table"), QLatin1StringView("tr")};
    QList<StyledElement> chain;
    forEachToken(QString::fromUtf8(html), kTags, [&](const HtmlToken &token) {
        if (token.kind != HtmlToken::Kind::StartTag)
            return;
        chain.append(styledElement(token.tag));
    });
    return chain;
}

struct SelectorRow : Row {
    const char *selector;
    const char *html;
    bool matches;
};

const SelectorRow kSelectorMatches[] = {
    {"type", "a", "<div><a>", true},
    {"type_any_case", "A", "<div><a>", true},
    {"type_other", "span", "<div><a>", false},
    {"universal", "*", "<div><a>", true},
    {"class", ".flink", "<div><a class='x flink'>", true},
    {"class_letter_case_counts", ".Flink", "<div><a class='flink'>", false},
    {"class_missing", ".flink", "<div><a class='flinks'>", false},
    {"two_classes", ".a.b", "<div><a class='b a'>", true},
    {"two_classes_one_missing", ".a.b", "<div><a class='a'>", false},
    {"id", "#links", "<a id=links>", true},
    {"id_other", "#links", "<a id=link>", false},
    {"compound", "a#x.y", "<a id=x class=y>", true},
    {"compound_wrong_type", "span#x.y", "<a id=x class=y>", false},
    {"descendant", ".flink a", "<div class=flink><p><a>", true},
    {"descendant_needs_an_ancestor", ".flink a", "<div><a class=flink>", false},
    {"child", ".flink > a", "<div class=flink><a>", true},
    {"child_not_grandchild", ".flink > a", "<div class=flink><p><a>", false},
    {"child_without_blanks", ".flink>a", "<div class=flink><a>", true},
    {"child_then_descendant", "div > p a", "<div><p><span><a>", true},
    {"descendant_then_child", "div p > a", "<div><section><p><a>", true},
    // A greedy match takes the nearest <p>, which has no <div> parent; the right one is farther up.
    {"needs_backtracking", "div > p a", "<div><p><p><a>", true},
    {"needs_backtracking_fails", "div > p > span a", "<div><p><p><a>", false},
    {"subject_is_the_link_only", ".flink", "<div class=flink><a>", false},
    {"root_has_no_ancestor", "div a", "<a>", false},
    {"classes_cut_at_any_blank", ".b", "<a class='a\tb\nc'>", true},
};

TABLE_TEST(StyleSelectorTest, Matches, kSelectorMatches)
{
    const SelectorRow &row = GetParam();
    const SelectorList list = readSelectorList(QString::fromUtf8(row.selector));
    ASSERT_EQ(list.selectors.size(), 1);
    const QList<StyledElement> chain = chainOf(row.html);
    EXPECT_EQ(selectorMatches(list.selectors.first(), chain, chain.size() - 1), row.matches);
}

struct ListRow : Row {
    const char *list;
    int read;
    bool invalid;
    int specificity = 0; // of the first selector read
};

const ListRow kSelectorLists[] = {
    {"one", "a", 1, false, 0x000001},
    {"list", "a, .b, #c", 3, false, 0x000001},
    {"specificity", "div#x.y.z a", 1, false, 0x010202},
    {"universal_counts_nothing", "* > *", 1, false, 0},
    {"attribute_left_out", "a[href], .b", 1, false, 0x000100},
    {"pseudo_class_left_out", "a:hover, .b", 1, false, 0x000100},
    {"pseudo_element_left_out", ".b::before", 0, false},
    {"sibling_left_out", "h2 + a, h2 ~ a", 0, false},
    {"functional_pseudo_left_out", ".a:not(.b, .c), .d", 1, false, 0x000100},
    {"escape_left_out", ".a\\:b", 0, false},
    {"namespace_left_out", "svg|a", 0, false},
    {"nesting_left_out", "& a", 0, false},
    {"empty_selector_drops_all", "a, , .b", 0, true},
    {"trailing_comma_drops_all", "a,", 0, true},
    {"digit_class_drops_all", ".1a, b", 0, true},
    {"leading_combinator_drops_all", "> a", 0, true},
    {"trailing_combinator_drops_all", "a >", 0, true},
    {"double_child_drops_all", "a > > b", 0, true},
    {"stray_character_drops_all", "a; b", 0, true},
    {"class_then_type_descendant", ".a div", 1, false, 0x000101},
    {"unclosed_attribute_drops_all", "a[href", 0, true},
};

TABLE_TEST(StyleSelectorListTest, Reads, kSelectorLists)
{
    const ListRow &row = GetParam();
    const SelectorList list = readSelectorList(QString::fromUtf8(row.list));
    EXPECT_EQ(list.selectors.size(), row.read);
    EXPECT_EQ(list.invalid, row.invalid);
    if (!list.selectors.isEmpty()) {
        EXPECT_EQ(list.selectors.first().specificity, row.specificity);
    }
}

// A sheet as "selectors{property:value;property:value!}" per rule, "!" for !important.
QString sheetText(const QList<StyleRuleText> &rules)
{
    QStringList out;
    for (const StyleRuleText &rule : rules) {
        QStringList declarations;
        for (const StyleDeclaration &declaration : rule.declarations)
            declarations << declaration.property + u':' + declaration.value + (declaration.important ? "!" : "");
        out << rule.selectors + u'{' + declarations.join(u';') + u'}';
    }
    return out.join(u' ');
}

struct SheetRow : Row {
    const char *css;
    const char *read;
};

const SheetRow kSheets[] = {
    {"one_rule", ".a { display: none }", ".a{display:none}"},
    {"two_rules", "a{color:red}b{color:blue;}", "a{color:red} b{color:blue}"},
    {"important", ".a{display:none !important; color : RED ! IMPORTANT}", ".a{display:none!;color:RED!}"},
    {"comments", "/* x{} */ .a /* y */ { /* z */ display:none /* ; */ }", ".a{display:none}"},
    {"unclosed_comment", ".a{display:none} /* .b{display:none}", ".a{display:none}"},
    {"html_comment_marks", "<!-- .a{display:none} -->", ".a{display:none}"},
    {"brace_in_a_string", ".a{content:\"}\";display:none}", ".a{content:\"}\";display:none}"},
    {"semicolon_in_url", ".a{background:url(x;y.png);display:none}", ".a{background:url(x;y.png);display:none}"},
    {"unclosed_block", ".a{display:none", ".a{display:none}"},
    {"declaration_without_colon", ".a{foo;display:none}", ".a{display:none}"},
    {"empty_value_passed_over", ".a{display:;color:red}", ".a{color:red}"},
    {"media_screen_read", "@media screen { .a{display:none} } .b{color:red}", ".a{display:none} .b{color:red}"},
    {"media_all_or_print_read", "@media all, print { .a{display:none} }", ".a{display:none}"},
    {"media_only_screen_read", "@media only screen{.a{display:none}}", ".a{display:none}"},
    {"media_width_left_out", "@media (max-width: 600px) { .a{display:none} } .b{color:red}", ".b{color:red}"},
    {"media_screen_and_width_left_out", "@media screen and (min-width:1px){.a{display:none}}", ""},
    {"media_print_left_out", "@media print { .a{display:none} }", ""},
    {"nested_media", "@media screen{@media all{.a{display:none}}}", ".a{display:none}"},
    {"import_skipped", "@import url(a.css); .a{display:none}", ".a{display:none}"},
    {"charset_skipped", "@charset \"utf-8\"; .a{display:none}", ".a{display:none}"},
    {"font_face_skipped", "@font-face{font-family:x;src:url(a)} .a{display:none}", ".a{display:none}"},
    {"supports_skipped", "@supports (display:grid){.a{display:none}} .b{color:red}", ".b{color:red}"},
    {"keyframes_skipped", "@keyframes k{from{top:0}to{top:9px}} .a{display:none}", ".a{display:none}"},
    {"nested_rule_left_out", ".a{color:red; .b{display:none} top:0}", ".a{color:red;top:0}"},
    {"stray_closing_brace", "} .a{display:none}", ".a{display:none}"},
    {"property_letter_case", ".a{DISPLAY:None}", ".a{display:None}"},
};

TABLE_TEST(StyleSheetReaderTest, Reads, kSheets)
{
    EXPECT_EQ(sheetText(readStyleSheet(QString::fromUtf8(GetParam().css))), QString::fromUtf8(GetParam().read));
}

struct LengthRow : Row {
    const char *value;
    std::optional<double> px;
    bool zero;
};

const LengthRow kLengths[] = {
    {"pixels", "-9999px", -9999, false},
    {"unitless_zero", "0", 0, true},
    {"zero_pixels", "0px", 0, true},
    {"zero_percent", "0%", std::nullopt, true},
    {"negative_zero", "-0.0em", -0.0, true},
    {"ems", "-100em", -1600, false},
    {"picas", "1pc", 16, false},
    {"inches", "1in", 96, false},
    {"exponent", "-1e4px", -10000, false},
    {"unit_letter_case", "-999PX", -999, false},
    {"percent", "-100%", std::nullopt, false},
    {"unitless_number", "12", std::nullopt, false},
    {"calc", "calc(0px)", std::nullopt, false},
    {"word", "auto", std::nullopt, false},
    {"unknown_unit", "5zz", std::nullopt, false},
};

TABLE_TEST(StyleLengthTest, Reads, kLengths)
{
    EXPECT_EQ(cssLengthPx(QString::fromUtf8(GetParam().value)), GetParam().px);
    EXPECT_EQ(isZeroLength(QString::fromUtf8(GetParam().value)), GetParam().zero);
}

struct ColorRow : Row {
    const char *value;
    const char *text; // nullptr: not read
};

const ColorRow kColors[] = {
    {"short_hex", "#FFF", "#ffffff"},
    {"long_hex", "#1a2B3c", "#1a2b3c"},
    {"hex_with_alpha", "#ffffff00", "transparent"},
    {"name", "White", "#ffffff"},
    {"grey_name", "grey", "#808080"},
    {"rgb_commas", "rgb(255, 255, 255)", "#ffffff"},
    {"rgb_blanks", "rgb(0 0 0)", "#000000"},
    {"rgb_percent", "rgb(100%,0%,0%)", "#ff0000"},
    {"rgba_zero", "rgba(1,2,3,0)", "transparent"},
    {"rgb_slash_alpha", "rgb(1 2 3 / 0%)", "transparent"},
    {"transparent", "transparent", "transparent"},
    {"bad_hex", "#ggg", nullptr},
    {"hex_with_sign", "#-ff", nullptr},
    {"five_digits", "#12345", nullptr},
    {"hsl_not_read", "hsl(0, 0%, 100%)", nullptr},
    {"unknown_name", "rebeccapurple", nullptr},
    {"var", "var(--bg)", nullptr},
};

TABLE_TEST(StyleColorTest, Reads, kColors)
{
    const std::optional<CssColor> color = cssColor(QString::fromUtf8(GetParam().value));
    if (!GetParam().text) {
        EXPECT_FALSE(color.has_value());
        return;
    }
    ASSERT_TRUE(color.has_value());
    EXPECT_EQ(color->text(), QString::fromUtf8(GetParam().text));
}

TEST(StyleColorTest, HalfTransparentKeepsItsAlpha)
{
    const std::optional<CssColor> color = cssColor(u"rgba(255,255,255,.5)");
    ASSERT_TRUE(color.has_value());
    EXPECT_DOUBLE_EQ(color->alpha, 0.5);
}

struct HiddenRow : Row {
    const char *css;
    const char *html;
    const char *reason; // "": shown
    int element = -1;   // which element hides it; -1: the last (the link)
    const char *where = nullptr;
};

const HiddenRow kHidden[] = {
    // Shown.
    {"plain_link", "", "<div><a href=x>", ""},
    {"other_class_hidden", ".other{display:none}", "<div class=flink><a href=x>", ""},
    // The box of the link or an ancestor.
    {"display_none_on_the_block", ".flink{display:none}", "<body><div class=flink><a href=x>", "display:none", 1,
     "div.flink"},
    {"display_none_on_the_link", ".flink a{display:none}", "<div class=flink><a href=x>", "display:none", 1, "a"},
    {"display_none_by_id", "#links{display:none}", "<div id=links><ul><li><a href=x>", "display:none", 0,
     "div#links"},
    {"display_none_in_media_screen", "@media screen{.f{display:none}}", "<div class=f><a href=x>", "display:none", 0},
    {"display_none_in_media_width", "@media (max-width:600px){.f{display:none}}", "<div class=f><a href=x>", ""},
    {"display_on_an_attribute_selector", "[class=f]{display:none}", "<div class=f><a href=x>", ""},
    {"later_rule_shows_it", ".f{display:none} .f{display:block}", "<div class=f><a href=x>", ""},
    {"more_specific_rule_wins", "div.f{display:none} .f{display:block}", "<div class=f><a href=x>", "display:none",
     0},
    {"id_beats_classes", "#x{display:block} .f.g.h{display:none}", "<div id=x class='f g h'><a href=x>", ""},
    {"important_beats_specificity", "#x{display:block} .f{display:none!important}", "<div id=x class=f><a href=x>",
     "display:none", 0},
    {"inline_style_beats_rules", "#x{display:none}", "<div id=x style='display:block'><a href=x>", ""},
    {"important_rule_beats_inline", "#x{display:none !important}", "<div id=x style='display:block'><a href=x>",
     "display:none", 0},
    {"inline_important_beats_important_rule", "#x{display:none !important}",
     "<div id=x style='display:block !important'><a href=x>", ""},
    {"inline_style_hides", "", "<div><span style='display:none'><a href=x>", "display:none", 1, "span"},
    {"later_inline_declaration_wins", "", "<div style='display:none;display:block'><a href=x>", ""},
    {"earlier_important_inline_wins", "", "<div style='display:none!important;display:block'><a href=x>",
     "display:none", 0},
    {"hidden_attribute", "", "<div hidden><a href=x>", "hidden attribute", 0, "div"},
    {"hidden_attribute_given_a_display", "div{display:block}", "<div hidden><a href=x>", ""},
    {"off_the_left", ".f{position:absolute;left:-9999px}", "<div class=f><a href=x>",
     "position:absolute;left:-9999px", 0},
    {"off_the_top", ".f{position:fixed;top:-1000em}", "<div class=f><a href=x>", "position:fixed;top:-1000em", 0},
    {"left_without_position", ".f{left:-9999px}", "<div class=f><a href=x>", ""},
    {"relative_position", ".f{position:relative;left:-9999px}", "<div class=f><a href=x>", ""},
    {"near_the_edge", ".f{position:absolute;left:-100px}", "<div class=f><a href=x>", ""},
    {"zero_height_clipped", ".f{height:0;overflow:hidden}", "<div class=f><a href=x>", "height:0;overflow:hidden",
     0},
    {"zero_width_clipped", ".f{width:0px;overflow-x:hidden}", "<div class=f><a href=x>",
     "width:0px;overflow:hidden", 0},
    {"zero_height_shown", ".f{height:0}", "<div class=f><a href=x>", ""},
    {"zero_height_on_an_inline_link", "a{height:0;overflow:hidden}", "<div><a href=x>", ""},
    {"zero_height_on_a_block_link", "a{display:block;height:0;overflow:hidden}", "<div><a href=x>",
     "height:0;overflow:hidden", 1},
    {"overflow_two_values", ".f{height:0;overflow:visible clip}", "<div class=f><a href=x>",
     "height:0;overflow:clip", 0},
    // Inherited properties.
    {"visibility_hidden", ".f{visibility:hidden}", "<div class=f><a href=x>", "visibility:hidden", 0},
    {"visibility_undone_below", ".f{visibility:hidden} .f a{visibility:visible}", "<div class=f><a href=x>", ""},
    {"visibility_inherit_keeps_it", ".f{visibility:hidden} a{visibility:inherit}", "<div class=f><a href=x>",
     "visibility:hidden", 0},
    {"visibility_collapse", "", "<table><tr style='visibility:collapse'><td><a href=x>", "visibility:collapse", 1},
    {"font_size_zero", ".f{font-size:0}", "<div class=f><a href=x>", "font-size:0", 0},
    {"font_size_undone_by_the_link", ".f{font-size:0} .f a{font-size:12px}", "<div class=f><a href=x>", ""},
    {"font_size_relative_stays_zero", ".f{font-size:0px} a{font-size:1.5em}", "<div class=f><a href=x>",
     "font-size:0px", 0},
    {"font_shorthand_zero", ".f{font:0/0 a}", "<div class=f><a href=x>", "font-size:0", 0},
    {"font_shorthand_size", ".f{font-size:0} a{font:bold 12px/1.5 serif}", "<div class=f><a href=x>", ""},
    {"text_indent_far", ".f{text-indent:-9999px}", "<div class=f><a href=x>", "text-indent:-9999px", 0},
    {"text_indent_near", ".f{text-indent:-2em}", "<div class=f><a href=x>", ""},
    {"text_indent_undone", ".f{text-indent:-9999px} p{text-indent:0}", "<div class=f><p><a href=x>", ""},
    // The text's colour.
    {"white_on_white_page", "a{color:#fff}", "<body><a href=x>", "color:#ffffff on #ffffff", 1, "a"},
    {"color_equal_to_the_block", ".f{background:#eee} .f a{color:#eeeeee}", "<div class=f><a href=x>",
     "color:#eeeeee on #eeeeee", 1},
    {"nearest_background_decides", "body{background-color:black} .f{background:white} a{color:black}",
     "<body><div class=f><a href=x>", ""},
    {"transparent_block_lets_the_page_show", "body{background:#000} .f{background:transparent} a{color:#000}",
     "<body><div class=f><a href=x>", "color:#000000 on #000000", 2},
    {"background_image_layer_colour", "body{background:url(a.png) no-repeat red} a{color:red}", "<body><a href=x>",
     "color:#ff0000 on #ff0000", 1},
    {"link_blue_by_default", "body{background:#0000ee}", "<body><a href=x>", "color:#0000ee on #0000ee", 1},
    {"ancestor_colour_not_on_the_link", "body{background:#fff} .f{color:#fff}", "<body><div class=f><a href=x>", ""},
    {"inherit_takes_the_parent", ".f{color:#fff} a{color:inherit}", "<body><div class=f><a href=x>",
     "color:#ffffff on #ffffff", 2},
    {"transparent_text", "a{color:transparent}", "<body><a href=x>", "color:transparent", 1},
    {"half_transparent_background_unknown", "body{background:rgba(255,255,255,.5)} a{color:#fff}",
     "<body><a href=x>", ""},
    {"unknown_colour_not_compared", "body{background:hsl(0,0%,100%)} a{color:#fff}", "<body><a href=x>", ""},
    {"unknown_colour_name_not_compared", "body{background:rebeccapurple} a{color:#fff}", "<body><a href=x>", ""},
    {"image_only_background_is_transparent", "body{background:#fff} .f{background:url(a.png) no-repeat 0 0}"
                                             " a{color:#fff}", "<body><div class=f><a href=x>",
     "color:#ffffff on #ffffff", 2},
    {"inline_colours", "", "<div style='background-color:#123456'><a href=x style='color:#123456'>",
     "color:#123456 on #123456", 1},
    // The order of the causes: a box first, from the root down.
    {"box_before_inherited", ".f{visibility:hidden} a{display:none}", "<div class=f><a href=x>", "display:none", 1},
    {"root_first", "div{display:none}", "<div><div><a href=x>", "display:none", 0},
};

TABLE_TEST(StyleHiddenTest, HiddenBy, kHidden)
{
    const HiddenRow &row = GetParam();
    StyleRules rules;
    rules.addStyleSheet(QString::fromUtf8(row.css));
    const QList<StyledElement> chain = chainOf(row.html);
    const std::optional<HiddenBy> hidden = rules.hiddenBy(chain);
    if (!*row.reason) {
        EXPECT_FALSE(hidden.has_value()) << hidden->text().toStdString();
        return;
    }
    ASSERT_TRUE(hidden.has_value());
    EXPECT_EQ(hidden->reason, QString::fromUtf8(row.reason));
    EXPECT_EQ(hidden->element, row.element < 0 ? chain.size() - 1 : row.element);
    if (row.where) {
        EXPECT_EQ(hidden->where, QString::fromUtf8(row.where));
    }
}

TEST(StyleRulesTest, SheetsCascadeInTheOrderGiven)
{
    StyleRules rules;
    rules.addStyleSheet(u".f{display:none}");
    rules.addStyleSheet(u".f{display:block}");
    EXPECT_FALSE(rules.hiddenBy(chainOf("<div class=f><a href=x>")).has_value());
    rules.addStyleSheet(u".f{display:none}");
    EXPECT_TRUE(rules.hiddenBy(chainOf("<div class=f><a href=x>")).has_value());
}

TEST(StyleRulesTest, KeepsOnlyRulesThatCanHide)
{
    StyleRules rules;
    rules.addStyleSheet(u"a{margin:0} .f, .g{display:none} p:hover{display:none} .h{color:red}");
    EXPECT_EQ(rules.ruleCount(), 3); // .f, .g and .h
}

TEST(StyleRulesTest, ReadsNoFurtherThanTheLimit)
{
    const QString pad(kStyleSheetMaxChars, u' ');
    StyleRules rules;
    rules.addStyleSheet(pad + QStringLiteral(".f{display:none}"));
    EXPECT_EQ(rules.ruleCount(), 0);
}

TEST(StyleRulesTest, LooksAtTheElementsNearestTheLinkOfADeepChain)
{
    StyleRules rules;
    rules.addStyleSheet(u".top{display:none} .near{visibility:hidden}");
    QList<StyledElement> chain(kStyleChainMaxDepth + 10, StyledElement{QStringLiteral("div"), {}, {}, {}, false});
    chain.first().classes = QStringList{QStringLiteral("top")};
    chain[20].classes = QStringList{QStringLiteral("near")};
    chain.last().tag = QStringLiteral("a");
    const std::optional<HiddenBy> hidden = rules.hiddenBy(chain);
    ASSERT_TRUE(hidden.has_value());
    EXPECT_EQ(hidden->reason, QStringLiteral("visibility:hidden"));
    EXPECT_EQ(hidden->element, 20);
}

TEST(StyleRulesTest, LongSelectorsOverADeepChainStopAtTheBudget)
{
    // A thousand and more 31-compound selectors to match up a chain of 256 elements would be hundreds of
    // millions of steps; the budget ends that. The long rule after them goes unmatched (it would
    // hide the link by display:none), while the short rule, matched first, is read.
    const QString divs = QStringLiteral("div div div div div div div div div div div div div div div div div div div div"
                                        " div div div div div div div div div ");
    QString sheet;
    for (int i = 0; i < 1500; ++i)
        sheet += divs + QStringLiteral("#y a{display:none}");
    ASSERT_LT(sheet.size(), kStyleSheetMaxChars - 200);
    const QString longRule = divs + QStringLiteral("#x a{display:none}");
    sheet += longRule + QStringLiteral("div.f a{visibility:hidden}");
    StyleRules rules;
    rules.addStyleSheet(sheet);
    QList<StyledElement> chain(kStyleChainMaxDepth - 1, StyledElement{QStringLiteral("div"), {}, {}, {}, false});
    chain[3].classes = QStringList{QStringLiteral("f")};
    chain[200].id = QStringLiteral("x");
    chain.append(StyledElement{QStringLiteral("a"), {}, {}, {}, false});
    const std::optional<HiddenBy> hidden = rules.hiddenBy(chain);
    ASSERT_TRUE(hidden.has_value());
    EXPECT_EQ(hidden->reason, QStringLiteral("visibility:hidden"));
    // Alone, the long rule is matched.
    StyleRules alone;
    alone.addStyleSheet(longRule);
    const std::optional<HiddenBy> byLongRule = alone.hiddenBy(chain);
    ASSERT_TRUE(byLongRule.has_value());
    EXPECT_EQ(byLongRule->reason, QStringLiteral("display:none"));
}

TEST(StyleRulesTest, FactText)
{
    EXPECT_EQ((HiddenBy{QStringLiteral("display:none"), 1, QStringLiteral("div.flink")}).text(),
              QStringLiteral("display:none (div.flink)"));
}

} // namespace
} // namespace friendlinks
