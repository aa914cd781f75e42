#include "probes/BackLinkProbe.h"

#include "web/PatternMatcher.h"
#include "web/TextCuts.h"

namespace friendlinks {
namespace {

const QString kImageMark = QStringLiteral("img src=");
const QString kClosingTag = QStringLiteral("</a>");
constexpr qsizetype kMaxBackLinkText = 8;

// What the anchor that decides shows.
BackLinkResult readAnchor(const QString &anchor)
{
    if (anchor.contains(kImageMark, Qt::CaseSensitive))
        return {true, true, {}, anchor};
    QString text = TestRegExp(kAnchorTextPattern, anchor);
    text.remove(kClosingTag, Qt::CaseSensitive);
    text.remove(QLatin1Char('>'), Qt::CaseSensitive);
    return {true, false, cutText(text, kMaxBackLinkText), anchor};
}

} // namespace

BackLinkResult scanBackLinks(const QString &page, const QString &needle)
{
    return scanBackLinksWhere(page, [&needle](const QString &anchor) {
        // An empty needle occurs in every anchor except the empty last piece.
        return !anchor.isEmpty() && anchor.contains(needle, Qt::CaseSensitive);
    });
}

BackLinkResult scanBackLinksWhere(const QString &page, const std::function<bool(const QString &anchor)> &linksBack)
{
    // The anchors one at a time (a list of them would copy the page); the
    // first that links back decides. With no anchor at all, the no-match text
    // stands in as the one anchor, but is no anchor to report.
    BackLinkResult result;
    const qsizetype anchors = forEachMatch(kAnchorPattern, page, [&](const QString &anchor) {
        if (!linksBack(anchor))
            return true;
        result = readAnchor(anchor);
        return false;
    });
    if (anchors == 0 && linksBack(kMatchFailed)) {
        result = readAnchor(kMatchFailed);
        result.anchor.clear();
    }
    return result;
}

} // namespace friendlinks
