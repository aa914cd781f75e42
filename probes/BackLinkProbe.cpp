#include "probes/BackLinkProbe.h"

#include "web/FetchResult.h"
#include "web/PatternMatcher.h"

namespace friendlinks {
namespace {

const QString kImageMark = QStringLiteral("img src=");
const QString kClosingTag = QStringLiteral("</a>");
constexpr qsizetype kMaxBackLinkText = 8;

QString report(QChar flag, const QString &text)
{
    return flag + kLineBreak + text;
}

// The first `length` UTF-16 units, one fewer when the cut would split a surrogate pair.
QString cutText(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
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
