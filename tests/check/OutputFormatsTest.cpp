#include "check/DisplayWidth.h"
#include "check/JsonFormat.h"
#include "check/TableFormat.h"
#include "check/TsvFormat.h"

#include "check/CsvFormat.h"
#include "check/ResultsWriter.h"
#include "check/TextEscape.h"
#include "tests/common/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

// A row of the given cell texts (the rest empty), red in the given columns.
CheckRow row(const QStringList &texts, const QList<Column> &red = {})
{
    CheckRow out;
    for (qsizetype i = 0; i < texts.size(); ++i)
        out.cells[size_t(i)].text = texts[i];
    for (const Column column : red)
        out[column].red = true;
    return out;
}

// Two rows that hold every character the formats must escape or measure.
QList<CheckRow> sampleRows()
{
    return {
        row({"http://www.back.com/", "回链站\r\n", "首页\t之家", "约1,230篇", "12K 2026-11-30 \r\n", "首页第一"}),
        row({"http://www.pic.net/", "a\"b\\c\r", "没有链接", "", "", "注意：不在第一"}, {Column::fanlian, Column::rp}),
    };
}

TEST(OutputFormats, JsonKeepsKeyOrderAndEscapes)
{
    // One row a line, so that line tools can read it too.
    const QByteArray expected =
        R"({"site": "www.home9.com", "mode": "classic", "rows": [)" "\n"
        R"(  {"lianjie": "http://www.back.com/", "guanjianzi": "回链站\r\n", "fanlian": "首页\t之家", "shoulu": "约1,230篇", "kuaizhao": "12K 2026-11-30 \r\n", "rp": "首页第一", "red": []},)" "\n"
        R"(  {"lianjie": "http://www.pic.net/", "guanjianzi": "a\"b\\c\r", "fanlian": "没有链接", "shoulu": "", "kuaizhao": "", "rp": "注意：不在第一", "red": ["fanlian", "rp"]})" "\n"
        "], \"skipped\": {}}\n";
    ResultsWriter results;
    results.clear("www.home9.com", false);
    for (const CheckRow &cells : sampleRows())
        results.appendRow({cells, {}});
    const QByteArray json = formatJson(*results.model(), false);
    EXPECT_EQ(QString::fromUtf8(json), QString::fromUtf8(expected));

    results.clear("", false);
    EXPECT_TRUE(QJsonDocument::fromJson(formatJson(*results.model())).object().value("rows").toArray().isEmpty());
}

TEST(OutputFormats, TsvHasHeaderAndEscapedCells)
{
    const QByteArray expected = "网站地址\t网站名字\t反链关键字\t百度收录\t百度快照\t百度site首页\t标红\n"
                                "http://www.back.com/\t回链站\\r\\n\t首页\\t之家\t约1,230篇\t12K 2026-11-30 \\r\\n\t首页第一\t\n"
                                "http://www.pic.net/\ta\"b\\\\c\\r\t没有链接\t\t\t注意：不在第一\tfanlian,rp\n";
    EXPECT_EQ(QString::fromUtf8(formatTsv(cellsTable(sampleRows()))), QString::fromUtf8(expected));
}

TEST(OutputFormats, TableAlignsWideCharactersAndWritesNoEscapeSequenceButItsOwnColour)
{
    QList<CheckRow> rows = sampleRows();
    rows << row({"http://www.a.com/", "\x1b[2J\u202e反\r\n", "没有链接"}, {Column::fanlian});
    const QStringList lines = QString::fromUtf8(formatTable(cellsTable(rows), false, 2345)).split('\n');
    ASSERT_EQ(lines.size(), 6); // header, three rows, summary, and the final empty piece
    // The second column starts at the same display column on every line.
    const int nameColumn = displayWidth(lines[0].left(lines[0].indexOf("网站名字")));
    EXPECT_EQ(displayWidth(lines[1].left(lines[1].indexOf("回链站"))), nameColumn);
    EXPECT_EQ(displayWidth(lines[2].left(lines[2].indexOf("a\"b"))), nameColumn);
    EXPECT_TRUE(lines[3].contains(R"(\x1b[2J\u202e反  )")) << lines[3].toStdString();
    EXPECT_FALSE(lines[1].contains('\r') || lines[1].contains('\t'));
    EXPECT_EQ(lines[4], "共 3 行，标红 3 处，用时 2.3 秒");
    EXPECT_FALSE(lines.join('\n').contains(QChar(0x1b)) || lines.join('\n').contains(QChar(0x202e)));
    const QString coloured = QString::fromUtf8(formatTable(cellsTable(rows), true, 0));
    EXPECT_EQ(coloured.count(QChar(0x1b)), 2 * 3); // red on and off around each red cell
    EXPECT_TRUE(coloured.contains("\x1b[31m没有链接"));
    EXPECT_EQ(displayWidth("注意：x"), 7);
}

