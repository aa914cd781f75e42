#pragma once

// Checks as a year of daily watching records them, for the history's tests
// and benchmark: rows written as `check --format json --facts` writes them
// (modern mode's keys included), varying from friend to friend and day to day.

#include "check/HistoryRecord.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace friendlinks::samples {

inline quint32 mix(quint32 value)
{
    value ^= value >> 16;
    value *= 0x7feb352dU;
    value ^= value >> 15;
    value *= 0x846ca68bU;
    return value ^ (value >> 16);
}

inline QString friendAddress(int friendIndex)
{
    static const QStringList words{"tech", "news", "shop", "travel", "food", "game", "music", "photo", "blog", "home"};
    static const QStringList endings{".com/", ".cn/", ".net/", ".com.cn/", ".org/"};
    return QStringLiteral("http://www.%1%2-%3%4")
        .arg(words[friendIndex % words.size()], words[(friendIndex / 10) % words.size()])
        .arg(friendIndex)
        .arg(endings[friendIndex % endings.size()]);
}

inline QString anchorText(int friendIndex)
{
    static const QString syllables = QStringLiteral("科技网络信息资讯旅游美食游戏音乐摄影博客家居生活健康教育财经汽车房产");
    QString text;
    for (int i = 0; i < 4; ++i)
        text += syllables[int(mix(quint32(friendIndex * 4 + i)) % quint32(syllables.size()))];
    return text + QStringLiteral("网");
}

// One row of a check on `day`, about 700 bytes of json.
inline QByteArray rowJson(int friendIndex, int day)
{
    const quint32 luck = mix(quint32(friendIndex * 7919 + day));
    const bool linked = luck % 20 != 0; // a friend in twenty has lost the link that day
    const bool nofollow = friendIndex % 9 == 0;
    const int pages = 1200 + friendIndex * 37 + day / 7 * 3;
    const QString address = friendAddress(friendIndex);
    const QString count = QString::number(pages);
    const QString backlink = linked ? QStringLiteral("{\"href\": \"http://www.mysite.com/\", \"rel\": [%1], \"follow\": %2, "
                                                     "\"url\": \"http://www.mysite.com/\"}")
                                          .arg(nofollow ? QStringLiteral("\"nofollow\"") : QString(),
                                               nofollow ? QStringLiteral("false") : QStringLiteral("true"))
                                    : QStringLiteral("null");
    return QStringLiteral("{\"lianjie\": \"%1\", \"guanjianzi\": \"%2\", \"fanlian\": \"%3\", \"shoulu\": \"约%4篇\", "
                          "\"kuaizhao\": \"%5K 2026-%6-%7\", \"rp\": \"%8\", \"red\": [%9], \"facts\": {\"status\": 200, "
                          "\"final_url\": \"%1\", \"ms\": %10, \"backlink\": %11, \"page_nofollow\": false, "
                          "\"outbound\": %12, \"baidu\": {\"state\": \"ok\", \"count\": \"%4\", \"pages\": %13, "
                          "\"rank\": \"%14\"}, \"tls_error\": null, \"our_link\": {\"href\": \"%1\", \"rel\": [], "
                          "\"follow\": true, \"url\": \"%1\"}}}")
        .arg(address, anchorText(friendIndex), linked ? QStringLiteral("首页之家") : QStringLiteral("没有链接"),
             QLocale::c().toString(pages), QString::number(3 + friendIndex % 40), QString::number(1 + day / 31 % 12),
             QString::number(1 + day % 28), luck % 3 ? QStringLiteral("首页第一") : QStringLiteral("不是第一"),
             linked ? QString() : QStringLiteral("\"fanlian\""))
        .arg(QString::number(150 + luck % 4000), backlink, QString::number(20 + friendIndex % 60), count,
             luck % 3 ? QStringLiteral("first") : QStringLiteral("not_first"))
        .toUtf8();
}

inline CheckRecord dailyCheck(const QString &site, int day, int friends)
{
    CheckRecord check;
    check.site = site;
    check.mode = QStringLiteral("modern");
    check.started = QDateTime(QDate(2026, 1, 1), QTime(3, 0), Qt::UTC).addDays(day);
    check.finished = check.started.addSecs(95);
    check.programVersion = QStringLiteral("8.0");
    check.outcome = QStringLiteral("{\"site\": \"%1\", \"mode\": \"modern\", \"rows\": [], \"home\": {\"status\": 200, "
                                   "\"final_url\": \"http://%1/\", \"ms\": 80, \"tls_error\": null}, \"skipped\": {\"same_site\": 12}}")
                        .arg(site)
                        .toUtf8();
    for (int i = 0; i < friends; ++i)
        check.rows.append({friendAddress(i), rowJson(i, day)});
    return check;
}

} // namespace friendlinks::samples
