#include "check/SiteDiff.h"

#include "check/Messages.h"

#include <QHash>

#include <algorithm>

namespace friendlinks {
namespace {

// Why the site could not be checked, in a few words; empty when it could.
QString cannotCheck(const SiteOutcome &site)
{
    if (site.home.status >= 400)
        return QStringLiteral("首页返回 HTTP %1").arg(site.home.status);
    return site.reachable ? QString() : kUnreachableMessage;
}

void compareRows(const QString &site, const ResultRow &o, const ResultRow &n, QList<LinkChange> &changes)
{
    const QString &lianjie = n.cells[Column::lianjie].text;
    const auto add = [&](DiffRule diff) {
        if (diff)
            for (const FieldChange &change : diff(o, n))
                changes.append({site, lianjie, change.change, change.oldValue, change.newValue});
    };
    for (const CellField &field : cellFields())
        add(field.diff);
    for (const FactField &field : factFields())
        add(field.diff);
}

QList<LinkChange> diffSite(const SiteRows &older, const SiteRows &newer)
{
    const QString &site = older.outcome.site;
    const auto link = [](const ResultRow &row) { return row.cells[Column::lianjie].text; };
    QList<LinkChange> changes;
    // The k-th row of an address in the older check pairs with its k-th row in the newer.
    QHash<QString, QList<qsizetype>> newerByLink;
    for (qsizetype i = 0; i < newer.rows.size(); ++i)
        newerByLink[link(newer.rows[i])].append(i);
    QList<bool> paired(newer.rows.size(), false);
    for (const ResultRow &row : older.rows) {
        QList<qsizetype> &candidates = newerByLink[link(row)];
        if (candidates.isEmpty()) {
            changes.append({site, link(row), kChangeRemoved, link(row), QString()});
            continue;
        }
        const qsizetype match = candidates.takeFirst();
        paired[match] = true;
        compareRows(site, row, newer.rows[match], changes);
    }
    for (qsizetype i = 0; i < newer.rows.size(); ++i)
        if (!paired[i])
            changes.append({site, link(newer.rows[i]), kChangeAdded, QString(), link(newer.rows[i])});
    std::stable_partition(changes.begin(), changes.end(),
                          [](const LinkChange &change) { return isRegression(change.change); });
    return changes;
}

} // namespace

QList<LinkChange> diffChecks(const QList<SiteRows> &older, const QList<SiteRows> &newer)
{
    QList<LinkChange> changes;
    QHash<QString, QList<qsizetype>> newerBySite;
    for (qsizetype i = 0; i < newer.size(); ++i)
        newerBySite[newer[i].outcome.site].append(i);
    for (const SiteRows &site : older) {
        const QString &name = site.outcome.site;
        QList<qsizetype> &candidates = newerBySite[name];
        if (candidates.isEmpty())
            continue;
        const SiteRows &now = newer[candidates.takeFirst()];
        const QString before = cannotCheck(site.outcome);
        const QString after = cannotCheck(now.outcome);
        if (before.isEmpty() && !after.isEmpty())
            changes.append({name, QString(), kChangeUnreachable, QString(), after});
        else if (!before.isEmpty() && after.isEmpty())
            changes.append({name, QString(), kChangeReachable, before, QString()});
        else if (before.isEmpty())
            changes += diffSite(site, now);
    }
    return changes;
}

} // namespace friendlinks
