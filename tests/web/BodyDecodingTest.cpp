#include "web/BodyDecoding.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

struct Utf8Case {
    const char *name;
    QByteArray hex;
    bool expected;
};

// Cases read by their names in test lists and failure messages.
void PrintTo(const Utf8Case &c, std::ostream *os)
{
    *os << c.name;
}

class IsUtf8Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(IsUtf8Test, FollowsByteRules)
{
    const Utf8Case &c = GetParam();
    EXPECT_EQ(IsUtf8(QByteArray::fromHex(c.hex)), c.expected) << c.name;
}

const Utf8Case kCases[] = {
    {"empty", "", false},
    {"one_byte", "41", false},
    {"two_byte_sequence_alone", "C3A9", false},
    {"bom_alone_two_bytes", "EFBB", false},
    {"three_byte_sequence_alone", "E4B8AD", true},
    {"bom_alone", "EFBBBF", true},
    {"bom_then_invalid", "EFBBBFFFFE80", true},
    {"pure_ascii", "414243444546", false},
    {"letter_two_byte_letter", "41C3A942", true},
    {"letter_three_byte_at_end", "41E4B8AD", true},
    {"three_byte_lead_one_after", "4142E4B8", false},
    {"two_byte_lead_last", "414243C3", false},
    {"two_byte_at_end", "4142C3A9", true},
    {"four_byte_sequence", "41F09F9880", false},
    {"gb2312_text", "D6D0CEC4", false},
    {"stray_continuation", "418042", false},
    {"lead_c0_accepted", "41C08042", true},
    {"lead_c1_accepted", "41C1BF42", true},
    {"overlong_three_byte_accepted", "E08080", true},
    {"surrogate_three_byte_accepted", "41EDA080", true},
    {"ff_byte", "41FF4243", false},
    {"f5_byte", "F5808080", false},
    {"two_byte_lead_bad_second", "C3414141", false},
    {"three_byte_bad_third", "E4B84142", false},
    {"three_byte_bad_second", "E441B842", false},
    {"broken_at_end_after_good", "E4B8ADE4B8", false},
    {"bom_like_but_not_bom", "EFBBBE41", true},
};

INSTANTIATE_TEST_SUITE_P(Cases, IsUtf8Test, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(IsUtf8, LongAsciiWithOneSequence)
{
    QByteArray body(100000, 'a');
    EXPECT_FALSE(IsUtf8(body));
    body.append("\xC3\xA9");
    EXPECT_TRUE(IsUtf8(body));
    body.append('\xC3');
    EXPECT_FALSE(IsUtf8(body));
}

TEST(DecodeBody, Gb2312Text)
{
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("D6D0CEC4")), QStringLiteral("中文"));
}

TEST(DecodeBody, Utf8Text)
{
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("41E4B8AD")), QStringLiteral("A中"));
}

TEST(DecodeBody, ByteOrderMarkDropped)
{
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("EFBBBF41E4B8AD")), QStringLiteral("A中"));
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("EFBBBF")), QString());
}

TEST(DecodeBody, InvalidBytesBecomeReplacementCharacter)
{
    // Read as UTF-8 because of the mark; 0xFF is no UTF-8 byte.
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("EFBBBF41FF42")), QStringLiteral("A\uFFFDB"));
    // Read as UTF-8; a sequence cut short by the end of the body.
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("EFBBBF41E4B8")).left(2), QStringLiteral("A\uFFFD"));
    // Read as GB2312: bytes that start no GB18030 character.
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("D6D080CEC4")), QStringLiteral("中\uFFFD文"));
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("D6D0FFCEC4")), QStringLiteral("中\uFFFD文"));
}

TEST(DecodeBody, ShortAndAsciiBodiesReadAsGb2312)
{
    EXPECT_EQ(DecodeBody("ab"), QStringLiteral("ab"));
    EXPECT_EQ(DecodeBody("<html>plain</html>"), QStringLiteral("<html>plain</html>"));
    EXPECT_EQ(DecodeBody(QByteArray::fromHex("D6D0")), QStringLiteral("中"));
}

QByteArray realPage(const char *name)
{
    QFile file(QDir(QStringLiteral(FRIENDLINKS_REALPAGES)).filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

TEST(DecodeBody, RealGb2312Page)
{
    const QByteArray body = realPage("tests_GB2312_cnblog.org.xml");
    if (body.isEmpty())
        GTEST_SKIP() << "real pages not found in " << FRIENDLINKS_REALPAGES;
    EXPECT_FALSE(IsUtf8(body));
    const QString text = DecodeBody(body);
    EXPECT_TRUE(text.contains(QStringLiteral("的移动设备发布Blog的工具")));
    EXPECT_TRUE(text.contains(QStringLiteral("出版商oreilly推出了开放图书项目")));
    EXPECT_FALSE(text.contains(QChar(0xFFFD)));
}

TEST(DecodeBody, RealUtf8Page)
{
    const QByteArray body = realPage("tests_utf-8__chromium_UTF-8_with_no_encoding_specified.html");
    if (body.isEmpty())
        GTEST_SKIP() << "real pages not found in " << FRIENDLINKS_REALPAGES;
    EXPECT_TRUE(IsUtf8(body));
    const QString text = DecodeBody(body);
    EXPECT_TRUE(text.contains(QStringLiteral("麦蒂的天赋极高")));
    EXPECT_FALSE(text.contains(QChar(0xFFFD)));
}

} // namespace
} // namespace friendlinks
