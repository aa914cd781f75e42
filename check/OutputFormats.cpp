#include "check/OutputFormats.h"

#include <QStringList>

namespace friendlinks {
namespace {

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
        default: out += c;
        }
    }
    return out;
}

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

// A cell as shown in the table: line breaks and other control characters dropped.
QString displayText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            out += c;
    }
    return out;
}

} // namespace

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

QByteArray formatJson(const QString &site, const QList<CheckRow> &rows, const QString &mode)
{
    QString out = QStringLiteral("{\"site\": %1, \"mode\": %2, \"rows\": [").arg(jsonString(site), jsonString(mode));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += i == 0 ? QStringLiteral("\n  {") : QStringLiteral(",\n  {");
        for (const ColumnInfo &info : columns())
            out += QStringLiteral("\"%1\": %2, ").arg(QLatin1String(info.key), jsonString(rows[i][info.column].text));
        QStringList red;
        for (const QString &key : redKeys(rows[i]))
            red << jsonString(key);
        out += QStringLiteral("\"red\": [%1]}").arg(red.join(QStringLiteral(", ")));
    }
    out += rows.isEmpty() ? QStringLiteral("]}\n") : QStringLiteral("\n]}\n");
    return out.toUtf8();
}

QByteArray formatTsv(const QList<CheckRow> &rows)
{
    QStringList header;
    for (const ColumnInfo &info : columns())
        header << info.header;
    header << QStringLiteral("标红");
    QString out = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const CheckRow &row : rows) {
        QStringList fields;
        for (const ColumnInfo &info : columns())
            fields << tsvField(row[info.column].text);
        fields << redKeys(row).join(QLatin1Char(','));
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

QByteArray formatTable(const QList<CheckRow> &rows, bool colour, qint64 elapsedMs)
{
    std::array<int, kColumnCount> widths{};
    for (const ColumnInfo &info : columns())
        widths[size_t(info.column)] = displayWidth(info.header);
    int redCells = 0;
    for (const CheckRow &row : rows) {
        for (size_t c = 0; c < kColumnCount; ++c) {
            widths[c] = std::max(widths[c], displayWidth(displayText(row.cells[c].text)));
            redCells += row.cells[c].red ? 1 : 0;
        }
    }

    const auto line = [&](const std::array<Cell, kColumnCount> &cells) {
        QString out;
        for (size_t c = 0; c < kColumnCount; ++c) {
            const QString text = displayText(cells[c].text);
            const bool last = c + 1 == kColumnCount;
            const QString padding(last ? 0 : widths[c] - displayWidth(text) + 2, QLatin1Char(' '));
            if (colour && cells[c].red)
                out += QStringLiteral("\x1b[31m") + text + QStringLiteral("\x1b[0m");
            else
                out += text;
            out += padding;
        }
        return out + QLatin1Char('\n');
    };

    std::array<Cell, kColumnCount> header;
    for (const ColumnInfo &info : columns())
        header[size_t(info.column)].text = info.header;
    QString out = line(header);
    for (const CheckRow &row : rows)
        out += line(row.cells);
    out += QStringLiteral("共 %1 行，标红 %2 处，用时 %3 秒\n")
               .arg(rows.size())
               .arg(redCells)
               .arg(double(elapsedMs) / 1000.0, 0, 'f', 1);
    return out.toUtf8();
}

} // namespace friendlinks
