#include "check/CsvFormat.h"

#include "check/RowSchema.h"
#include "check/TextEscape.h"

namespace friendlinks {
QString csvRecord(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &field : fields)
        quoted << csvField(escapeKeepingLineBreaks(formulaSafe(field)));
    return quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

QString csvField(const QString &text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quote)
        return text;
    QString out = text;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QByteArray formatCsv(const ResultTable &table)
{
    // A batch's every piece has the site column, rows or not: a piece written
    // for a first site without rows carries the header of all that follow.
    QString out = table.header ? csvRecord(flatHeader(table)) : QString();
    const auto asTyped = [](const QString &site) { return site; };
    for (qsizetype i = 0; i < table.rows.size(); ++i)
        out += csvRecord(flatFields(table, i, asTyped, cellDisplayText));
    return (table.header ? QByteArray(kCsvByteOrderMark) : QByteArray()) + out.toUtf8();
}

} // namespace friendlinks
