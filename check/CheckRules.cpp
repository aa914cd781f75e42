#include "check/CheckRules.h"

#include "probes/DomainRules.h"
#include "web/FetchResult.h"
#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

namespace friendlinks {
namespace {

const QString kSchemePrefix = QStringLiteral("http://");
const QString kImageMarker = QStringLiteral("img");

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
