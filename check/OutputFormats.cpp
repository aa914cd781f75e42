#include "check/OutputFormats.h"

#include "check/CheckMode.h"
#include "check/SiteCause.h"
#include "check/TextEscape.h"

#include <QStringList>

#include <algorithm>

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
    QString backlink = anchorJson(facts.backlink);
    // Modern mode adds the resolved address after the keys of old; classic's objects stay as they were.
    if (facts.backlink && !facts.backlink->url.isEmpty())
        backlink.insert(backlink.size() - 1, QStringLiteral(", \"url\": ") + jsonString(facts.backlink->url));
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

QByteArray formatJson(const ResultsModel &results, bool withFetchFacts)
{
    const SiteOutcome &outcome = results.outcome();
    const QString head = QStringLiteral("{\"site\": %1, \"mode\": %2, ")
                             .arg(jsonString(outcome.site), jsonString(outcome.modern ? kModernModeName : kClassicModeName));
    const QString home = withFetchFacts ? QStringLiteral(", \"home\": ") + homeJson(outcome.home) : QString();
    if (!outcome.reachable)
        return (head + QStringLiteral("\"unreachable\": true, \"rows\": []") + home + siteTailJson(outcome)
                + QStringLiteral("}\n"))
            .toUtf8();
    QString out = head + QStringLiteral("\"rows\": [");
    const QList<ResultRow> &rows = results.rows();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += i == 0 ? QStringLiteral("\n  {") : QStringLiteral(",\n  {");
        for (const ColumnInfo &info : columns())
            out += QStringLiteral("\"%1\": %2, ").arg(QLatin1String(info.key), jsonString(rows[i].cells[info.column].text));
        QStringList red;
        for (const QString &key : redKeys(rows[i].cells))
            red << jsonString(key);
        out += QStringLiteral("\"red\": [%1]").arg(red.join(QStringLiteral(", ")));
        if (withFetchFacts)
            out += QStringLiteral(", \"facts\": ") + factsJson(rows[i].facts);
        out += QLatin1Char('}');
    }
    out += rows.isEmpty() ? QStringLiteral("]") : QStringLiteral("\n]");
    out += home + siteTailJson(outcome) + QStringLiteral("}\n");
    return out.toUtf8();
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
