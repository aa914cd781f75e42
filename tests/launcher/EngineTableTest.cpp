#include "launcher/EngineTable.h"

#include "tests/common/QtPrinters.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace friendlinks;

TEST(EngineTable, ElevenAddressesEachWithTheKeywordAsTyped)
{
    const QStringList urls = buildSearchUrls(QStringLiteral("友情 链接"));
    ASSERT_EQ(urls.size(), kEngineCount);
    EXPECT_EQ(QSet<QString>(urls.begin(), urls.end()).size(), kEngineCount);
    for (const QString &url : urls)
        EXPECT_EQ(url.count(QStringLiteral("友情 链接")), 1) << url.toStdString();
    EXPECT_EQ(urls[0], "http://www.baidu.com/s?wd=友情 链接");
    EXPECT_EQ(urls[6], "http://cn.bing.com/search?q=友情 链接&src = ie - SearchBox");
    EXPECT_EQ(urls[9], "http://www.iciba.com/友情 链接/9c1e07b2d5a34f68e0b7c2a91d4f5e36/");
}

TEST(EngineTable, TrimSpacesTakesOnlyU0020AtBothEnds)
{
    const std::pair<QString, QString> cases[] = {
        {"  abc  ", "abc"}, {"   ", ""}, {"\tabc ", "\tabc"}, {" a  b ", "a  b"}, {"\u3000x\u3000", "\u3000x\u3000"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(trimSpaces(in), out) << in.toStdString();
}
