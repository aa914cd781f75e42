#include "cli/HistoryCommand.h"

#include "check/DisplayWidth.h"
#include "check/JsonText.h"
#include "check/TextEscape.h"
#include "cli/SiteText.h"
#include "cli/Usage.h"

#include <QFileInfo>

namespace friendlinks {
namespace {

const QStringList kHeaders{QStringLiteral("时间"), QStringLiteral("模式"), QStringLiteral("行数"),
                           QStringLiteral("标红"), QStringLiteral("状态")};

QString localTime(const QDateTime &utc, const QTimeZone &zone)
{
    return utc.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// What the check could not do, in the words of its own notes; empty when it checked.
QString statusText(const RecordedCheck &check)
{
    if (check.unreachable)
        return QStringLiteral("无法访问");
    if (check.homeStatus >= 400)
        return QStringLiteral("首页返回 HTTP %1").arg(check.homeStatus);
    return {};
}

QList<QStringList> fieldsOf(const QList<RecordedCheck> &checks, const QTimeZone &zone)
{
    QList<QStringList> lines;
    for (const RecordedCheck &check : checks)
        lines << QStringList{localTime(check.started, zone), escapeForDisplay(check.mode), QString::number(check.rows),
                             QString::number(check.redCells), statusText(check)};
    return lines;
}

QString tableText(const QList<QStringList> &lines)
{
    QList<int> widths;
    for (const QStringList &line : lines)
        for (qsizetype c = 0; c < line.size(); ++c) {
            if (widths.size() <= c)
                widths << 0;
            widths[c] = std::max(widths[c], displayWidth(line[c]));
        }
    QString out;
    for (const QStringList &line : lines) {
        QString text;
        for (qsizetype c = 0; c < line.size(); ++c)
            text += line[c] + QString(c + 1 < line.size() ? widths[c] - displayWidth(line[c]) + 2 : 0, QLatin1Char(' '));
        out += text.trimmed() + QLatin1Char('\n');
    }
    return out;
}

QString jsonText(const QString &site, const QList<RecordedCheck> &checks)
{
    QStringList objects;
    for (const RecordedCheck &check : checks)
        objects << QStringLiteral("{\"id\": %1, \"started\": %2, \"finished\": %3, \"mode\": %4, \"rows\": %5, "
                                  "\"red\": %6, \"unreachable\": %7, \"home_status\": %8, \"version\": %9}")
                       .arg(QString::number(check.id), jsonString(check.started.toUTC().toString(Qt::ISODateWithMs)),
                            jsonString(check.finished.toUTC().toString(Qt::ISODateWithMs)), jsonString(check.mode),
                            QString::number(check.rows), QString::number(check.redCells), jsonBool(check.unreachable),
                            QString::number(check.homeStatus), jsonString(check.programVersion));
    const QString list = objects.isEmpty() ? QStringLiteral("[]")
                                           : QStringLiteral("[\n  ") + objects.join(QStringLiteral(",\n  ")) + QStringLiteral("\n]");
    return QStringLiteral("{\"site\": %1, \"checks\": %2}\n").arg(jsonString(site), list);
}

struct Answer {
    QByteArray out;
    QString trouble; // the history could not be read: why
    QString note;    // said on err beside the answer
};

Answer listChecks(const QString &path, const HistoryQuery &query, const HistoryClock &clock)
{
    const QString given = query.sites.value(0).trimmed();
    QList<RecordedCheck> checks;
    QString site = given;
    if (QFileInfo::exists(path)) {
        HistoryStore store;
        if (!store.open(path))
            return {{}, store.lastError().reason, {}};
        // A modern check records the host in lower case.
        for (const QString &name : {given, withLowerCaseHost(given)}) {
            auto found = recordedChecks(store, name);
            if (const QString *problem = std::get_if<QString>(&found))
                return {{}, *problem, {}};
            checks = std::get<QList<RecordedCheck>>(found);
            site = name;
            if (!checks.isEmpty())
                break;
        }
    }
    const QString note = checks.isEmpty() ? QStringLiteral("friendlinks history: no check of %1 is recorded in %2").arg(given, path)
                                          : QString();
    return {formatRecordedChecks(checks.isEmpty() ? given : site, checks, query.format, clock.zone), {}, note};
}

Answer prune(const QString &path, int days, const HistoryClock &clock)
{
    const QDateTime before = clock.now.toUTC().addDays(-days);
    int dropped = 0;
    if (QFileInfo::exists(path)) {
        HistoryStore store;
        if (!store.open(path) || (dropped = store.prune(before)) < 0)
            return {{}, store.lastError().reason, {}};
    }
    return {QStringLiteral("删除了 %1 次早于 %2 的检查\n").arg(dropped).arg(localTime(before, clock.zone)).toUtf8(), {}, {}};
}

void say(QIODevice *err, const QString &line)
{
    err->write(escapeForDisplay(line).toUtf8() + '\n');
}

} // namespace

QByteArray formatRecordedChecks(const QString &site, const QList<RecordedCheck> &checks, HistoryQuery::Format format,
                                const QTimeZone &zone)
{
    using Format = HistoryQuery::Format;
    if (format == Format::Json)
        return jsonText(site, checks).toUtf8();
    QList<QStringList> lines = fieldsOf(checks, zone);
    if (format == Format::Tsv) {
        lines.prepend(kHeaders);
        QString out;
        for (const QStringList &line : lines)
            out += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
        return out.toUtf8();
    }
    return lines.isEmpty() ? QByteArray() : tableText(QList<QStringList>{kHeaders} + lines).toUtf8();
}

int runHistory(const HistoryQuery &query, const HistoryChoice &choice, QIODevice *out, QIODevice *err,
               const HistoryClock &clock)
{
    const QString path = choice.given() ? choice.file : defaultHistoryPath();
    const Answer answer = query.pruneDays >= 0 ? prune(path, query.pruneDays, clock) : listChecks(path, query, clock);
    if (!answer.trouble.isEmpty()) {
        say(err, QStringLiteral("friendlinks: 无法读取历史：%1").arg(answer.trouble));
        return kExitOutputFailed;
    }
    if (!answer.note.isEmpty())
        say(err, answer.note);
    if (out->write(answer.out) != answer.out.size()) {
        say(err, QStringLiteral("friendlinks: 无法写出结果：%1").arg(out->errorString()));
        return kExitOutputFailed;
    }
    return 0;
}

} // namespace friendlinks
