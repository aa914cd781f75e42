#include "check/HistoryListing.h"

#include <QDir>
#include <QUrl>

namespace friendlinks {
namespace {

QString damaged(const HistoryStore &store, const QString &site)
{
    return QStringLiteral("the history %1 holds a damaged check of %2: its rows cannot be read")
        .arg(QDir::toNativeSeparators(store.path()), site);
}

// The ways a friend's address may have been recorded, the text as given first.
QStringList addressForms(const QString &given)
{
    QString text = given.trimmed();
    QStringList forms{text};
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    const QUrl url(text);
    if (url.isValid() && !url.host().isEmpty()) {
        QUrl lowered = url;
        lowered.setHost(url.host().toLower());
        if (lowered.path().isEmpty())
            lowered.setPath(QStringLiteral("/"));
        for (const QUrl &form : {url, lowered}) {
            const QString address = form.toString();
            forms << address;
            if (form.path().isEmpty())
                forms << address + QLatin1Char('/');
        }
    }
    forms.removeDuplicates();
    return forms;
}

} // namespace

std::variant<QList<RecordedCheck>, QString> recordedChecks(HistoryStore &store, const QString &site)
{
    const QList<TalliedCheck> tallied = store.talliedChecksOf(site);
    if (!store.lastError().ok())
        return store.lastError().reason;
    QList<RecordedCheck> checks;
    checks.reserve(tallied.size());
    for (const TalliedCheck &check : tallied) {
        if (!check.tally)
            return damaged(store, site);
        const CheckSummary &summary = check.summary;
        const CheckTally &tally = *check.tally;
        checks.append({summary.id, summary.started, summary.finished, summary.mode, summary.programVersion,
                       summary.rowCount, tally.redCells, tally.unreachable, tally.homeStatus, tally.changes,
                       tally.worse, tally.better, tally.comparedWith});
    }
    return checks;
}

std::variant<FriendLine, QString> recordedFriendLine(HistoryStore &store, const QString &site, const QString &lianjie)
{
    FriendLine line{lianjie.trimmed(), {}};
    for (const QString &address : addressForms(lianjie)) {
        const QList<FriendPoint> points = store.friendLine(site, address);
        if (!store.lastError().ok())
            return store.lastError().reason;
        if (points.isEmpty())
            continue;
        line.lianjie = address;
        for (const FriendPoint &point : points) {
            if (!point.row)
                return damaged(store, site);
            line.points.append({point.checkId, point.started, *point.row});
        }
        break;
    }
    return line;
}

} // namespace friendlinks
