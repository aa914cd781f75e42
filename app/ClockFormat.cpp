#include "app/ClockFormat.h"

namespace friendlinks {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// "(t)" or "[ t ]": a bracket that holds only the time zone goes with it.
qsizetype zoneOnlyBracketEnd(const QString &format, qsizetype open)
{
    const QChar close = format[open] == u'(' ? u')' : u']';
    for (qsizetype i = open + 1; i < format.size(); ++i) {
        if (format[i] == close)
            return i;
        if (format[i] != u't' && !format[i].isSpace())
            return -1;
    }
    return -1;
}

} // namespace

QString clockFormat(const QLocale &locale)
{
    const QString format =
        locale.dateFormat(QLocale::ShortFormat) + u' ' + locale.timeFormat(QLocale::LongFormat);
    QString out;
    // One blank stands for a run of them, so a removed zone leaves no gap.
    const auto append = [&out](QChar c) {
        if (c.isSpace() && (out.isEmpty() || out.back().isSpace()))
            return;
        out += c;
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') { // quoted text stays as it is, quotes included
            const qsizetype end = format.indexOf(u'\'', i + 1);
            const qsizetype last = end < 0 ? format.size() - 1 : end;
            out += QStringView(format).mid(i, last - i + 1);
            i = last;
        } else if ((c == u'(' || c == u'[') && zoneOnlyBracketEnd(format, i) >= 0) {
            i = zoneOnlyBracketEnd(format, i);
        } else if (isAsciiLetter(c)) {
            qsizetype end = i;
            while (end + 1 < format.size() && format[end + 1] == c)
                ++end;
            const QString run = format.mid(i, end - i + 1);
            if (QStringLiteral("dMyhHmsz").contains(c)) {
                out += run;
            } else if (c == u'A' || c == u'a') {
                out += run; // AM/PM; "AP" and "ap" pass as two runs
            } else if ((c == u'P' || c == u'p') && i > 0 && format[i - 1].toLower() == u'a') {
                out += run;
            } else if (c == u'B' || c == u'b') {
                out += QStringLiteral("AP"); // a day period Qt cannot show: its AM/PM text instead
            }
            // 't' (the time zone) and letters Qt would print as they are: dropped.
            i = end;
        } else {
            append(c);
        }
    }
    return out.trimmed();
}

QString clockText(const QDateTime &moment, const QLocale &locale)
{
    return locale.toString(moment, clockFormat(locale));
}

} // namespace friendlinks
