#include "cli/DiffCommand.h"

#include "cli/BoundedRead.h"
#include "check/CheckMode.h"
#include "check/DisplayWidth.h"
#include "check/SiteDiff.h"
#include "check/TextEscape.h"
#include "cli/Usage.h"

#include <QFile>
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

struct DiffArguments {
    QStringList files;
    bool json = false;
    bool help = false;
    QString error;
};

DiffArguments parseDiffArguments(const QStringList &arguments)
{
    DiffArguments parsed;
    for (qsizetype i = 0; i < arguments.size() && parsed.error.isEmpty() && !parsed.help; ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.help = true;
        } else if (argument == QLatin1String("--format") || argument.startsWith(QLatin1String("--format="))) {
            QString value;
            if (argument.contains(QLatin1Char('=')))
                value = argument.section(QLatin1Char('='), 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            if (value != QLatin1String("table") && value != QLatin1String("json"))
                parsed.error = QStringLiteral("--format must be table or json, not \"%1\"").arg(value);
            parsed.json = value == QLatin1String("json");
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("--")) {
            parsed.error = QStringLiteral("unknown option %1").arg(argument);
        } else {
            parsed.files << argument;
        }
    }
    if (parsed.error.isEmpty() && !parsed.help && parsed.files.size() != 2)
        parsed.error = QStringLiteral("diff needs two files, OLD.json and NEW.json");
    return parsed;
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

} // namespace

int runDiff(const QStringList &arguments, QIODevice *out, QIODevice *err)
{
    const DiffArguments parsed = parseDiffArguments(arguments);
    if (!parsed.error.isEmpty()) {
        err->write(usageErrorText(QStringLiteral("diff"), parsed.error).toUtf8());
        return kDiffUsage;
    }
    QByteArray output = diffUsageText().toUtf8();
    int status = kDiffNoRegression;
    if (!parsed.help) {
        auto read = readChecks(parsed.files);
        if (const QString *problem = std::get_if<QString>(&read)) {
            err->write(QStringLiteral("friendlinks diff: %1\n").arg(escapeForDisplay(*problem)).toUtf8());
            return kDiffUsage;
        }
        const auto &[older, newer] = std::get<0>(read);
        const QString oldMode = checkMode(older), newMode = checkMode(newer);
        if (!oldMode.isEmpty() && !newMode.isEmpty() && oldMode != newMode)
            err->write(QStringLiteral("friendlinks diff: \"%1\" is a %2 check, \"%3\" a %4 one; compared all the same\n")
                           .arg(escapeForDisplay(parsed.files[0]), escapeForDisplay(oldMode),
                                escapeForDisplay(parsed.files[1]), escapeForDisplay(newMode))
                           .toUtf8());
        const QList<LinkChange> changes = diffChecks(older, newer);
        output = parsed.json ? formatChangesJson(changes) : formatChangesTable(changes);
        const bool regressed = std::any_of(changes.begin(), changes.end(),
                                           [](const LinkChange &change) { return isRegression(change.change); });
        status = regressed ? kDiffRegression : kDiffNoRegression;
    }
    if (out->write(output) != output.size()) {
        err->write(QStringLiteral("friendlinks diff: 无法写出结果：%1\n").arg(out->errorString()).toUtf8());
        return kExitOutputFailed;
    }
    return status;
}

} // namespace friendlinks
