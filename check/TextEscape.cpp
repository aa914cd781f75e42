#include "check/TextEscape.h"

namespace friendlinks {

bool isUnsafeForDisplay(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F
        || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

namespace {

QString escaped(const QString &text, bool keepLineBreaks)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!isUnsafeForDisplay(u) || (keepLineBreaks && (u == '\r' || u == '\n'))) {
            out += c;
            continue;
        }
        switch (u) {
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\n': out += QLatin1String("\\n"); break;
        default:
            out += u < 0x100 ? QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'))
                             : QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        }
    }
    return out;
}

} // namespace

QString escapeForDisplay(const QString &text)
{
    return escaped(text, false);
}

QString escapeKeepingLineBreaks(const QString &text)
{
    return escaped(text, true);
}

QString cellDisplayText(const QString &text)
{
    if (text.endsWith(QLatin1String("\r\n")))
        return text.chopped(2);
    if (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        return text.chopped(1);
    return text;
}

QString displayCellText(const QString &text)
{
    return escapeForDisplay(cellDisplayText(text));
}

QString oneLineCellText(const QString &text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QChar::LineSeparator, QLatin1Char(' ')); // Qt's own stand-in for "\n"
    while (line.endsWith(QLatin1Char(' ')))
        line.chop(1);
    return escapeForDisplay(line);
}

QString formulaSafe(const QString &text)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && kFormulaStarts.contains(text.front()))
        return QLatin1Char('\'') + text;
    return text;
}

} // namespace friendlinks
