#include "launcher/EngineTable.h"

#include <gtest/gtest.h>


using namespace friendlinks;

TEST(EngineTable, ElevenAddressesForKeywordWithInnerSpace)
{
    const QStringList urls = buildSearchUrls(QStringLiteral("a b"));
    const QStringList expected{
        "http://www.baidu.com/s?wd=a b",
        "http://zhidao.baidu.com/q?word=a b&lm=0&fr=search&ct=17&pn=0&tn=ikaslist&rn=10",
        "http://www.google.com.hk/search?hl=zh-CN&source=hp&q=a b&btnG=Google+%E6%90%9C%E7%B4%A2&aq=f&aqi=&aql=&oq=&gs_rfai=",
        "http://www.yahoo.cn/search?v=web&ei=UTF-8&trackingType=go_search_home&p=a b&fr=hsusgo1&sa.x=41&sa.y=21",
        "http://www.sogou.com/sogou?p=40040101&_ast=1262967719&_asf=www.sogou.com&w=01019901&query=a b&pid=sogou-netb-3b7d0e5a91c4f2e8-5907",
        "http://www.soso.com/q?pid=s.idx&ch=s.idx&w=a b",
        "http://cn.bing.com/search?q=a b&src = ie - SearchBox",
        "http://www.youdao.com/search?q=a b&ue=utf8&keyfrom=web.index",
        "http://www.zhongsou.com/p?dt=1&pt=1&w=a b",
        "http://www.iciba.com/a b/9c1e07b2d5a34f68e0b7c2a91d4f5e36/",
        "http://dict.baidu.com/s?wd=a b&tn=dict",
    };
    EXPECT_EQ(urls, expected);
}

TEST(EngineTable, ChineseKeywordGoesInUnescaped)
{
    const QStringList urls = buildSearchUrls(QStringLiteral("友情链接"));
    ASSERT_EQ(urls.size(), kEngineCount);
    EXPECT_EQ(urls[9], QStringLiteral("http://www.iciba.com/友情链接/9c1e07b2d5a34f68e0b7c2a91d4f5e36/"));
}

TEST(TrimSpaces, OnlyU0020AtBothEnds)
{
    const std::pair<QString, QString> cases[] = {
        {"  abc  ", "abc"}, {"   ", ""}, {"\tabc ", "\tabc"}, {" a  b ", "a  b"}, {"\u3000x\u3000", "\u3000x\u3000"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(trimSpaces(in), out) << in.toStdString();
}
