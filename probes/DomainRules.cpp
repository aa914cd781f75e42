#include "probes/DomainRules.h"

#include <QStringList>

namespace friendlinks {
namespace {

const QString kSchemePrefix = QStringLiteral("http://");
const QString kHttpsPrefix = QStringLiteral("https://");
const QStringList kHomePageTails = {QStringLiteral("/"), QStringLiteral("/bbs/"), QStringLiteral("/windows7/")};

// The lists are split once; every entry stays exactly as stored, blanks and doubles included.
const QStringList &removalPrefixes()
{
    static const QStringList list = kRemovalPrefixes.split(QLatin1Char(','));
    return list;
}

const QStringList &removalEndings()
{
    static const QStringList list = kRemovalEndings.split(QLatin1Char(','));
    return list;
}

// Every home-page pattern in the order they are tried: prefix, then ending, then tail.
const QStringList &homePagePatterns()
{
    static const QStringList list = [] {
        QStringList patterns;
        for (const QString &prefix : kPatternPrefixes.split(QLatin1Char(',')))
            for (const QString &ending : kPatternEndings.split(QLatin1Char(',')))
                for (const QString &tail : kHomePageTails)
                    patterns.append(prefix + ending + tail);
        return patterns;
    }();
    return list;
}

} // namespace

int IsOutboundLink(QString link, QString site)
{
    if (site.left(7).toLower() != kSchemePrefix)
        site.prepend(kSchemePrefix);

    for (const QString &prefix : removalPrefixes()) {
        for (const QString &ending : removalEndings()) {
            site.remove(prefix, Qt::CaseSensitive);
            site.remove(ending, Qt::CaseSensitive);
        }
    }
    site.remove(QLatin1Char('/'), Qt::CaseSensitive);

    // An empty name occurs in every non-empty link, but not in an empty one.
    const bool inside = !link.isEmpty() && link.contains(site, Qt::CaseSensitive);
    return inside ? 0 : 1;
}

int IsHomePageLink(QString link)
{
    if (!link.endsWith(QLatin1Char('/')))
        link.append(QLatin1Char('/'));

    for (const QString &pattern : homePagePatterns()) {
        if (wildcardMatch(pattern, link))
            return 1;
    }
    return 0;
}

bool wildcardMatch(QStringView pattern, QStringView text)
{
    // Greedy scan that backtracks only to the last "*": linear for one star,
    // at worst pattern length times text length.
    qsizetype p = 0;
    qsizetype t = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starAt = p++;
            resumeAt = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starAt >= 0) {
            p = starAt + 1;
            t = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

QString asHttpSite(const QString &site)
{
    if (site.startsWith(kHttpsPrefix, Qt::CaseInsensitive))
        return kSchemePrefix + site.mid(kHttpsPrefix.size());
    return site;
}

} // namespace friendlinks
