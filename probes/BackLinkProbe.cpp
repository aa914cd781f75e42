#include "probes/BackLinkProbe.h"

#include "web/FetchResult.h"
#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

namespace friendlinks {
namespace {

const QString kImageMark = QStringLiteral("img src=");
const QString kClosingTag = QStringLiteral("</a>");
constexpr qsizetype kMaxBackLinkText = 8;

QString report(QChar flag, const QString &text)
{
    return flag + kLineBreak + text;
}

// The report of the anchor that decides.
QString anchorReport(const QString &anchor)
{
    if (anchor.contains(kImageMark, Qt::CaseSensitive))
        return report(QLatin1Char('1'), kImageLink);
    QString text = TestRegExp(kAnchorTextPattern, anchor);
    text.remove(kClosingTag, Qt::CaseSensitive);
    text.remove(QLatin1Char('>'), Qt::CaseSensitive);
    return report(QLatin1Char('1'), cutText(text, kMaxBackLinkText));
}

} // namespace

QString backLinkReport(const QString &page, const QString &needle)
{
    return scanBackLinks(page, needle).report;
}

BackLinkScan scanBackLinks(const QString &page, const QString &needle)
{
    return scanBackLinksWhere(page, [&needle](const QString &anchor) {
        // An empty needle occurs in every anchor except the empty last piece.
        return !anchor.isEmpty() && anchor.contains(needle, Qt::CaseSensitive);
    });
}

BackLinkScan scanBackLinksWhere(const QString &page, const std::function<bool(const QString &anchor)> &linksBack)
{
    // Markers are whole texts: a page that merely mentions one is scanned as a page.
    if (page == kEmptyBody)
        return {report(QLatin1Char('1'), kEmptyBody), {}};
    if (page == kTooSlow)
        return {report(QLatin1Char('1'), kTooSlow), {}};

    // The anchors one at a time (a list of them would copy the page); the
    // first that links back decides. With no anchor at all, the no-match text
    // stands in as the one anchor, but is no anchor to report.
    BackLinkScan result{report(QLatin1Char('0'), kNoBackLink), {}};
    const qsizetype anchors = forEachMatch(kAnchorPattern, page, [&](const QString &anchor) {
        if (!linksBack(anchor))
            return true;
        result = {anchorReport(anchor), anchor};
        return false;
    });
    if (anchors == 0 && linksBack(kMatchFailed))
        result.report = anchorReport(kMatchFailed);
    return result;
}

} // namespace friendlinks
