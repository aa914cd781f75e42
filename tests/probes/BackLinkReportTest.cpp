#include "probes/BackLinkProbe.h"

#include "web/FetchResult.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

QString mine(const QString &content) { return QStringLiteral("<a href=\"http://www.abc9.com/\">%1</a>").arg(content); }

struct ReportRow : Row {
    QString page;
    QString expected;
    QString needle = QStringLiteral("www.abc9.com");
};

const ReportRow kReports[] = {
    {"empty_body_marker", kEmptyBody, "1\r\n无知错误"}, {"too_slow_marker", kTooSlow, "1\r\n访问太慢"},
    {"marker_inside_page_is_a_page", "<p>访问太慢</p>", "0\r\n.."}, {"marker_with_blank_is_a_page", "无知错误 ", "0\r\n.."},
    {"empty_page", "", "0\r\n.."}, {"no_anchor", "<p>www.abc9.com</p>", "0\r\n.."},
    {"no_anchor_with_needle", "<a href=\"http://other.com/\">Other</a>", "0\r\n.."},
    {"first_of_several", mine("One") + "\n" + mine("Two"), "1\r\nOne\r\n"},
    {"later_anchor_decides", "<a href=\"http://x.com/\">X</a>" + mine("Mine"), "1\r\nMine\r\n"},
    {"needle_in_text_only", "<a href=\"/rel\">see www.abc9.com</a>", "1\r\nsee www."},
    {"image_link", mine("<img src=\"logo.gif\">Text"), "1\r\n图片链接"},
    {"image_capitals_is_text", mine("<IMG SRC=\"a\">"), "1\r\n<IMG SRC"},
    {"image_two_blanks_is_text", mine("<img  src=a>"), "1\r\n<img  sr"},
    {"image_other_attribute_is_text", mine("<img alt=x src=a>"), "1\r\n<img alt"},
    {"image_blank_before_equals_is_text", mine("<img src =a>"), "1\r\n<img src"},
    // The 8-character cut counts the trailing CR LF; an emoji is one character, kept or dropped whole.
    {"six_characters_keep_crlf", mine("abcdef"), "1\r\nabcdef\r\n"},
    {"seven_characters_keep_cr", mine("abcdefg"), "1\r\nabcdefg\r"},
    {"ten_characters_cut_to_eight", mine("abcdefghij"), "1\r\nabcdefgh"},
    {"chinese_ten", mine("一二三四五六七八九十"), "1\r\n一二三四五六七八"}, {"empty_text", mine(""), "1\r\n\r\n"},
    {"emoji_sixth_keeps_crlf", mine("abcde\U0001F600"), "1\r\nabcde\U0001F600\r\n"},
    {"emoji_seventh_keeps_cr", mine("abcdef\U0001F600"), "1\r\nabcdef\U0001F600\r"},
    {"emoji_eighth_kept_whole", mine("abcdefg\U0001F600z"), "1\r\nabcdefg\U0001F600"},
    {"emoji_ninth_dropped_whole", mine("abcdefgh\U0001F600"), "1\r\nabcdefgh"},
    // The pattern ignores case, the removal of "</a>" does not; tags inside lose their brackets.
    {"upper_case_anchor", "<A HREF=\"http://www.abc9.com/\">ab</A>", "1\r\nab</A\r\n"},
    {"needle_case_respected", "<a href=\"http://WWW.ABC9.COM/\">Site</a>", "0\r\n.."},
    {"tags_inside_lose_brackets", mine("<b>ab</b>"), "1\r\n<bab</b\r"},
    // "." runs over a CR but never over a LF.
    {"cr_inside_anchor", mine("ab\rcd"), "1\r\nab\rcd\r\n"}, {"lf_inside_anchor_not_found", mine("ab\ncd"), "0\r\n.."},
    {"empty_needle_first_anchor", "<a href=\"http://x.com/\">X</a>" + mine("Mine"), "1\r\nX\r\n", ""},
    {"empty_needle_no_anchor", "<p>text</p>", "1\r\n匹配失败", ""},
};

TABLE_TEST(BackLinkReportTest, ReportsFirstAnchorHoldingNeedle, kReports)
{
    EXPECT_EQ(backLinkReport(GetParam().page, GetParam().needle), GetParam().expected);
}

} // namespace
} // namespace friendlinks
