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
    QString out = table.header ? flatHeader(table).join(QLatin1Char('\t')) + QLatin1Char('\n') : QString();
    for (qsizetype i = 0; i < table.rows.size(); ++i)
        out += flatFields(table, i, tsvField, tsvField).join(QLatin1Char('\t')) + QLatin1Char('\n');
    return out.toUtf8();
}

} // namespace friendlinks
