#include "check/CheckRules.h"

#include "probes/BackLinkProbe.h"
#include "web/FetchResult.h"

#include "tests/common/RowPrinters.h"
#include "tests/common/Table.h"

namespace friendlinks {
namespace {

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
    {"image_link_unchanged", "1\r\n图片链接", {kImageLink, false}},
    {"img_in_text_replaced", "1\r\n<img src", {kImageConnection, false}},
    {"capital_IMG_kept", "1\r\nIMG", {"IMG", false}}, {"marker_with_more_text_is_text", "1\r\n访问太慢了", {"访问太慢了", false}},
    {"no_link", "0\r\n..", {kNoLink, true}}, {"flag_zero_whatever_text", "0\r\n友站", {kNoLink, true}},
    {"flag_not_a_number", "x\r\n友站", {kNoLink, true}}, {"empty", "", {kNoLink, true}},
};

TABLE_TEST(FanlianTest, FirstMatchingCaseDecides, kFanlians)
{
    EXPECT_EQ(fanlianCell(GetParam().report), GetParam().expected);
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

} // namespace
} // namespace friendlinks
