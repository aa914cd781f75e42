#include "check/SiteDiff.h"

#include "check/CheckRules.h"
#include "check/Messages.h"
#include "web/FetchResult.h"

#include <cmath>

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace friendlinks {
namespace {

// The number the digits of a text make ("约1,230篇" → "1230"), if any, without leading zeros.
std::optional<QString> digitsValue(const QString &text)
{
    QString digits;
    bool any = false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        any = true;
        if (!digits.isEmpty() || c != QLatin1Char('0'))
            digits += c;
    }
    if (!any)
        return std::nullopt;
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

// A json number as digits: its whole part, however large ("1e300" has 301 digits).
std::optional<QString> numberDigits(double value)
{
    if (!(value >= 0))
        return std::nullopt;
    return QString::number(std::floor(value), 'f', 0);
}

// digits × factor (0 to 9), in decimal digits.
QString timesDigit(const QString &digits, int factor)
{
    QString out;
    int carry = 0;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const int product = (digits[i].unicode() - '0') * factor + carry;
        out.prepend(QChar(u'0' + product % 10));
        carry = product / 10;
    }
    if (carry > 0)
        out.prepend(QChar(u'0' + carry));
    return out;
}

// a < b for digit strings without leading zeros.
bool lessThan(const QString &a, const QString &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// Why the site could not be checked, in a few words; empty when it could.
QString cannotCheck(const SavedSite &site)
{
    if (site.homeStatus >= 400)
        return QStringLiteral("首页返回 HTTP %1").arg(site.homeStatus);
    return site.unreachable ? kUnreachableMessage : QString();
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
    site.homeStatus = object.value(QLatin1String("home")).toObject().value(QLatin1String("status")).toInt(0);
    site.mode = object.value(QLatin1String("mode")).toString();
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
        if (const QJsonValue red = row.value(QLatin1String("red")); red.isArray())
            saved.fanlianRed = red.toArray().contains(QJsonValue(QLatin1String("fanlian")));
        const QJsonObject facts = row.value(QLatin1String("facts")).toObject();
        const QJsonValue follow = facts.value(QLatin1String("backlink")).toObject().value(QLatin1String("follow"));
        if (follow.isBool())
            saved.follow = follow.toBool();
        const QJsonValue count = facts.value(QLatin1String("baidu")).toObject().value(QLatin1String("count"));
        if (count.isDouble())
            saved.baiduCount = numberDigits(count.toDouble());
        else if (count.isString())
            saved.baiduCount = digitsValue(count.toString());
        site.rows.append(saved);
    }
    return site;
}

// A red back-link cell: as saved, or in a file without red flags by its text.
bool isRedBacklink(const SavedRow &row)
{
    return row.fanlianRed.value_or(row.fanlian == kNoLink || row.fanlian == kEmptyBody || row.fanlian == kTooSlow);
}

bool isFoundBacklink(const SavedRow &row)
{
    return !row.fanlian.isEmpty() && !isRedBacklink(row);
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
    if (isFoundBacklink(o) && isRedBacklink(n))
        add(kChangeBacklinkLost, o.fanlian, n.fanlian);
    else if (isRedBacklink(o) && isFoundBacklink(n))
        add(kChangeBacklinkBack, o.fanlian, n.fanlian);
    if (o.follow && n.follow && *o.follow != *n.follow)
        add(*o.follow ? kChangeNofollowAdded : kChangeNofollowRemoved, boolText(*o.follow), boolText(*n.follow));
    const auto oldCount = indexCount(o);
    const auto newCount = indexCount(n);
    if (oldCount && newCount && isIndexDrop(*oldCount, *newCount))
        add(kChangeIndexDrop, *oldCount, *newCount);
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

// `--format jsonl`: one site object a line; a blank line is skipped.
std::variant<QJsonArray, QString> readJsonLines(const QByteArray &text)
{
    QJsonArray entries;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(lines[i], &error);
        if (error.error != QJsonParseError::NoError)
            return QStringLiteral("not JSON lines (%1 on line %2)").arg(error.errorString()).arg(i + 1);
        if (!document.isObject())
            return QStringLiteral("not the json output of friendlinks check (line %1 is no object)").arg(i + 1);
        entries.append(document.object());
    }
    return entries;
}

// The site objects of a json output: one site, or its "sites" list.
std::variant<QJsonArray, QString> readJsonSites(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error == QJsonParseError::GarbageAtEnd)
        return readJsonLines(json);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON (%1 at byte %2)").arg(error.errorString()).arg(error.offset);
    if (!document.isObject())
        return QStringLiteral("not the json output of friendlinks check (no object)");
    const QJsonObject top = document.object();
    if (top.contains(QLatin1String("sites"))) {
        if (!top.value(QLatin1String("sites")).isArray())
            return QStringLiteral("\"sites\" is not a list");
        return top.value(QLatin1String("sites")).toArray();
    }
    if (top.contains(QLatin1String("site")) && top.contains(QLatin1String("rows")))
        return QJsonArray{top};
    return QStringLiteral("not the json output of friendlinks check (no \"site\" and \"rows\", no \"sites\")");
}

} // namespace

std::variant<QList<SavedSite>, QString> readSavedCheck(const QByteArray &json)
{
    auto entries = readJsonSites(json);
    if (const QString *problem = std::get_if<QString>(&entries))
        return *problem;
    QList<SavedSite> sites;
    for (const QJsonValue &entry : std::get<QJsonArray>(entries)) {
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
        || change == kChangeIndexDrop || change == kChangeRankLost || change == kChangeUnreachable;
}

bool isIndexDrop(const QString &older, const QString &newer)
{
    // newer < older × (1 − 0.30) in whole numbers: newer × 10 < older × 7.
    static_assert(kIndexDropShare == 0.30);
    const QString newerTimesTen = newer == QLatin1String("0") ? newer : newer + QLatin1Char('0');
    return lessThan(newerTimesTen, timesDigit(older, 7));
}

std::optional<QString> indexCount(const SavedRow &row)
{
    if (row.baiduCount)
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
        const SavedSite &now = newer[candidates.takeFirst()];
        const QString before = cannotCheck(site);
        const QString after = cannotCheck(now);
        if (before.isEmpty() && !after.isEmpty())
            changes.append({site.site, QString(), kChangeUnreachable, QString(), after});
        else if (!before.isEmpty() && after.isEmpty())
            changes.append({site.site, QString(), kChangeReachable, before, QString()});
        else if (before.isEmpty())
            changes += diffSite(site, now);
    }
    return changes;
}

} // namespace friendlinks
