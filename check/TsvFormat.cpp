#include "check/TsvFormat.h"

#include "check/RowSchema.h"
#include "check/TextEscape.h"

#include <QStringList>

namespace friendlinks {

QString tsvField(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\n': out += QLatin1String("\\n"); break;
        default: out += isUnsafeForDisplay(c.unicode()) ? escapeForDisplay(c) : QString(c);
        }
    }
    return out;
}

QByteArray formatTsv(const ResultTable &table)
{
    const bool siteColumn = table.siteColumn;
    QStringList header;
    if (siteColumn)
        header << kSiteHeader;
    for (const ColumnInfo &info : columns())
        header << info.header;
    header << QStringLiteral("标红");
    for (const FactColumn column : table.factColumns)
        header << factColumns()[size_t(column)].header;
    QString out = table.header ? header.join(QLatin1Char('\t')) + QLatin1Char('\n') : QString();
    for (qsizetype i = 0; i < table.rows.size(); ++i) {
        const ResultRow &row = table.rows[i];
        QStringList fields;
        if (siteColumn)
            fields << tsvField(table.siteOfRow.value(i));
        for (const ColumnInfo &info : columns())
            fields << tsvField(row.cells[info.column].text);
        fields << redKeys(row.cells).join(QLatin1Char(','));
        for (const FactColumn column : table.factColumns)
            fields << tsvField(factCell(row.facts, column).text);
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

} // namespace friendlinks
