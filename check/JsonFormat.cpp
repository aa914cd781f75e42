#include "check/JsonFormat.h"

#include "check/CheckMode.h"
#include "check/RowSchema.h"
#include "check/SiteCause.h"

#include <QStringList>

namespace friendlinks {
namespace {

// The "facts" object of one row, keys in the schema's order.
QString factsJson(const RowFacts &facts)
{
    QStringList members;
    for (const FactField &field : factFields())
        if (field.key)
            members << QStringLiteral("\"%1\": %2").arg(QLatin1String(field.key), field.toJson(facts));
    return QLatin1Char('{') + members.join(QStringLiteral(", ")) + QLatin1Char('}');
}

QString rowJson(const ResultRow &row, bool withFetchFacts)
{
    QString out = QStringLiteral("{");
    for (const CellField &field : cellFields())
        out += QStringLiteral("\"%1\": %2, ")
                   .arg(QLatin1String(field.column.key), jsonString(row.cells[field.column.column].text));
    QStringList red;
    for (const QString &key : redKeys(row.cells))
        red << jsonString(key);
    out += QStringLiteral("\"red\": [%1]").arg(red.join(QStringLiteral(", ")));
    if (withFetchFacts)
        out += QStringLiteral(", \"facts\": ") + factsJson(row.facts);
    return out + QLatin1Char('}');
}

// The site object's closing keys: the anchors passed over by reason (those
// with a count), and why nothing was checked when nothing was.
QString siteTailJson(const SiteOutcome &outcome)
{
    QString out;
    if (outcome.reachable) {
        QStringList counts;
        for (int i = 0; i < kSkipReasonCount; ++i) {
            const auto reason = SkipReason(i);
            if (outcome.skipped[reason] > 0)
                counts << QStringLiteral("%1: %2").arg(jsonString(skipReasonKey(reason))).arg(outcome.skipped[reason]);
        }
        out += QStringLiteral(", \"skipped\": {%1}").arg(counts.join(QStringLiteral(", ")));
    }
    if (const QString cause = notCheckedCause(outcome); !cause.isEmpty())
        out += QStringLiteral(", \"cause\": ") + jsonString(cause);
    return out;
}

} // namespace

QString homeJson(const FetchResult &home)
{
    return QStringLiteral("{\"status\": %1, \"final_url\": %2, \"ms\": %3, \"tls_error\": %4}")
        .arg(QString::number(home.status), jsonString(home.finalUrl), QString::number(home.elapsedMs),
             home.tlsError.isEmpty() ? QStringLiteral("null") : jsonString(home.tlsError));
}

QByteArray formatSiteJson(const SiteOutcome &outcome, const QList<ResultRow> &rows, bool withFetchFacts)
{
    const QString head = QStringLiteral("{\"site\": %1, \"mode\": %2, ")
                             .arg(jsonString(outcome.site), jsonString(outcome.modern ? kModernModeName : kClassicModeName));
    const QString home = withFetchFacts ? QStringLiteral(", \"home\": ") + homeJson(outcome.home) : QString();
    if (!outcome.reachable)
        return (head + QStringLiteral("\"unreachable\": true, \"rows\": []") + home + siteTailJson(outcome)
                + QStringLiteral("}\n"))
            .toUtf8();
    QString out = head + QStringLiteral("\"rows\": [");
    for (qsizetype i = 0; i < rows.size(); ++i)
        out += (i == 0 ? QStringLiteral("\n  ") : QStringLiteral(",\n  ")) + rowJson(rows[i], withFetchFacts);
    out += rows.isEmpty() ? QStringLiteral("]") : QStringLiteral("\n]");
    out += home + siteTailJson(outcome) + QStringLiteral("}\n");
    return out.toUtf8();
}

QByteArray formatRowJson(const ResultRow &row)
{
    return rowJson(row, true).toUtf8();
}

QByteArray formatJson(const ResultsModel &results, bool withFetchFacts)
{
    return formatSiteJson(results.outcome(), results.rows(), withFetchFacts);
}

} // namespace friendlinks
