#include "check/CsvFormat.h"

#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

CheckRow row(const QStringList &texts, const QList<Column> &red = {})
{
    CheckRow out;
    for (qsizetype i = 0; i < texts.size(); ++i)
        out.cells[size_t(i)].text = texts[i];
    for (const Column column : red)
        out[column].red = true;
    return out;
}

TEST(CsvFormat, GoldenOutputQuotesWhatNeedsIt)
{
    const QList<CheckRow> rows = {
        row({"http://www.a.com/", "说\"好\",的\r\n", "第一行\n第二行", "约1,230篇", "12K 2026-11-30 \r\n", "首页第一"}),
        row({"http://www.b.com/", "图片链接", "没有链接", "", "", "注意：不在第一"}, {Column::fanlian, Column::rp}),
    };
    EXPECT_EQ(QString::fromUtf8(formatCsv(rows)),
              QString::fromUtf8("\xEF\xBB\xBF网站地址,网站名字,反链关键字,百度收录,百度快照,百度site首页,标红\r\n"
                                "http://www.a.com/,\"说\"\"好\"\",的\",\"第一行\n第二行\",\"约1,230篇\",12K 2026-11-30 ,首页第一,\r\n"
                                "http://www.b.com/,图片链接,没有链接,,,注意：不在第一,\"fanlian,rp\"\r\n"));
}

TEST(CsvFormat, FactColumnsFollowTheRedKeysWhenAsked)
{
    const QList<RowFacts> facts(1);
    const QStringList header = QString::fromUtf8(formatCsv({row({"http://www.a.com/"})}, {}, &facts)).split("\r\n").first().split(',');
    ASSERT_EQ(header.size(), 7 + kFactColumnCount);
    EXPECT_EQ(header[6], "标红");
    EXPECT_EQ(header[7], factColumns()[0].header);
}

TEST(CsvFormat, NoRowsIsTheHeaderAlone)
{
    EXPECT_EQ(formatCsv({}), QByteArray("\xEF\xBB\xBF") + QStringLiteral("网站地址,网站名字,反链关键字,百度收录,百度快照,百度site首页,标红\r\n").toUtf8());
}

TEST(CsvFormat, OnlyOneTrailingLineBreakIsDropped)
{
    EXPECT_EQ(cellDisplayText("回链站\r\n"), "回链站");
    EXPECT_EQ(cellDisplayText("回链站\r"), "回链站");
    EXPECT_EQ(cellDisplayText("a\r\n\r\n"), "a\r\n");
    EXPECT_EQ(cellDisplayText("a\nb"), "a\nb");
    EXPECT_EQ(csvField("plain text"), "plain text");
    EXPECT_EQ(csvField("a\rb"), "\"a\rb\"");
}

} // namespace
} // namespace friendlinks
