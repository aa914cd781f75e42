#include "web/BodyDecoding.h"

#include "web/DeclaredCharset.h"
#include "tests/common/Table.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

namespace friendlinks {
namespace {

struct Utf8Row : Row {
    QByteArray hex;
    bool expected;
};

const Utf8Row kUtf8[] = {
    {"empty", "", false}, {"two_byte_sequence_alone", "C3A9", false}, {"three_byte_sequence_alone", "E4B8AD", true},
    {"bom_alone", "EFBBBF", true}, {"bom_then_invalid", "EFBBBFFFFE80", true}, {"pure_ascii", "414243444546", false},
    {"letter_two_byte_letter", "41C3A942", true}, {"letter_three_byte_at_end", "41E4B8AD", true},
    {"three_byte_lead_one_after", "4142E4B8", false}, {"two_byte_lead_last", "414243C3", false},
    {"two_byte_at_end", "4142C3A9", true}, {"four_byte_sequence", "41F09F9880", false},
    {"gb2312_text", "D6D0CEC4", false}, {"stray_continuation", "418042", false}, {"lead_c0_accepted", "41C08042", true},
    {"overlong_three_byte_accepted", "E08080", true}, {"surrogate_three_byte_accepted", "41EDA080", true},
    {"ff_byte", "41FF4243", false}, {"two_byte_lead_bad_second", "C3414141", false},
    {"three_byte_bad_third", "E4B84142", false}, {"broken_at_end_after_good", "E4B8ADE4B8", false},
    {"bom_like_but_not_bom", "EFBBBE41", true},
};

TABLE_TEST(IsUtf8Test, FollowsByteRules, kUtf8)
{
    EXPECT_EQ(IsUtf8(QByteArray::fromHex(GetParam().hex)), GetParam().expected);
}

TEST(IsUtf8, LongAsciiWithOneSequenceAtTheEnd)
{
    QByteArray body(100000, 'a');
    EXPECT_FALSE(IsUtf8(body));
    body.append("\xC3\xA9");
    EXPECT_TRUE(IsUtf8(body));
    body.append('\xC3');
    EXPECT_FALSE(IsUtf8(body));
}

TEST(DecodeBody, ReadsUtf8OrGb2312AndReplacesWhatItCannotRead)
{
    const std::pair<const char *, QString> cases[] = {
        {"D6D0CEC4", QStringLiteral("中文")},
        {"41E4B8AD", QStringLiteral("A中")},
        {"EFBBBF", QString()},
        {"EFBBBFEFBBBF", QString(QChar(0xFEFF))},          // the mark goes, only one (two used to vanish)
        {"EFBBBF41FF42", QStringLiteral("A\uFFFDB")},      // 0xFF is no UTF-8 byte
        {"D6D080CEC4", QStringLiteral("中\uFFFD文")},      // bytes that start no GB18030 character
        {"89", QStringLiteral("\uFFFD")},                 // a cut GB18030 sequence is replaced, not dropped
        {"6162C4E381", QStringLiteral("ab你\uFFFD")},
        {"D6D0", QStringLiteral("中")},                    // short bodies read as GB2312
        {"A8BCA2E3FE55", QStringLiteral("\u1E3F€\u3473")},    // two-byte codes GBK had only as private use
        {"9030813041", QStringLiteral("\U00010000A")},        // four-byte codes beyond the BMP
        {"E3329A35E3329A36", QStringLiteral("\U0010FFFF\uFFFD")}, // the last one, and one past it
    };
    for (const auto &[hex, expected] : cases)
        EXPECT_EQ(DecodeBody(QByteArray::fromHex(hex)), expected) << hex;
}

TEST(DecodeBody, RealPagesReadWithoutReplacement)
{
    const std::pair<const char *, QStringList> pages[] = {
        {"tests_GB2312_cnblog.org.xml", {"的移动设备发布Blog的工具", "出版商oreilly推出了开放图书项目"}},
        {"tests_utf-8__chromium_UTF-8_with_no_encoding_specified.html", {"麦蒂的天赋极高"}},
    };
    for (const auto &[name, phrases] : pages) {
        QFile file(QDir(QStringLiteral(FRIENDLINKS_REALPAGES)).filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::ReadOnly))
            GTEST_SKIP() << "real pages not found in " << FRIENDLINKS_REALPAGES;
        const QString text = DecodeBody(file.readAll());
        for (const QString &phrase : phrases)
            EXPECT_TRUE(text.contains(phrase)) << name;
        EXPECT_FALSE(text.contains(QChar(0xFFFD))) << name;
    }
}


struct CharsetRow : Row {
    QByteArray body;
    QByteArray contentType; // the header's value
    QString text;           // what today's rule reads
};

const QByteArray kBig5 = QByteArray::fromHex("A4A4A4E5");       // 中文
const QByteArray kGbk = QByteArray::fromHex("D6D0CEC4");        // 中文
const QByteArray kCp1252 = QByteArray::fromHex("636166E92080"); // café €
const QByteArray kMetaBig5 = "<meta charset=\"big5\">";
const QByteArray kMetaCp1252 = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">";

const CharsetRow kCharsets[] = {
    {"big5_in_header", kBig5, "text/html; charset=Big5", QStringLiteral("中文")},
    {"big5_in_meta", kMetaBig5 + kBig5, "text/html", QString::fromLatin1(kMetaBig5) + QStringLiteral("中文")},
    {"cp1252_in_header", kCp1252, "text/html;charset=\"windows-1252\"", QStringLiteral("café €")},
    {"cp1252_in_http_equiv", kMetaCp1252 + kCp1252, "", QString::fromLatin1(kMetaCp1252) + QStringLiteral("café €")},
    {"latin1_read_as_cp1252", kCp1252, "text/html; charset=ISO-8859-1", QStringLiteral("café €")},
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
