#include "cli/DiffCommand.h"

#include "check/BoundedRead.h"
#include "check/CheckMode.h"
#include "check/DisplayWidth.h"
#include "check/HistoryRecording.h"
#include "check/HistoryStore.h"
#include "check/SiteDiff.h"
#include "check/TextEscape.h"
#include "check/SiteText.h"
#include "cli/Usage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace friendlinks {
namespace {

const QString kNoChange = QStringLiteral("无变化");
const QString kNoValue = QStringLiteral("—");

// The table's words for the change codes (json keeps the codes).
QString changeLabel(const QString &change)
{
    static const QHash<QString, QString> kLabels = {
        {kChangeRemoved, QStringLiteral("友链撤下")},        {kChangeAdded, QStringLiteral("新增友链")},
        {kChangeBacklinkLost, QStringLiteral("反链丢失")},   {kChangeBacklinkBack, QStringLiteral("反链恢复")},
        {kChangeNofollowAdded, QStringLiteral("反链加了nofollow")}, {kChangeNofollowRemoved, QStringLiteral("反链去掉nofollow")},
        {kChangeIndexDrop, QStringLiteral("收录下降")},      {kChangeRankLost, QStringLiteral("首页不在第一")},
        {kChangeRankBack, QStringLiteral("首页回到第一")},   {kChangeUnreachable, QStringLiteral("无法检查")},
        {kChangeReachable, QStringLiteral("恢复检查")},
        {kChangeRobotsBlocked, QStringLiteral("robots.txt禁止百度")}, {kChangeSpiderHidden, QStringLiteral("对百度蜘蛛隐藏")},
        {kChangeJumpLink, QStringLiteral("改成跳转链接")},
        {kChangeScriptLink, QStringLiteral("反链改为脚本写入")}, {kChangeFrameLink, QStringLiteral("反链移进框架页")},
        {kChangeCssHidden, QStringLiteral("反链被样式隐藏")},
    };
    return kLabels.value(change, change);
}

// A value as the table shows it: escaped, "—" for none, follow or nofollow for the flag.
QString shownValue(const LinkChange &change, const QString &value)
{
    if (value.isEmpty())
        return kNoValue;
    if (change.change == kChangeNofollowAdded || change.change == kChangeNofollowRemoved)
        return value == QLatin1String("true") ? QStringLiteral("follow") : QStringLiteral("nofollow");
    return displayCellText(value);
}

std::variant<QList<SiteRows>, QString> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read \"%1\": %2").arg(path, file.errorString());
    const std::optional<QByteArray> text = readAtMost(file, kMaxDiffFileBytes);
    if (!text)
        return QStringLiteral("\"%1\" is larger than %2 MB").arg(path).arg(kMaxDiffFileBytes / (1024 * 1024));
    auto saved = readCheckJson(*text);
    if (const QString *problem = std::get_if<QString>(&saved))
        return QStringLiteral("\"%1\": %2").arg(path, *problem);
    return saved;
}

// One line a change, in the order given (grouped by site, regressions first).
QByteArray formatChangesTable(const QList<LinkChange> &changes)
{
    if (changes.isEmpty())
        return (kNoChange + QLatin1Char('\n')).toUtf8();
    int widths[3] = {0, 0, 0};
    for (const LinkChange &change : changes) {
        widths[0] = std::max(widths[0], displayWidth(displayCellText(change.site)));
        widths[1] = std::max(widths[1], displayWidth(changeLabel(change.change)));
        widths[2] = std::max(widths[2], displayWidth(displayCellText(change.lianjie)));
    }
    const auto padded = [](const QString &text, int width) {
        return text + QString(width - displayWidth(text) + 2, QLatin1Char(' '));
    };
    QString out;
    for (const LinkChange &change : changes) {
        out += padded(displayCellText(change.site), widths[0])
            + (isRegression(change.change) ? QStringLiteral("变差  ") : QStringLiteral("好转  "))
            + padded(changeLabel(change.change), widths[1]) + padded(displayCellText(change.lianjie), widths[2])
            + shownValue(change, change.oldValue) + QStringLiteral(" → ") + shownValue(change, change.newValue)
            + QLatin1Char('\n');
    }
    return out.toUtf8();
}

