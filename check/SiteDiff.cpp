#include "check/SiteDiff.h"

#include "check/CheckRules.h"
#include "web/FetchResult.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace friendlinks {
namespace {

// The number the digits of a text make ("约1,230篇" → 1230), if any.
std::optional<qint64> digitsValue(const QString &text)
{
    QString digits;
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    bool ok = false;
    const qint64 value = digits.left(18).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::variant<SavedSite, QString> readSite(const QJsonValue &value)
{
    if (!value.isObject())
        return QStringLiteral("a site entry is not an object");
    const QJsonObject object = value.toObject();
    if (!object.value(QLatin1String("site")).isString())
        return QStringLiteral("a site entry has no \"site\" text");
    SavedSite site;
    site.site = object.value(QLatin1String("site")).toString();
    site.unreachable = object.value(QLatin1String("unreachable")).toBool(false);
    const QJsonValue rows = object.value(QLatin1String("rows"));
    if (!rows.isArray())
        return QStringLiteral("site \"%1\" has no \"rows\" list").arg(site.site);
    for (const QJsonValue &rowValue : rows.toArray()) {
        const QJsonObject row = rowValue.toObject();
        if (!rowValue.isObject() || !row.value(QLatin1String("lianjie")).isString())
            return QStringLiteral("a row of site \"%1\" has no \"lianjie\" text").arg(site.site);
        SavedRow saved;
        saved.lianjie = row.value(QLatin1String("lianjie")).toString();
        saved.fanlian = row.value(QLatin1String("fanlian")).toString();
        saved.shoulu = row.value(QLatin1String("shoulu")).toString();
        saved.rp = row.value(QLatin1String("rp")).toString();
        const QJsonObject facts = row.value(QLatin1String("facts")).toObject();
        const QJsonValue follow = facts.value(QLatin1String("backlink")).toObject().value(QLatin1String("follow"));
        if (follow.isBool())
            saved.follow = follow.toBool();
        const QJsonValue count = facts.value(QLatin1String("baidu")).toObject().value(QLatin1String("count"));
        if (count.isDouble() && count.toDouble() >= 0)
            saved.baiduCount = qint64(count.toDouble());
        else if (count.isString())
            saved.baiduCount = digitsValue(count.toString());
        site.rows.append(saved);
    }
    return site;
}

bool isRedBacklink(const QString &text)
{
    return text == kNoLink || text == kEmptyBody || text == kTooSlow;
}

bool isFoundBacklink(const QString &text)
{
    return !text.isEmpty() && !isRedBacklink(text);
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

void compareRows(const QString &site, const SavedRow &o, const SavedRow &n, QList<LinkChange> &changes)
{
    const auto add = [&](const QString &change, const QString &oldValue, const QString &newValue) {
        changes.append({site, n.lianjie, change, oldValue, newValue});
    };
    if (isFoundBacklink(o.fanlian) && isRedBacklink(n.fanlian))
        add(kChangeBacklinkLost, o.fanlian, n.fanlian);
    else if (isRedBacklink(o.fanlian) && isFoundBacklink(n.fanlian))
        add(kChangeBacklinkBack, o.fanlian, n.fanlian);
    if (o.follow && n.follow && *o.follow != *n.follow)
        add(*o.follow ? kChangeNofollowAdded : kChangeNofollowRemoved, boolText(*o.follow), boolText(*n.follow));
    const auto oldCount = indexCount(o);
    const auto newCount = indexCount(n);
    if (oldCount && newCount && double(*newCount) < double(*oldCount) * (1.0 - kIndexDropShare))
        add(kChangeIndexDrop, QString::number(*oldCount), QString::number(*newCount));
    if (o.rp == kHomePageFirst && n.rp == kNotFirst)
        add(kChangeRankLost, o.rp, n.rp);
    else if (o.rp == kNotFirst && n.rp == kHomePageFirst)
        add(kChangeRankBack, o.rp, n.rp);
}

QList<LinkChange> diffSite(const SavedSite &older, const SavedSite &newer)
{
    QList<LinkChange> changes;
    // The k-th row of an address in the older check pairs with its k-th row in the newer.
    QHash<QString, QList<qsizetype>> newerByLink;
    for (qsizetype i = 0; i < newer.rows.size(); ++i)
        newerByLink[newer.rows[i].lianjie].append(i);
    QList<bool> paired(newer.rows.size(), false);
    for (const SavedRow &row : older.rows) {
        QList<qsizetype> &candidates = newerByLink[row.lianjie];
        if (candidates.isEmpty()) {
            changes.append({older.site, row.lianjie, kChangeRemoved, row.lianjie, QString()});
            continue;
        }
        const qsizetype match = candidates.takeFirst();
        paired[match] = true;
        compareRows(older.site, row, newer.rows[match], changes);
    }
    for (qsizetype i = 0; i < newer.rows.size(); ++i)
        if (!paired[i])
            changes.append({older.site, newer.rows[i].lianjie, kChangeAdded, QString(), newer.rows[i].lianjie});
    std::stable_partition(changes.begin(), changes.end(),
                          [](const LinkChange &change) { return isRegression(change.change); });
    return changes;
}

} // namespace

std::variant<QList<SavedSite>, QString> readSavedCheck(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON (%1 at byte %2)").arg(error.errorString()).arg(error.offset);
    if (!document.isObject())
        return QStringLiteral("not the json output of friendlinks check (no object)");
    const QJsonObject top = document.object();
    QList<SavedSite> sites;
    QJsonArray entries;
    if (top.contains(QLatin1String("sites"))) {
        if (!top.value(QLatin1String("sites")).isArray())
            return QStringLiteral("\"sites\" is not a list");
        entries = top.value(QLatin1String("sites")).toArray();
    } else if (top.contains(QLatin1String("site")) && top.contains(QLatin1String("rows"))) {
        entries.append(top);
    } else {
        return QStringLiteral("not the json output of friendlinks check (no \"site\" and \"rows\", no \"sites\")");
    }
    for (const QJsonValue &entry : entries) {
        auto site = readSite(entry);
        if (const QString *problem = std::get_if<QString>(&site))
            return *problem;
        sites.append(std::get<SavedSite>(std::move(site)));
    }
    return sites;
}

bool isRegression(const QString &change)
{
    return change == kChangeRemoved || change == kChangeBacklinkLost || change == kChangeNofollowAdded
        || change == kChangeIndexDrop || change == kChangeRankLost;
}

std::optional<qint64> indexCount(const SavedRow &row)
{
    if (row.shoulu.isEmpty())
        return row.baiduCount;
    return digitsValue(row.shoulu);
}

QList<LinkChange> diffChecks(const QList<SavedSite> &older, const QList<SavedSite> &newer)
{
    QList<LinkChange> changes;
    QHash<QString, QList<qsizetype>> newerBySite;
    for (qsizetype i = 0; i < newer.size(); ++i)
        newerBySite[newer[i].site].append(i);
    for (const SavedSite &site : older) {
        QList<qsizetype> &candidates = newerBySite[site.site];
        if (candidates.isEmpty())
            continue;
        changes += diffSite(site, newer[candidates.takeFirst()]);
    }
    return changes;
}

} // namespace friendlinks