TEST(CsvFormat, GoldenOutputQuotesWhatNeedsIt)
{
    const QList<CheckRow> rows = {
        row({"http://www.a.com/", "说\"好\",的\r\n", "第一行\n第二行", "约1,230篇", "12K 2026-11-30 \r\n", "首页第一"}),
        // One trailing line break goes (CR LF or a lone CR); a CR inside is quoted; nothing reads as a formula.
        row({"http://www.b.com/", "图片链接\r", "没有链接", "", "a\r\n\r\n", "注意：不在第一"}, {Column::fanlian, Column::rp}),
        row({"http://www.c.com/", "=HYPERLINK(\"x\")\r\n", "@x", "-1", "a\rb"}),
    };
    EXPECT_EQ(QString::fromUtf8(formatCsv(cellsTable(rows))),
              QString::fromUtf8("\xEF\xBB\xBF网站地址,网站名字,反链关键字,百度收录,百度快照,百度site首页,标红\r\n"
                                "http://www.a.com/,\"说\"\"好\"\",的\",\"第一行\n第二行\",\"约1,230篇\",12K 2026-11-30 ,首页第一,\r\n"
                                "http://www.b.com/,图片链接,没有链接,,\"a\r\n\",注意：不在第一,\"fanlian,rp\"\r\n"
                                "http://www.c.com/,\"'=HYPERLINK(\"\"x\"\")\",'@x,'-1,\"a\rb\",,\r\n"));
}

TEST(CsvFormat, ControlCharactersAreWrittenAsTheWindowShowsThem)
{
    static const char name[] = "a\x1b[2J\x07\0b\u202e\tc\r\nd"; // a NUL inside
    const QList<CheckRow> rows = {row({"http://www.a.com/", QString::fromUtf8(name, sizeof name - 1), "x"})};
    const QString csv = QString::fromUtf8(formatCsv(cellsTable(rows)));
    EXPECT_TRUE(csv.contains(R"(,"a\x1b[2J\x07\x00b\u202e\tc)" "\r\nd\",")) << csv.toStdString();
    EXPECT_FALSE(csv.contains(QChar(0x1b)) || csv.contains(QChar(0x07)) || csv.contains(QChar(0)) || csv.contains('\t'));
}

TEST(CsvFormat, FactColumnsFollowTheRedKeysWhenAsked)
{
    ResultTable table = cellsTable({row({"http://www.a.com/"})});
    table.rows[0].facts.status = 404;
    table.factColumns = {FactColumn::status, FactColumn::baiduCount};
    const QStringList lines = QString::fromUtf8(formatCsv(table)).split("\r\n");
    EXPECT_TRUE(lines[0].endsWith(",标红," + factColumns()[0].header + "," + factColumns()[7].header)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(",,404,")) << lines[1].toStdString();
    table.header = false; // a later piece of a streamed output
    EXPECT_EQ(formatCsv(table), lines[1].toUtf8() + "\r\n");
    EXPECT_EQ(formatTsv(table).count('\n'), 1);
}

TEST(CsvFormat, AnAddedColumnStandsAmongTheFactColumnsAndIsEscapedAsTheCells)
{
    ResultTable table = cellsTable({row({"http://www.a.com/"}), row({"http://www.b.com/"})});
    table.rows[0].facts.status = 404;
    table.factColumns = {FactColumn::status, FactColumn::baiduCount};
    const QString status = factColumns()[0].header, count = factColumns()[7].header;
    const struct {
        qsizetype afterFacts;
        QString header; // its tail from "标红"
        QString tsv;    // the first row's tail from its red keys
    } placed[] = {
        {0, "标红\t变化\t" + status + "\t" + count, "\t=x\\t,y\t404\t"},
        {1, "标红\t" + status + "\t变化\t" + count, "\t404\t=x\\t,y\t"},
        {2, "标红\t" + status + "\t" + count + "\t变化", "\t404\t\t=x\\t,y"},
        {9, "标红\t" + status + "\t" + count + "\t变化", "\t404\t\t=x\\t,y"},
        {-1, "标红\t变化\t" + status + "\t" + count, "\t=x\\t,y\t404\t"},
    };
    for (const auto &place : placed) {
        // One cell for two rows: the second row's is empty.
        table.added = AddedColumn{QStringLiteral("变化"), {QStringLiteral("=x\t,y")}, place.afterFacts};
        const QStringList tsv = QString::fromUtf8(formatTsv(table)).split('\n');
        ASSERT_EQ(tsv.size(), 4);
        EXPECT_TRUE(tsv[0].endsWith(place.header)) << place.afterFacts << tsv[0].toStdString();
        EXPECT_TRUE(tsv[1].endsWith(place.tsv)) << place.afterFacts << tsv[1].toStdString();
        EXPECT_EQ(tsv[2].count('\t'), tsv[0].count('\t'));
    }
    table.added = AddedColumn{QStringLiteral("变化"), {QStringLiteral("=x\t,y")}, 0};
    const QStringList csv = QString::fromUtf8(formatCsv(table)).split("\r\n");
    EXPECT_TRUE(csv[0].endsWith(",标红,变化," + status + "," + count)) << csv[0].toStdString();
    EXPECT_TRUE(csv[1].endsWith(",,\"'=x\\t,y\",404,")) << csv[1].toStdString();
    EXPECT_TRUE(csv[2].endsWith(",,,0,")) << csv[2].toStdString();
    // The aligned table keeps to the six.
    EXPECT_FALSE(QString::fromUtf8(formatTable(table, false, 0)).contains(QStringLiteral("变化")));
}

