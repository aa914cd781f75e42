#include "web/DeclaredCharset.h"

#include "tests/common/Table.h"

namespace friendlinks {
namespace {

struct CharsetRow : Row {
    QByteArray body;
    QByteArray contentType; // the header's value
    QString text;           // what today's rule reads
};

const QByteArray kBig5 = QByteArray::fromHex("A4A4A4E5");       // 中文
const QByteArray kGbk = QByteArray::fromHex("D6D0CEC4");        // 中文
const QByteArray kCp1252 = QByteArray::fromHex("636166E92080"); // café €
const QByteArray kShiftJis = QByteArray::fromHex("93FA967B");   // 日本
const QByteArray kEucKr = QByteArray::fromHex("C7D1B1B9");      // 한국
const QByteArray kMetaBig5 = "<meta charset=\"big5\">";
const QByteArray kMetaCp1252 = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">";

const CharsetRow kCharsets[] = {
    {"big5_in_header", kBig5, "text/html; charset=Big5", QStringLiteral("中文")},
    {"big5_in_meta", kMetaBig5 + kBig5, "text/html", QString::fromLatin1(kMetaBig5) + QStringLiteral("中文")},
    {"cp1252_in_header", kCp1252, "text/html;charset=\"windows-1252\"", QStringLiteral("café €")},
    {"cp1252_in_http_equiv", kMetaCp1252 + kCp1252, "", QString::fromLatin1(kMetaCp1252) + QStringLiteral("café €")},
    {"latin1_read_as_cp1252", kCp1252, "text/html; charset=ISO-8859-1", QStringLiteral("café €")},
    {"shift_jis_in_header", kShiftJis, "text/html; charset=Shift_JIS", QStringLiteral("日本")},
    {"euc_kr_in_meta", "<meta charset=euc-kr>" + kEucKr, "", QStringLiteral("<meta charset=euc-kr>한국")},
    {"header_wins_over_meta", kMetaCp1252 + kBig5, "text/html; charset=big5",
     QString::fromLatin1(kMetaCp1252) + QStringLiteral("中文")},
    {"undeclared_gbk", "<p>" + kGbk + "</p>", "text/html", QStringLiteral("<p>中文</p>")},
    {"gb2312_named_reads_as_gb18030", kGbk + QByteArray::fromHex("8139EE39"), "text/html; charset=gb2312",
     QStringLiteral("中文") + QChar(0x3400)}, // a four-byte code a strict GB2312 decoder would lose
    {"unknown_name_reads_as_gb18030", kGbk, "text/html; charset=x-no-such-charset", QStringLiteral("中文")},
    {"utf8_bytes_win_over_a_wrong_declaration", "<meta charset=gbk>中文", "text/html; charset=gbk",
     QStringLiteral("<meta charset=gbk>中文")},
    {"declared_utf8_with_an_emoji", QByteArray("<meta charset=utf-8>") + "\xF0\x9F\x98\x80" + "中", "",
     QStringLiteral("<meta charset=utf-8>😀中")},
};

TABLE_TEST(DecodeDeclaredTest, ReadsTheBytesThenTheDeclaration, kCharsets)
{
    EXPECT_EQ(decodeDeclared(GetParam().body, GetParam().contentType), GetParam().text);
}

TEST(DeclaredCharset, LooksOnlyIntoTheHeadOfThePage)
{
    EXPECT_EQ(declaredCharset("<meta name=x><meta charset='Big5'>", ""), "big5");
    EXPECT_EQ(declaredCharset("<meta content=\"text/html; charset = koi8-r\" http-equiv=content-type>", ""), "koi8-r");
    EXPECT_EQ(declaredCharset("<p>charset=big5</p>", ""), ""); // not in a meta tag
    const QByteArray late = QByteArray(kCharsetScanBytes, ' ') + kMetaBig5;
    EXPECT_EQ(declaredCharset(late, ""), "");
    EXPECT_EQ(declaredCharset(late, "text/html; charset=UTF-8"), "utf-8");
}

} // namespace
} // namespace friendlinks
