#include "check/CheckRules.h"

#include "probes/DomainRules.h"
#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

#include <limits>

namespace friendlinks {
namespace {

const QString kSchemePrefix = QStringLiteral("http://");
const QString kImageMarker = QStringLiteral("img");
const QString kNoBackLink = QStringLiteral("..");

QString report(QChar flag, const QString &text)
{
    return flag + kLineBreak + text;
}


RankVerdict rankOf(const QString &verdict)
{
    if (verdict == kHomePageFirst)
        return RankVerdict::HomeFirst;
    return verdict == kNotFirst ? RankVerdict::NotFirst : RankVerdict::Unknown;
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

std::optional<QString> classicMarker(const FetchResult &page)
{
    switch (page.kind) {
    case FetchResult::Kind::TooSlow: return kTooSlow;
    case FetchResult::Kind::EmptyBody: return kEmptyBody;
    case FetchResult::Kind::SiteUnreachable: return std::nullopt;
    case FetchResult::Kind::Page: break;
    }
    if (page.text == kTooSlow || page.text == kEmptyBody) // a whole text, not one that merely mentions it
        return page.text;
    return std::nullopt;
}

QString backLinkReport(const FetchResult &page, const BackLinkResult &scan)
{
    if (const std::optional<QString> marker = classicMarker(page))
        return report(QLatin1Char('1'), *marker);
    if (!scan.found)
        return report(QLatin1Char('0'), kNoBackLink);
    return report(QLatin1Char('1'), scan.image ? kImageLink : scan.text);
}

Cell fanlianCell(const QString &backLinkReport)
{
    const QStringList lines = splitLines(backLinkReport);
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

ClassicBackLink classicBackLink(const FetchResult &page, const BackLinkResult &scan)
{
    const Cell cell = fanlianCell(backLinkReport(page, scan));
    if (!cell.red)
        return {cell, cell.text.isEmpty() ? BackLinkVerdict::Unknown : BackLinkVerdict::Linked};
    return {cell, cell.text == kNoLink ? BackLinkVerdict::NoLink : BackLinkVerdict::NotRead};
}

BaiduCells baiduCells(const std::optional<BaiduResult> &result)
{
    if (!result)
        return {};
    return {Cell{result->count, false}, Cell{result->snapshot, false},
            Cell{result->verdict, result->verdict == kNotFirst}, rankOf(result->verdict)};
}

IndexPages digitsNumber(const QString &text)
{
    IndexPages number;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        const qint64 sum = number.value_or(0);
        if (sum > (std::numeric_limits<qint64>::max() - 9) / 10)
            return std::nullopt;
        number = sum * 10 + (c.unicode() - '0');
    }
    return number;
}

IndexPages rowIndexPages(const std::optional<QString> &todaysCount, const QString &shoulu)
{
    const IndexPages today = digitsNumber(todaysCount.value_or(QString()));
    return today ? today : digitsNumber(shoulu);
}

} // namespace friendlinks
