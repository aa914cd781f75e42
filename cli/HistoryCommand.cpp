#include "cli/HistoryCommand.h"

#include "check/CheckRules.h"
#include "check/CsvFormat.h"
#include "check/DisplayWidth.h"
#include "check/JsonText.h"
#include "check/TextEscape.h"
#include "check/SiteText.h"
#include "cli/Usage.h"
#include "probes/BaiduProbe.h"

#include <QFileInfo>

namespace friendlinks {
namespace {

const QStringList kHeaders{QStringLiteral("时间"), QStringLiteral("模式"), QStringLiteral("行数"),
                           QStringLiteral("标红"), QStringLiteral("状态"), QStringLiteral("变化"),
                           QStringLiteral("变差"), QStringLiteral("变好")};
const QStringList kFriendHeaders{QStringLiteral("时间"), QStringLiteral("反链"), QStringLiteral("跟踪"),
                                 QStringLiteral("收录"), QStringLiteral("排名"), QStringLiteral("状态")};

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
    for (const RecordedCheck &check : checks) {
        // The site's first check has nothing to compare with: its change cells stay empty.
        const auto compared = [&](int count) { return check.comparedWith > 0 ? QString::number(count) : QString(); };
        lines << QStringList{localTime(check.started, zone), escapeForDisplay(check.mode), QString::number(check.rows),
                             QString::number(check.redCells), statusText(check), compared(check.changes),
                             compared(check.worse), compared(check.better)};
    }
    return lines;
}

// The back-link verdict in json's words and the table's.
QString backLinkCode(BackLinkVerdict verdict)
{
    switch (verdict) {
    case BackLinkVerdict::Linked:
        return QStringLiteral("linked");
    case BackLinkVerdict::PassesNothing:
        return QStringLiteral("passes_nothing");
    case BackLinkVerdict::NoLink:
        return QStringLiteral("no_link");
    case BackLinkVerdict::NotRead:
        return QStringLiteral("not_read");
    case BackLinkVerdict::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

QString backLinkWords(BackLinkVerdict verdict)
{
    switch (verdict) {
    case BackLinkVerdict::Linked:
        return QStringLiteral("有");
    case BackLinkVerdict::PassesNothing:
        return QStringLiteral("不传权重");
    case BackLinkVerdict::NoLink:
        return kNoLink;
    case BackLinkVerdict::NotRead:
        return QStringLiteral("无法读取");
    case BackLinkVerdict::Unknown:
        break;
    }
    return {};
}

QString rankCode(RankVerdict rank)
{
    return rank == RankVerdict::HomeFirst ? QStringLiteral("first")
        : rank == RankVerdict::NotFirst   ? QStringLiteral("not_first")
                                          : QStringLiteral("unknown");
}

QString rankWords(RankVerdict rank)
{
    return rank == RankVerdict::HomeFirst ? kHomePageFirst : rank == RankVerdict::NotFirst ? kNotFirst : QString();
}

QString followWords(const std::optional<bool> &follow)
{
    return !follow ? QString() : *follow ? QStringLiteral("follow") : QStringLiteral("nofollow");
}

QList<QStringList> friendFieldsOf(const QList<FriendLinePoint> &points, const QTimeZone &zone)
{
    QList<QStringList> lines;
    for (const FriendLinePoint &point : points) {
        const RowTally &row = point.row;
        lines << QStringList{localTime(point.started, zone), backLinkWords(row.backlink), followWords(row.follow),
                             row.pages ? QString::number(*row.pages) : QString(), rankWords(row.rank),
                             row.status > 0 ? QString::number(row.status) : QString()};
    }
    return lines;
}

QString friendJsonText(const QString &site, const FriendLine &line)
{
    QStringList objects;
    for (const FriendLinePoint &point : line.points) {
        const RowTally &row = point.row;
        objects << QStringLiteral("{\"id\": %1, \"started\": %2, \"backlink\": %3, \"follow\": %4, \"pages\": %5, "
                                  "\"rank\": %6, \"status\": %7}")
                       .arg(QString::number(point.checkId), jsonString(point.started.toUTC().toString(Qt::ISODateWithMs)),
                            jsonString(backLinkCode(row.backlink)),
                            row.follow ? jsonBool(*row.follow) : QStringLiteral("null"),
                            row.pages ? QString::number(*row.pages) : QStringLiteral("null"),
                            jsonString(rankCode(row.rank)), QString::number(row.status));
    }
    const QString list = objects.isEmpty() ? QStringLiteral("[]")
                                           : QStringLiteral("[\n  ") + objects.join(QStringLiteral(",\n  ")) + QStringLiteral("\n]");
    return QStringLiteral("{\"site\": %1, \"friend\": %2, \"checks\": %3}\n")
        .arg(jsonString(site), jsonString(line.lianjie), list);
}

// The lines (first the header) in a format that is no json.
QByteArray linesText(QList<QStringList> lines, const QStringList &headers, HistoryQuery::Format format);

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
                                  "\"red\": %6, \"unreachable\": %7, \"home_status\": %8, \"version\": %9, ")
                           .arg(QString::number(check.id), jsonString(check.started.toUTC().toString(Qt::ISODateWithMs)),
                                jsonString(check.finished.toUTC().toString(Qt::ISODateWithMs)), jsonString(check.mode),
                                QString::number(check.rows), QString::number(check.redCells), jsonBool(check.unreachable),
                                QString::number(check.homeStatus), jsonString(check.programVersion))
            + QStringLiteral("\"changes\": %1, \"worse\": %2, \"better\": %3, \"compared_with\": %4}")
                  .arg(QString::number(check.changes), QString::number(check.worse), QString::number(check.better),
                       check.comparedWith > 0 ? QString::number(check.comparedWith) : QStringLiteral("null"));
    const QString list = objects.isEmpty() ? QStringLiteral("[]")
                                           : QStringLiteral("[\n  ") + objects.join(QStringLiteral(",\n  ")) + QStringLiteral("\n]");
    return QStringLiteral("{\"site\": %1, \"checks\": %2}\n").arg(jsonString(site), list);
}

QByteArray linesText(QList<QStringList> lines, const QStringList &headers, HistoryQuery::Format format)
{
    using Format = HistoryQuery::Format;
    if (format == Format::Tsv) {
        lines.prepend(headers);
        QString out;
        for (const QStringList &line : lines)
            out += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
        return out.toUtf8();
    }
    if (format == Format::Csv) {
        lines.prepend(headers);
        QString out;
        for (const QStringList &line : lines)
            out += csvRecord(line);
        return kCsvByteOrderMark + out.toUtf8();
    }
    return lines.isEmpty() ? QByteArray() : tableText(QList<QStringList>{headers} + lines).toUtf8();
}

struct Answer {
    QByteArray out;
    QString trouble; // the history could not be read: why
    QString note;    // said on err beside the answer
};

Answer friendLine(const QString &path, const HistoryQuery &query, const HistoryClock &clock)
{
    const QString given = query.sites.value(0).trimmed();
    FriendLine line{query.friendLink.trimmed(), {}};
    QString site = given;
    if (QFileInfo::exists(path)) {
        HistoryStore store;
        if (!store.open(path))
            return {{}, store.lastError().reason, {}};
        for (const QString &name : {given, withLowerCaseHost(given)}) {
            auto found = recordedFriendLine(store, name, query.friendLink);
            if (const QString *problem = std::get_if<QString>(&found))
                return {{}, *problem, {}};
            line = std::get<FriendLine>(found);
            site = name;
            if (!line.points.isEmpty())
                break;
        }
    }
    if (line.points.isEmpty())
        site = given;
    const QString note = line.points.isEmpty()
        ? QStringLiteral("friendlinks history: no recorded check of %1 in %2 has the friend %3").arg(given, path, line.lianjie)
        : QString();
    if (query.format == HistoryQuery::Format::Json)
        return {friendJsonText(site, line).toUtf8(), {}, note};
    return {linesText(friendFieldsOf(line.points, clock.zone), kFriendHeaders, query.format), {}, note};
}

Answer listChecks(const QString &path, const HistoryQuery &query, const HistoryClock &clock)
{
    if (!query.friendLink.isEmpty())
        return friendLine(path, query, clock);
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
    return linesText(fieldsOf(checks, zone), kHeaders, format);
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
