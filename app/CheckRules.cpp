#include "app/CheckRules.h"

#include "probes/DomainRules.h"
#include "web/FetchResult.h"
#include "web/PatternMatcher.h"

namespace friendlinks {
namespace {

const QString kSchemePrefix = QStringLiteral("http://");
const QString kImageMarker = QStringLiteral("img");

// Removes blanks (U+0020 only) at both ends; other white space stays.
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

} // namespace

QString normalisedSiteText(const QString &enteredSite)
{
    QString text = trimBlanks(enteredSite);
    if (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    text = asHttpSite(text);
    text.remove(kSchemePrefix, Qt::CaseSensitive);
    return text;
}

Cell fanlianCell(const QString &backLinkResult)
{
    const QStringList lines = splitLines(backLinkResult);
    bool numeric = false;
    const int flag = lines.value(0).trimmed().toInt(&numeric);
    if (!numeric || flag != 1)
        return {kNoLink, true};

    const QString text = lines.value(1);
    if (text == kEmptyBody || text == kTooSlow)
        return {text, true};
    if (text.contains(kImageMarker, Qt::CaseSensitive))
        return {kImageConnection, false};
    return {text, false};
}

BaiduCells baiduCells(const std::optional<BaiduResult> &result)
{
    if (!result)
        return {};
    return {Cell{result->count, false}, Cell{result->snapshot, false},
            Cell{result->verdict, result->verdict == kNotFirst}};
}

} // namespace friendlinks
