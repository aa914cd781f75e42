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

} // namespace

QString backLinkReport(const QString &page, const QString &needle)
{
    // Markers are whole texts: a page that merely mentions one is scanned as a page.
    if (page == kEmptyBody)
        return report(QLatin1Char('1'), kEmptyBody);
    if (page == kTooSlow)
        return report(QLatin1Char('1'), kTooSlow);

    const QStringList anchors = splitLines(TestRegExp(kAnchorPattern, page));
    for (const QString &anchor : anchors) {
        // An empty needle occurs in every anchor except the empty last piece.
        if (anchor.isEmpty() || !anchor.contains(needle, Qt::CaseSensitive))
            continue;
        if (anchor.contains(kImageMark, Qt::CaseSensitive))
            return report(QLatin1Char('1'), kImageLink);

        QString text = TestRegExp(kAnchorTextPattern, anchor);
        text.remove(kClosingTag, Qt::CaseSensitive);
        text.remove(QLatin1Char('>'), Qt::CaseSensitive);
        return report(QLatin1Char('1'), cutText(text, kMaxBackLinkText));
    }
    return report(QLatin1Char('0'), kNoBackLink);
}

} // namespace friendlinks