QByteArray formatChangesJson(const QList<LinkChange> &changes)
{
    QJsonArray list;
    for (const LinkChange &change : changes) {
        list.append(QJsonObject{{QStringLiteral("site"), change.site},
                                {QStringLiteral("lianjie"), change.lianjie},
                                {QStringLiteral("change"), change.change},
                                {QStringLiteral("old"), change.oldValue},
                                {QStringLiteral("new"), change.newValue}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("changes"), list}}).toJson(QJsonDocument::Indented);
}

// The two checks, or why they cannot be compared.
std::variant<std::pair<QList<SiteRows>, QList<SiteRows>>, QString> readChecks(const QStringList &files)
{
    QList<SiteRows> checks[2];
    for (int i = 0; i < 2; ++i) {
        auto read = readFile(files[i]);
        if (const QString *problem = std::get_if<QString>(&read))
            return *problem;
        checks[i] = std::get<QList<SiteRows>>(std::move(read));
    }
    for (int i = 0; i < 2; ++i)
        if (checks[i].isEmpty())
            return QStringLiteral("\"%1\" holds no site: nothing to compare").arg(files[i]);
    if (checks[0].size() == 1 && checks[1].size() == 1 && checks[0][0].outcome.site != checks[1][0].outcome.site)
        return QStringLiteral("\"%1\" is a check of %2, \"%3\" of %4: different sites cannot be compared")
            .arg(files[0], checks[0][0].outcome.site, files[1], checks[1][0].outcome.site);
    return std::pair{checks[0], checks[1]};
}

// The mode a check was made in, from its first site that names one.
QString checkMode(const QList<SiteRows> &check)
{
    for (const SiteRows &site : check)
        if (site.modeSaved)
            return site.outcome.modern ? kModernModeName : kClassicModeName;
    return QString();
}

// The changes from the check in files[0] to the one in files[1] (their modes
// named on err when they differ), or why they cannot be compared.
std::variant<QList<LinkChange>, QString> compareFiles(const QStringList &files, QIODevice *err)
{
    auto read = readChecks(files);
    if (const QString *problem = std::get_if<QString>(&read))
        return *problem;
    const auto &[older, newer] = std::get<0>(read);
    const QString oldMode = checkMode(older), newMode = checkMode(newer);
    if (!oldMode.isEmpty() && !newMode.isEmpty() && oldMode != newMode)
        err->write(QStringLiteral("friendlinks diff: \"%1\" is a %2 check, \"%3\" a %4 one; compared all the same\n")
                       .arg(escapeForDisplay(files[0]), escapeForDisplay(oldMode), escapeForDisplay(files[1]),
                            escapeForDisplay(newMode))
                       .toUtf8());
    return diffChecks(older, newer);
}

// Why two recorded checks cannot be compared, and the exit status that says it.
struct Trouble {
    QString problem;
    int status = kDiffUsage;
};

const QString kNeedsTwo = QStringLiteral("diff needs two files, OLD.json and NEW.json, or a SITE with recorded checks");

std::variant<SiteRows, Trouble> recordedRows(HistoryStore &store, qint64 id)
{
    const std::optional<CheckRecord> record = store.load(id);
    if (!record)
        return Trouble{QStringLiteral("无法读取历史：%1").arg(store.lastError().reason), kExitOutputFailed};
    auto result = recordedResult(*record);
    if (const QString *problem = std::get_if<QString>(&result))
        return Trouble{QStringLiteral("无法读取历史：%1").arg(*problem), kExitOutputFailed};
    const SiteResult &read = std::get<SiteResult>(result);
    return SiteRows{read.outcome, read.rows, true};
}

