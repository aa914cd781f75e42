#include "check/TableFormat.h"

#include "check/DisplayWidth.h"
#include "check/TextEscape.h"

#include <QList>

#include <algorithm>

namespace friendlinks {
namespace {

// A cell as shown in the table: control and bidirectional characters visible as escapes.
QString displayText(const QString &text)
{
    return displayCellText(text);
}

// The cells of a row as printed: the six, then the table's fact columns.
QList<Cell> printedCells(const ResultRow &row, const QList<FactColumn> &facts)
{
    QList<Cell> cells(row.cells.cells.begin(), row.cells.cells.end());
    for (const FactColumn column : facts)
        cells << factCell(row.facts, column);
    return cells;
}

QList<Cell> headerCells(const QList<FactColumn> &facts)
{
    QList<Cell> cells;
    for (const ColumnInfo &info : columns())
        cells << Cell{info.header};
    for (const FactColumn column : facts)
        cells << Cell{factColumns()[size_t(column)].header};
    return cells;
}

} // namespace

QByteArray formatTable(const ResultTable &table, bool colour, qint64 elapsedMs)
{
    const QList<Cell> header = headerCells(table.factColumns);
    QList<QList<Cell>> body;
    for (const ResultRow &row : table.rows)
        body << printedCells(row, table.factColumns);
    QList<int> widths;
    for (const Cell &cell : header)
        widths << displayWidth(cell.text);
    int redCells = 0;
    for (qsizetype r = 0; r < body.size(); ++r) {
        for (qsizetype c = 0; c < widths.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(displayText(body[r][c].text)));
        for (const Cell &cell : table.rows[r].cells.cells)
            redCells += cell.red ? 1 : 0;
    }
    // The site column of a batch, its text escaped like a cell's.
    const bool siteColumn = table.siteColumn;
    int siteWidth = displayWidth(kSiteHeader);
    for (const QString &site : table.siteOfRow)
        siteWidth = std::max(siteWidth, displayWidth(escapeForDisplay(site)));
    const auto siteCell = [&](const QString &shown) {
        return siteColumn ? shown + QString(siteWidth - displayWidth(shown) + 2, QLatin1Char(' ')) : QString();
    };

    const auto line = [&](const QString &site, const QList<Cell> &cells) {
        QString out = siteCell(site);
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

    QString out = line(kSiteHeader, header);
    for (qsizetype r = 0; r < body.size(); ++r)
        out += line(escapeForDisplay(table.siteOfRow.value(r)), body[r]);
    out += QStringLiteral("共 %1 行，标红 %2 处，用时 %3 秒\n")
               .arg(table.rows.size())
               .arg(redCells)
               .arg(double(elapsedMs) / 1000.0, 0, 'f', 1);
    return out.toUtf8();
}

} // namespace friendlinks
