#include "web/TextCuts.h"

namespace friendlinks {

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString cutText(const QString &text, qsizetype length)
{
    qsizetype end = 0;
    for (qsizetype kept = 0; kept < length && end < text.size(); ++kept) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return end == text.size() ? text : text.left(end);
}

} // namespace friendlinks
