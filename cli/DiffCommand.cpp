#include "cli/DiffCommand.h"

#include "cli/BoundedRead.h"
#include "check/OutputFormats.h"
#include "check/SiteDiff.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace friendlinks {
namespace {

const QString kNoChange = QStringLiteral("无变化");
const QString kDiffUsageText = QStringLiteral("usage: friendlinks diff OLD.json NEW.json [--format table|json]\n");

std::variant<QList<SavedSite>, QString> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read \"%1\": %2").arg(path, file.errorString());
    const std::optional<QByteArray> text = readAtMost(file, kMaxDiffFileBytes);
    if (!text)
        return QStringLiteral("\"%1\" is larger than %2 MB").arg(path).arg(kMaxDiffFileBytes / (1024 * 1024));
    auto saved = readSavedCheck(*text);
    if (const QString *problem = std::get_if<QString>(&saved))
        return QStringLiteral("\"%1\": %2").arg(path, *problem);
    return saved;
}

// One line a change, in the order given (grouped by site, regressions first).
QByteArray formatChangesTable(const QList<LinkChange> &changes)
{
    if (changes.isEmpty())
        return (kNoChange + QLatin1Char('\n')).toUtf8();
    const auto oneLine = [](QString text) {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text.trimmed();
    };
    int siteWidth = 0;
    int changeWidth = 0;
    int linkWidth = 0;
    for (const LinkChange &change : changes) {
        siteWidth = std::max(siteWidth, displayWidth(oneLine(change.site)));
        changeWidth = std::max(changeWidth, displayWidth(change.change));
        linkWidth = std::max(linkWidth, displayWidth(oneLine(change.lianjie)));
    }
    const auto padded = [](const QString &text, int width) {
        return text + QString(width - displayWidth(text) + 2, QLatin1Char(' '));
    };
    QString out;
    for (const LinkChange &change : changes) {
        out += padded(oneLine(change.site), siteWidth)
            + (isRegression(change.change) ? QStringLiteral("变差  ") : QStringLiteral("好转  "))
            + padded(change.change, changeWidth) + padded(oneLine(change.lianjie), linkWidth)
            + oneLine(change.oldValue) + QStringLiteral(" → ") + oneLine(change.newValue) + QLatin1Char('\n');
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

} // namespace

int runDiff(const QStringList &arguments, QIODevice *out, QIODevice *err)
{
    const auto usage = [err](const QString &problem) {
        err->write(QStringLiteral("friendlinks diff: %1\n").arg(problem).toUtf8() + kDiffUsageText.toUtf8());
        return kDiffUsage;
    };
    QStringList files;
    bool json = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--format") || argument.startsWith(QLatin1String("--format="))) {
            QString value;
            if (argument.contains(QLatin1Char('=')))
                value = argument.section(QLatin1Char('='), 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            if (value != QLatin1String("table") && value != QLatin1String("json"))
                return usage(QStringLiteral("--format must be table or json, not \"%1\"").arg(value));
            json = value == QLatin1String("json");
        } else if (argument.startsWith(QLatin1String("--")) && argument != QLatin1String("--")) {
            return usage(QStringLiteral("unknown option %1").arg(argument));
        } else {
            files << argument;
        }
    }
    if (files.size() != 2)
        return usage(QStringLiteral("diff needs two files, OLD.json and NEW.json"));

    QList<SavedSite> checks[2];
    for (int i = 0; i < 2; ++i) {
        auto read = readFile(files[i]);
        if (const QString *problem = std::get_if<QString>(&read)) {
            err->write(QStringLiteral("friendlinks diff: %1\n").arg(*problem).toUtf8());
            return kDiffUsage;
        }
        checks[i] = std::get<QList<SavedSite>>(std::move(read));
    }
    const QList<LinkChange> changes = diffChecks(checks[0], checks[1]);
    out->write(json ? formatChangesJson(changes) : formatChangesTable(changes));
    const bool regressed = std::any_of(changes.begin(), changes.end(),
                                       [](const LinkChange &change) { return isRegression(change.change); });
    return regressed ? kDiffRegression : kDiffNoRegression;
}

} // namespace friendlinks
