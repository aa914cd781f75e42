#include "web/PatternMatcher.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

const QString kAnchor = QStringLiteral("<a.*?href=.*?>.*?</a>");
const QString kAddress = QStringLiteral(R"(http://([\w-]+\.)+[\w-]+(/[\w- ./?%&=]*)?)");

struct MatchRow : Row {
    QString pattern;
    QString text;
    QString expected;
};

const MatchRow kMatches[] = {
    {"two_anchors_two_lines", kAnchor, "<a href=1>x</a>\n<a href=2>y</a>", "<a href=1>x</a>\r\n<a href=2>y</a>\r\n"},
    {"two_anchors_one_line_lazy", kAnchor, "<a href=1>x</a><a href=2>y</a>", "<a href=1>x</a>\r\n<a href=2>y</a>\r\n"},
    {"anchor_across_lf", kAnchor, "<a href=1>\nx</a>", kMatchFailed},
    {"anchor_across_cr_alone", kAnchor, "<a href=1>\rx</a>", "<a href=1>\rx</a>\r\n"},
    {"no_anchor", kAnchor, "<p>plain</p>", kMatchFailed}, {"empty_text", kAnchor, "", kMatchFailed},
    {"single_match", "b", "abc", "b\r\n"}, {"word_class_ascii_only", R"(\w+)", "中文abc_9é", "abc_9\r\n"},
    {"digit_class_ascii_only", R"(\d+)", "１２34", "34\r\n"},
    {"bracket_hyphen_is_literal", R"([\w- ./?%&=]+)", "a-b c,d/e?f%g&h=i", "a-b c\r\nd/e?f%g&h=i\r\n"},
    {"bracket_no_range_w_to_space", R"([\w- ]+)", "a!b", "a\r\nb\r\n"},
    {"address_pattern", kAddress, "x http://www.a-b.com/p q?r=1&s=%20 <", "http://www.a-b.com/p q?r=1&s=%20 \r\n"},
    {"address_needs_a_dot", kAddress, "http://localhost/", kMatchFailed},
    {"address_https_not_found", kAddress, "https://www.abc.com/", kMatchFailed},
    {"address_upper_case_scheme", kAddress, "HTTP://WWW.ABC.COM/", "HTTP://WWW.ABC.COM/\r\n"},
    {"chinese_literal", "找到相关网页", "百度一下，找到相关网页约5篇", "找到相关网页\r\n"},
    {"chinese_in_bracket", R"(\d{4}[年|\-|\.]\d{1,2}[月|\-|\.]\d{1,2}日?)", "2010年1月15日 2011|2|3 2012.12.31",
     "2010年1月15日\r\n2011|2|3\r\n2012.12.31\r\n"},
    {"counted_repetition", R"(\d{4})", "123456789", "1234\r\n5678\r\n"},
    {"case_insensitive_literal", "abc", "xABCxabc", "ABC\r\nabc\r\n"},
    {"leftmost_first_alternation", "a|ab", "ab", "a\r\n"}, {"non_overlapping", "aa", "aaaaa", "aa\r\naa\r\n"},
    {"group_quantifier", R"(([\w-]+\.)+[\w-]+)", "see a.b-c.d here", "a.b-c.d\r\n"},
    {"empty_matches_each_position", "x*", "ab", "\r\n\r\n\r\n"}, {"empty_match_after_chinese", "x*", "中", "\r\n\r\n"},
    // \w stays ASCII under case-insensitive matching: not the Kelvin sign, not the long s.
    {"word_not_kelvin_or_long_s", R"(\w+)", "a\u212Ab\u017Fc", "a\r\nb\r\nc\r\n"},
    {"word_in_bracket_not_kelvin", R"([\w-]+)", "k-\u212As", "k-\r\ns\r\n"},
    {"address_with_kelvin_not_found", kAddress, "http://www.\u212Aa.com/", kMatchFailed},
    {"non_word_takes_kelvin", R"(\W+)", "a\u212A\u017Fb", "\u212A\u017F\r\n"},
    {"negated_word_bracket", R"([^\w]+)", "k\u212A!s", "\u212A!\r\n"},
    {"non_word_bracket_keeps_letter_cases", R"([a-c\Wx]+)", "ABC!X\u212Ad", "ABC!X\u212A\r\n"},
    {"word_bracket_keeps_other_letter_cases", "[\\w\u00E9]+", "\u00C9\u00E9!", "\u00C9\u00E9\r\n"},
    {"escaped_backslash_then_w", R"(\\w)", "\\w", "\\w\r\n"}, {"quoted_w_is_literal", R"(\Q\w\E)", "a\\w", "\\w\r\n"},
};

TABLE_TEST(TestRegExpTest, JoinsEveryMatchWithLineBreaks, kMatches)
{
    EXPECT_EQ(TestRegExp(GetParam().pattern, GetParam().text), GetParam().expected);
}

TEST(TestRegExp, InvalidPatternThrowsAndForEachMatchStopsWhenTold)
{
    EXPECT_THROW((void)TestRegExp("(", "x"), PatternError);
    EXPECT_THROW((void)TestRegExp("a{2,1}", "x"), PatternError);
    QStringList seen;
    EXPECT_EQ(forEachMatch("\\d", "1a2b3", [&](const QString &m) { seen << m; return seen.size() < 2; }), 2);
    EXPECT_EQ(seen, (QStringList{"1", "2"}));
}

TEST(SplitLines, FollowsMatchListConventionAndFirstLineIsItsFirstPiece)
{
    const std::pair<QString, QStringList> cases[] = {
        {"a\r\nb\r\n", {"a", "b", ""}}, {kMatchFailed, {kMatchFailed}}, {"", {""}},
        {"a\rb\nc", {"a\rb\nc"}}, // a lone CR or LF is no separator
        {"1\r\nabc\r", {"1", "abc\r"}},
    };
    for (const auto &[text, pieces] : cases) {
        EXPECT_EQ(splitLines(text), pieces);
        EXPECT_EQ(firstLine(text), pieces.first());
    }
}

} // namespace
} // namespace friendlinks
