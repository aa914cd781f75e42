#include "check/CsvFormat.h"

#include "check/RowSchema.h"
#include "check/TextEscape.h"

namespace friendlinks {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
const QString kRedHeader = QStringLiteral("标红");

QString csvRecord(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &field : fields)
        quoted << csvField(escapeKeepingLineBreaks(formulaSafe(field)));
    return quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

} // namespace

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
    const bool siteColumn = table.siteColumn;
    QStringList header;
    if (siteColumn)
        header << kSiteHeader;
    for (const ColumnInfo &info : columns())
        header << info.header;
    header << kRedHeader;
    for (const FactColumn column : table.factColumns)
        header << factColumns()[size_t(column)].header;
    QString out = table.header ? csvRecord(header) : QString();
    for (qsizetype i = 0; i < table.rows.size(); ++i) {
        const ResultRow &row = table.rows[i];
        QStringList fields;
        if (siteColumn)
            fields << table.siteOfRow.value(i);
        for (const ColumnInfo &info : columns())
            fields << cellDisplayText(row.cells[info.column].text);
        fields << redKeys(row.cells).join(QLatin1Char(','));
        for (const FactColumn column : table.factColumns)
            fields << cellDisplayText(factCell(row.facts, column).text);
        out += csvRecord(fields);
    }
    return (table.header ? QByteArray(kBom) : QByteArray()) + out.toUtf8();
}

} // namespace friendlinks
