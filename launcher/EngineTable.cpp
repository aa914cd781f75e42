#include "launcher/EngineTable.h"

#include "web/TextCuts.h"

namespace friendlinks {

const std::array<SearchEngine, kEngineCount> &engineTable()
{
    static const std::array<SearchEngine, kEngineCount> table{{
        {"百度", "www.baidu.com", "/s?wd=", ""},
        {"百度知道", "zhidao.baidu.com", "/q?word=", "&lm=0&fr=search&ct=17&pn=0&tn=ikaslist&rn=10"},
        {"谷歌", "www.google.com.hk", "/search?hl=zh-CN&source=hp&q=",
         "&btnG=Google+%E6%90%9C%E7%B4%A2&aq=f&aqi=&aql=&oq=&gs_rfai="},
        {"雅虎", "www.yahoo.cn", "/search?v=web&ei=UTF-8&trackingType=go_search_home&p=",
         "&fr=hsusgo1&sa.x=41&sa.y=21"},
        {"搜狗", "www.sogou.com", "/sogou?p=40040101&_ast=1262967719&_asf=www.sogou.com&w=01019901&query=",
         "&pid=sogou-netb-3b7d0e5a91c4f2e8-5907"},
        {"搜搜", "www.soso.com", "/q?pid=s.idx&ch=s.idx&w=", ""},
        {"必应", "cn.bing.com", "/search?q=", "&src = ie - SearchBox"},
        {"有道", "www.youdao.com", "/search?q=", "&ue=utf8&keyfrom=web.index"},
        {"中搜", "www.zhongsou.com", "/p?dt=1&pt=1&w=", ""},
        {"金山词霸", "www.iciba.com", "/", "/9c1e07b2d5a34f68e0b7c2a91d4f5e36/"},
        {"百度词典", "dict.baidu.com", "/s?wd=", "&tn=dict"},
    }};
    return table;
}

QString trimSpaces(const QString &text)
{
    return trimBlanks(text);
}

QStringList buildSearchUrls(const QString &keyword)
{
    QStringList urls;
    urls.reserve(kEngineCount);
    for (const SearchEngine &e : engineTable()) {
        urls << QStringLiteral("http://") + QString::fromUtf8(e.host) + QString::fromUtf8(e.before) + keyword
                    + QString::fromUtf8(e.after);
    }
    return urls;
}

} // namespace friendlinks
