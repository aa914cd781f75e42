#include "probes/BackLinkProbe.h"

#include "web/FetchResult.h"

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

struct ReportCase {
    const char *name;
    QString page;
    QString needle;
    QString expected;
};

void PrintTo(const ReportCase &c, std::ostream *os) { *os << c.name; } // the name in test lists

class BackLinkReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(BackLinkReportTest, ReportsFirstAnchorHoldingNeedle)
{
    const ReportCase &c = GetParam();
    EXPECT_EQ(backLinkReport(c.page, c.needle), c.expected) << c.name;
}

QString anchor(const QString &href, const QString &content)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href, content);
}

const QString kNeedle = QStringLiteral("www.abc9.com");
const QString kOwnHref = QStringLiteral("http://www.abc9.com/");

const ReportCase kCases[] = {
    {"empty_body_marker", kEmptyBody, kNeedle, "1\r\n无知错误"},
    {"too_slow_marker", kTooSlow, kNeedle, "1\r\n访问太慢"},
    {"marker_inside_page_is_a_page", "<p>访问太慢</p>", kNeedle, "0\r\n.."},
    {"marker_with_blank_is_a_page", "无知错误 ", kNeedle, "0\r\n.."},
    {"empty_page", "", kNeedle, "0\r\n.."},
    {"no_anchor", "<p>www.abc9.com</p>", kNeedle, "0\r\n.."},
    {"no_anchor_with_needle", anchor("http://other.com/", "Other"), kNeedle, "0\r\n.."},
    {"first_of_several", anchor(kOwnHref, "One") + "\n" + anchor(kOwnHref, "Two"), kNeedle, "1\r\nOne\r\n"},
    {"later_anchor_decides", anchor("http://x.com/", "X") + anchor(kOwnHref, "Mine"), kNeedle, "1\r\nMine\r\n"},
    {"needle_in_text_only", anchor("/rel", "see www.abc9.com"), kNeedle, "1\r\nsee www."},
    {"image_link", anchor(kOwnHref, "<img src=\"logo.gif\">Text"), kNeedle, "1\r\n图片链接"},
    {"image_capitals_is_text", anchor(kOwnHref, "<IMG SRC=\"a\">"), kNeedle, "1\r\n<IMG SRC"},
    {"image_two_blanks_is_text", anchor(kOwnHref, "<img  src=a>"), kNeedle, "1\r\n<img  sr"},
    {"image_other_attribute_is_text", anchor(kOwnHref, "<img alt=x src=a>"), kNeedle, "1\r\n<img alt"},
    {"image_blank_before_equals_is_text", anchor(kOwnHref, "<img src =a>"), kNeedle, "1\r\n<img src"},
    {"six_characters_keep_crlf", anchor(kOwnHref, "abcdef"), kNeedle, "1\r\nabcdef\r\n"},
    {"seven_characters_keep_cr", anchor(kOwnHref, "abcdefg"), kNeedle, "1\r\nabcdefg\r"},
    {"ten_characters_cut_to_eight", anchor(kOwnHref, "abcdefghij"), kNeedle, "1\r\nabcdefgh"},
    {"chinese_six", anchor(kOwnHref, "友情链接测试"), kNeedle, "1\r\n友情链接测试\r\n"},
    {"chinese_ten", anchor(kOwnHref, "一二三四五六七八九十"), kNeedle, "1\r\n一二三四五六七八"},
    {"empty_text", anchor(kOwnHref, ""), kNeedle, "1\r\n\r\n"},
    // An emoji is one character: kept whole or dropped whole.
    {"emoji_sixth_keeps_crlf", anchor(kOwnHref, "abcde\U0001F600"), kNeedle, "1\r\nabcde\U0001F600\r\n"},
    {"emoji_seventh_keeps_cr", anchor(kOwnHref, "abcdef\U0001F600"), kNeedle, "1\r\nabcdef\U0001F600\r"},
    {"emoji_eighth_kept_whole", anchor(kOwnHref, "abcdefg\U0001F600z"), kNeedle, "1\r\nabcdefg\U0001F600"},
    {"emoji_ninth_dropped_whole", anchor(kOwnHref, "abcdefgh\U0001F600"), kNeedle, "1\r\nabcdefgh"},
    // The pattern ignores case, the removal of "</a>" does not.
    {"upper_case_closing_tag", "<a href=\"http://www.abc9.com/\">Site</A>", kNeedle, "1\r\nSite</A\r"},
    {"upper_case_anchor", "<A HREF=\"http://www.abc9.com/\">ab</A>", kNeedle, "1\r\nab</A\r\n"},
    {"needle_case_respected", anchor("http://WWW.ABC9.COM/", "Site"), kNeedle, "0\r\n.."},
    {"tags_inside_lose_brackets", anchor(kOwnHref, "<b>ab</b>"), kNeedle, "1\r\n<bab</b\r"},
    {"font_inside", anchor(kOwnHref, "<font color=red>ab</font>"), kNeedle, "1\r\n<font co"},
    // "." runs over a CR but never over a LF.
    {"cr_inside_anchor", anchor(kOwnHref, "ab\rcd"), kNeedle, "1\r\nab\rcd\r\n"},
    {"lf_inside_anchor_not_found", anchor(kOwnHref, "ab\ncd"), kNeedle, "0\r\n.."},
    {"empty_needle_first_anchor", anchor("http://x.com/", "X") + anchor(kOwnHref, "Mine"), "", "1\r\nX\r\n"},
    {"empty_needle_no_anchor", "<p>text</p>", "", "1\r\n匹配失败"},
    {"empty_needle_empty_page", "", "", "1\r\n匹配失败"},
};

INSTANTIATE_TEST_SUITE_P(Cases, BackLinkReportTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace friendlinks
