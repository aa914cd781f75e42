#include "probes/BaiduProbe.h"

#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

namespace friendlinks {
namespace {

const QString kSchemePrefix = QStringLiteral("http://");
const QString kQueryPath = QStringLiteral("/s?wd=site:");
const QString kCountPhrase = QStringLiteral("百度一下，找到相关网页");
const QString kCountEnd = QStringLiteral("篇，用时");
const QString kCountSuffix = QStringLiteral("篇");

QString withTrailingSlash(QString text)
{
    if (!text.endsWith(QLatin1Char('/')))
        text.append(QLatin1Char('/'));
    return text;
}

// The text between the first count phrase and the next one (or the page end), up to "篇，用时".
std::optional<QString> indexCount(const QString &page)
{
    const qsizetype phraseAt = page.indexOf(kCountPhrase, 0, Qt::CaseSensitive);
    if (phraseAt < 0)
        return std::nullopt;
    const qsizetype start = phraseAt + kCountPhrase.size();
    const qsizetype nextPhrase = page.indexOf(kCountPhrase, start, Qt::CaseSensitive);
    const QString piece = page.mid(start, nextPhrase < 0 ? -1 : nextPhrase - start);
    if (piece.isEmpty())
        return std::nullopt;
    const qsizetype endAt = piece.indexOf(kCountEnd, 0, Qt::CaseSensitive);
    return (endAt < 0 ? piece : piece.left(endAt)) + kCountSuffix;
}

} // namespace

QString bareSite(const QString &site)
{
    QString bare = site;
    bare.remove(kSchemePrefix, Qt::CaseSensitive);
    return bare;
}

QString baiduQueryUrl(const QString &host, const QString &site)
{
    return kSchemePrefix + host + kQueryPath + bareSite(site);
}

std::optional<BaiduResult> parseBaiduPage(const QString &page, const QString &site)
{
    const std::optional<QString> count = indexCount(page);
    if (!count)
        return std::nullopt;

    const QString snapshotLine = firstLine(TestRegExp(kSnapshotLinePattern, page));
    // The whole match list of the address runs, its final CR LF included.
    const QString addressText = trimBlanks(TestRegExp(kSiteAddressPattern, snapshotLine));
    const qsizetype blankAt = addressText.indexOf(QLatin1Char(' '));
    if (blankAt < 0)
        return std::nullopt;

    const QString snapshot = trimBlanks(addressText.mid(blankAt));
    const QString firstResult = withTrailingSlash(trimBlanks(addressText.left(blankAt + 1)));
    const QString bare = withTrailingSlash(bareSite(site));

    return BaiduResult{*count, snapshot, bare == firstResult ? kHomePageFirst : kNotFirst};
}

} // namespace friendlinks
