#include "web/BodyDecoding.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include "tests/common/Table.h"

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
        {"EFBBBF41E4B8AD", QStringLiteral("A中")},        // the mark goes
        {"EFBBBF", QString()},
        {"EFBBBFEFBBBF", QString(QChar(0xFEFF))},          // only one mark goes (two used to vanish)
        {"EFBBBF41FF42", QStringLiteral("A\uFFFDB")},      // 0xFF is no UTF-8 byte
        {"D6D080CEC4", QStringLiteral("中\uFFFD文")},      // bytes that start no GB18030 character
        {"D6D0FFCEC4", QStringLiteral("中\uFFFD文")},
        {"89", QStringLiteral("\uFFFD")},                 // a cut GB18030 sequence is replaced, not dropped
        {"6162C4E381", QStringLiteral("ab你\uFFFD")},
        {"6162", QStringLiteral("ab")},                    // short and ASCII bodies read as GB2312
        {"D6D0", QStringLiteral("中")},
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

} // namespace
} // namespace friendlinks
