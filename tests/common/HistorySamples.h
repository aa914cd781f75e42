#pragma once

// Checks as a year of daily watching records them, for the history's tests
// and benchmark: rows written as `check --format json --facts` writes them
// (modern mode's keys included), varying from friend to friend and day to day.
// And for the tests of the commands that read the history: a history file
// with checks recorded into it and a command run on it.

#include "check/HistoryRecord.h"
#include "check/HistoryRecording.h"
#include "check/SiteResult.h"
#include "cli/Commands.h"

#include <QBuffer>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

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

// A site's check as the window or `check` ends it: its rows, its home page answered.
inline SiteResult siteCheck(const QString &site, const QDateTime &started, const QList<ResultRow> &rows,
                            bool modern = false, int seconds = 60)
{
    SiteResult result;
    result.outcome.site = site;
    result.outcome.modern = modern;
    result.outcome.home.status = 200;
    result.rows = rows;
    result.startedAt = started;
    result.finishedAt = started.addSecs(seconds);
    return result;
}

// A history file in a temporary folder, checks recorded into it, and a
// command of the program run on it in-process with its stdout and stderr kept.
//
//   samples::HistoryCommandRun history;
//   ASSERT_EQ(history.recordAll({check}), QString());
//   history.run("report", {"www.me.com"}, nullptr, [&](const ParsedArguments &parsed, QIODevice *out,
//                                                       QIODevice *err) { return runReport(...); });
class HistoryCommandRun {
public:
    [[nodiscard]] bool ready() const { return m_dir.isValid(); }
    [[nodiscard]] QString path() const { return m_dir.filePath(QStringLiteral("history.sqlite")); }

    // Records the results in turn; the first failure's reason, empty when every one was recorded.
    [[nodiscard]] QString recordAll(const QList<SiteResult> &results) const
    {
        HistoryRecorder recorder(path(), QStringLiteral("8.0"));
        for (const SiteResult &result : results)
            if (!recorder.record(result))
                return recorder.failure().reason;
        return {};
    }

    // `friendlinks COMMAND ARGUMENTS... --history FILE` parsed as the program
    // parses it and run by run(parsed, stdout, stderr) on empty buffers
    // (stdout to out when given); its exit status, -1 when the arguments are
    // not a command to run (stderr then says why).
    template <typename Run>
    int run(const QString &command, QStringList arguments, QIODevice *out, Run run)
    {
        for (QBuffer *buffer : {&m_out, &m_err}) {
            buffer->close();
            buffer->setData({});
            buffer->open(QIODevice::WriteOnly);
        }
        arguments.prepend(command);
        arguments << QStringLiteral("--history") << path();
        const ParsedArguments parsed = parseArguments(arguments);
        if (parsed.action != ParsedArguments::Action::Run) {
            m_err.write(parsed.error.toUtf8());
            return -1;
        }
        return run(parsed, out ? out : &m_out, &m_err);
    }

    [[nodiscard]] QString out() const { return QString::fromUtf8(m_out.data()); }
    [[nodiscard]] QByteArray outBytes() const { return m_out.data(); } // a byte-order mark kept
    [[nodiscard]] QString err() const { return QString::fromUtf8(m_err.data()); }

private:
    QTemporaryDir m_dir;
    QBuffer m_out;
    QBuffer m_err;
};

} // namespace friendlinks::samples