// The changes from a site's check before the newest (or its newest check
// started before the day `since`, UTC) to its newest, as the history holds them.
std::variant<QList<LinkChange>, Trouble> compareRecorded(const QString &given, const QDate &since,
                                                         const HistoryChoice &history)
{
    const QString path = history.given() ? history.file : defaultHistoryPath();
    if (QFileInfo(given).isFile())
        return Trouble{kNeedsTwo + QStringLiteral(": \"%1\" is one file").arg(given)};
    const QString noCheck = QStringLiteral("%1: no check of %2 is recorded in %3").arg(kNeedsTwo, given, path);
    if (!QFileInfo::exists(path))
        return Trouble{noCheck}; // a missing history is an empty one, not made
    HistoryStore store;
    if (!store.open(path))
        return Trouble{QStringLiteral("无法读取历史：%1").arg(store.lastError().reason), kExitOutputFailed};
    // A modern check records the host in lower case.
    std::optional<CheckSummary> newest;
    QString site;
    for (const QString &name : {given, withLowerCaseHost(given)}) {
        newest = store.latestCheckBefore(name);
        site = name;
        if (newest || !store.lastError().ok())
            break;
    }
    if (!store.lastError().ok())
        return Trouble{QStringLiteral("无法读取历史：%1").arg(store.lastError().reason), kExitOutputFailed};
    if (!newest)
        return Trouble{noCheck};
    const std::optional<CheckSummary> older = since.isValid()
        ? store.latestCheckBefore(site, QDateTime(since, QTime(0, 0), Qt::UTC))
        : store.previousCheck(site, newest->id);
    if (!store.lastError().ok())
        return Trouble{QStringLiteral("无法读取历史：%1").arg(store.lastError().reason), kExitOutputFailed};
    if (!older)
        return Trouble{since.isValid() ? QStringLiteral("no check of %1 was recorded before %2 (UTC): nothing to compare")
                                             .arg(site, since.toString(Qt::ISODate))
                                       : QStringLiteral("only one check of %1 is recorded: nothing to compare").arg(site)};
    QList<SiteRows> checks[2];
    const qint64 ids[2] = {older->id, newest->id};
    for (int i = 0; i < 2; ++i) {
        auto rows = recordedRows(store, ids[i]);
        if (const Trouble *trouble = std::get_if<Trouble>(&rows))
            return *trouble;
        checks[i] << std::get<SiteRows>(std::move(rows));
    }
    return diffChecks(checks[0], checks[1]);
}

} // namespace

int runDiff(const DiffOptions &options, QIODevice *out, QIODevice *err, const HistoryChoice &history)
{
    const auto say = [err](const QString &problem) {
        err->write(QStringLiteral("friendlinks diff: %1\n").arg(escapeForDisplay(problem)).toUtf8());
    };
    QList<LinkChange> changes;
    if (options.files.size() == 1) {
        auto compared = compareRecorded(options.files.front(), options.since, history);
        if (const Trouble *trouble = std::get_if<Trouble>(&compared)) {
            say(trouble->problem);
            return trouble->status;
        }
        changes = std::get<QList<LinkChange>>(std::move(compared));
    } else {
        auto compared = compareFiles(options.files, err);
        if (const QString *problem = std::get_if<QString>(&compared)) {
            say(*problem);
            return kDiffUsage;
        }
        changes = std::get<QList<LinkChange>>(std::move(compared));
    }
    const QByteArray output = options.json ? formatChangesJson(changes) : formatChangesTable(changes);
    if (out->write(output) != output.size()) {
        err->write(QStringLiteral("friendlinks diff: 无法写出结果：%1\n").arg(out->errorString()).toUtf8());
        return kExitOutputFailed;
    }
    const bool regressed = std::any_of(changes.begin(), changes.end(),
                                       [](const LinkChange &change) { return isRegression(change.change); });
    return regressed ? kDiffRegression : kDiffNoRegression;
}

} // namespace friendlinks