TEST(TextEscape, UnsafeCharactersAreShownAsEscapesAndFormulasQuoted)
{
    // text; as table, stderr and the window's cells show it; as tsv writes it
    const std::tuple<QString, QString, QString> cases[] = {
        {"plain 中文 \\ text", "plain 中文 \\ text", "plain 中文 \\\\ text"},
        {"\x1b[2Jx\x7f", R"(\x1b[2Jx\x7f)", R"(\x1b[2Jx\x7f)"},
        {QString(QChar(0x85)) + QChar(0x9b), R"(\x85\x9b)", R"(\x85\x9b)"},
        {QStringLiteral("a\u202eb\u2066c\u061cd\u200fe"), R"(a\u202eb\u2066c\u061cd\u200fe)", R"(a\u202eb\u2066c\u061cd\u200fe)"},
        {QStringLiteral("\u2028 stays"), QStringLiteral("\u2028 stays"), QStringLiteral("\u2028 stays")},
    };
    for (const auto &[text, shown, tsv] : cases) {
        EXPECT_EQ(escapeForDisplay(text), shown);
        EXPECT_EQ(tsvField(text), tsv);
    }
    EXPECT_EQ(oneLineCellText("a\r\nb\u202e\r\n"), R"(a b\u202e)");
    for (const char *formula : {"=1+1", "+1", "-1", "@SUM(A1)", "\tx", "\rx"})
        EXPECT_EQ(formulaSafe(formula), QLatin1Char('\'') + formula) << formula;
    for (const char *plain : {"", "1+1", "a=b", "'x"})
        EXPECT_EQ(formulaSafe(plain), plain) << plain;
}

TEST(ResultsModel, CellsFactsAndRedFlagsByColumnAndChangesByRange)
{
    ResultsWriter writer;
    const ResultsModel &model = *writer.model();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    writer.clear(QStringLiteral("www.home.com"), true);
    RowFacts facts;
    facts.status = 404;
    facts.pageNofollow = true;
    writer.appendRow({sampleRows()[1], facts});
    writer.updateRow(0, [](ResultRow &row) {
        row.cells[Column::shoulu] = {QStringLiteral("3篇")};
        row.cells[Column::rp].red = false;
    });
    writer.updateRow(1, [](ResultRow &) { ADD_FAILURE() << "no such row"; });
    const int fact = kColumnCount;
    const struct {
        int column;
        int role;
        QVariant expected;
    } table[] = {
        {0, Qt::DisplayRole, "http://www.pic.net/"},
        {0, Qt::ToolTipRole, QVariant()}, // tips and colours are the window's
        {2, ResultsModel::kRedRole, true},
        {5, ResultsModel::kRedRole, false},
        {3, Qt::DisplayRole, "3篇"},
        {fact + int(FactColumn::status), Qt::DisplayRole, "404"},
        {fact + int(FactColumn::pageNofollow), Qt::DisplayRole, "是"},
    };
    ASSERT_EQ(model.rowCount(), 1);
    for (const auto &c : table)
        EXPECT_EQ(model.data(model.index(0, c.column), c.role), c.expected) << c.column << " " << c.role;
    EXPECT_TRUE(model.cell(0, fact + int(FactColumn::pageNofollow)).red);
    EXPECT_EQ(model.headerData(fact, Qt::Horizontal), factColumns()[0].header);
    ASSERT_EQ(changed.size(), 1) << "a row's update is said once, for the whole row";
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(0, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), model.index(0, fact + kFactColumnCount - 1));
}

} // namespace
} // namespace friendlinks
