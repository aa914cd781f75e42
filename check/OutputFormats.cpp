#include "check/OutputFormats.h"

#include "check/TextEscape.h"

#include <QStringList>

namespace friendlinks {
namespace {

QStringList redKeys(const CheckRow &row)
{
    QStringList keys;
    for (const ColumnInfo &info : columns()) {
        if (row[info.column].red)
            keys << QString::fromLatin1(info.key);
    }
    return keys;
}

bool isWide(char32_t u)
{
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0x303E) || (u >= 0x3041 && u <= 0x33FF)
        || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xA000 && u <= 0xA4CF)
        || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F)
        || (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x1F300 && u <= 0x1F64F)
        || (u >= 0x20000 && u <= 0x3FFFD);
}

// A cell as shown in the table: control and bidirectional characters visible as escapes.
QString displayText(const QString &text)
{
    return displayCellText(text);
}

// The "facts" object of one row; keys in a fixed order.
QString factsJson(const RowFacts &facts)
{
    const auto orNull = [](bool known, const QString &json) { return known ? json : QStringLiteral("null"); };
    const auto boolean = [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); };
    const auto anchorJson = [&boolean](const std::optional<BackLinkFacts> &anchor) {
        if (!anchor)
            return QStringLiteral("null");
        QStringList rel;
        for (const QString &token : anchor->rel)
            rel << jsonString(token);
        return QStringLiteral("{\"href\": %1, \"rel\": [%2], \"follow\": %3}")
            .arg(jsonString(anchor->href), rel.join(QStringLiteral(", ")), boolean(anchor->follow));
    };
    const QString backlink = anchorJson(facts.backlink);
    QString baidu = QStringLiteral("null");
    if (facts.baidu) {
        baidu = QStringLiteral("{\"state\": %1, \"count\": %2}")
                    .arg(jsonString(baiduStateName(facts.baidu->state)),
                         orNull(facts.baidu->count.has_value(), jsonString(facts.baidu->count.value_or(QString()))));
    }
    return QStringLiteral("{\"status\": %1, \"final_url\": %2, \"ms\": %3, \"backlink\": %4, "
                          "\"page_nofollow\": %5, \"outbound\": %6, \"baidu\": %7, \"tls_error\": %8, "
                          "\"our_link\": %9}")
        .arg(QString::number(facts.status), jsonString(facts.finalUrl), QString::number(facts.ms), backlink,
             orNull(facts.pageNofollow.has_value(), boolean(facts.pageNofollow.value_or(false))),
             orNull(facts.outbound.has_value(), QString::number(facts.outbound.value_or(0))), baidu,
             orNull(!facts.tlsError.isEmpty(), jsonString(facts.tlsError)), anchorJson(facts.ourLink));
}

// The cells of a row as printed: the six, then the facts when given.
QList<Cell> printedCells(const CheckRow &row, const RowFacts *facts)
{
    QList<Cell> cells(row.cells.begin(), row.cells.end());
    if (facts) {
        for (const FactColumnInfo &info : factColumns())
            cells << factCell(*facts, info.column);
    }
    return cells;
}

QList<Cell> headerCells(bool withFacts)
{
    QList<Cell> cells;
    for (const ColumnInfo &info : columns())
        cells << Cell{info.header};
    if (withFacts) {
        for (const FactColumnInfo &info : factColumns())
            cells << Cell{info.header};
    }
    return cells;
}

} // namespace

QString jsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

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

int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t u : text.toUcs4()) {
        if (u < 0x20 || u == 0x7F || (u >= 0x300 && u <= 0x36F) || u == 0x200B)
            continue;
        width += isWide(u) ? 2 : 1;
    }
    return width;
}

QString homeJson(const FetchResult &home)
{
    return QStringLiteral("{\"status\": %1, \"final_url\": %2, \"ms\": %3, \"tls_error\": %4}")
        .arg(QString::number(home.status), jsonString(home.finalUrl), QString::number(home.elapsedMs),
             home.tlsError.isEmpty() ? QStringLiteral("null") : jsonString(home.tlsError));
}

QByteArray formatJson(const QString &site, const QList<CheckRow> &rows, const QString &mode,
                      const QList<RowFacts> *facts, const FetchResult *home)
{
    QString out = QStringLiteral("{\"site\": %1, \"mode\": %2, \"rows\": [").arg(jsonString(site), jsonString(mode));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += i == 0 ? QStringLiteral("\n  {") : QStringLiteral(",\n  {");
        for (const ColumnInfo &info : columns())
            out += QStringLiteral("\"%1\": %2, ").arg(QLatin1String(info.key), jsonString(rows[i][info.column].text));
        QStringList red;
        for (const QString &key : redKeys(rows[i]))
            red << jsonString(key);
        out += QStringLiteral("\"red\": [%1]").arg(red.join(QStringLiteral(", ")));
        if (facts)
            out += QStringLiteral(", \"facts\": ") + factsJson(facts->value(i));
        out += QLatin1Char('}');
    }
    out += rows.isEmpty() ? QStringLiteral("]") : QStringLiteral("\n]");
    if (home)
        out += QStringLiteral(", \"home\": ") + homeJson(*home);
    out += QStringLiteral("}\n");
    return out.toUtf8();
}

QByteArray formatTsv(const QList<CheckRow> &rows, const QList<RowFacts> *facts)
{
    QStringList header;
    for (const ColumnInfo &info : columns())
        header << info.header;
    header << QStringLiteral("标红");
    if (facts) {
        for (const FactColumnInfo &info : factColumns())
            header << info.header;
    }
    QString out = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const CheckRow &row = rows[i];
        QStringList fields;
        for (const ColumnInfo &info : columns())
            fields << tsvField(row[info.column].text);
        fields << redKeys(row).join(QLatin1Char(','));
        if (facts) {
            const RowFacts rowFacts = facts->value(i);
            for (const FactColumnInfo &info : factColumns())
                fields << tsvField(factCell(rowFacts, info.column).text);
        }
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

QByteArray formatTable(const QList<CheckRow> &rows, bool colour, qint64 elapsedMs, const QList<RowFacts> *facts)
{
    const QList<Cell> header = headerCells(facts != nullptr);
    QList<QList<Cell>> body;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const RowFacts rowFacts = facts ? facts->value(i) : RowFacts();
        body << printedCells(rows[i], facts ? &rowFacts : nullptr);
    }
    QList<int> widths;
    for (const Cell &cell : header)
        widths << displayWidth(cell.text);
    int redCells = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < widths.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(displayText(body[r][c].text)));
        for (const Cell &cell : rows[r].cells)
            redCells += cell.red ? 1 : 0;
    }

    const auto line = [&](const QList<Cell> &cells) {
        QString out;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QString text = displayText(cells[c].text);
            const bool last = c + 1 == cells.size();
            const QString padding(last ? 0 : widths[c] - displayWidth(text) + 2, QLatin1Char(' '));
            if (colour && cells[c].red)
                out += QStringLiteral("\x1b[31m") + text + QStringLiteral("\x1b[0m");
            else
                out += text;
            out += padding;
        }
        return out + QLatin1Char('\n');
    };

    QString out = line(header);
    for (const QList<Cell> &cells : body)
        out += line(cells);
    out += QStringLiteral("共 %1 行，标红 %2 处，用时 %3 秒\n")
               .arg(rows.size())
               .arg(redCells)
               .arg(double(elapsedMs) / 1000.0, 0, 'f', 1);
    return out.toUtf8();
}

} // namespace friendlinks
