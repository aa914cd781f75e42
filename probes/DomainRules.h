#pragma once

#include <QString>
#include <QStringView>

namespace friendlinks {

// The four word lists, stored as one comma-separated text each and split on use.
// Entries are never trimmed: the trailing blanks of some belong to them.
inline const QString kRemovalPrefixes = QStringLiteral("http://bbs.,http://www.,http://blog.");
inline const QString kRemovalEndings = QStringLiteral(
    ".org,.ac,.la,.gov,.org.ac,.gov ,.edu ,.mil ,.biz ,.info,.tv,.cc,.cn,.gov.cn,.edu.cn,.mil.cn,"
    ".io,.com.cn,tv,.com,.com.cn,.net,.index.php,.index.html");
inline const QString kPatternPrefixes = QStringLiteral("http://bbs.*,http://www.*,http://blog.*");
inline const QString kPatternEndings = QStringLiteral(
    ".org,.ac,.gov,.org.ac,.gov ,.edu ,.mil ,.biz ,.info,.tv,.cc,.cn,.gov.cn,.edu.cn,.mil.cn,"
    ".io,.com.cn,tv,.com,.com.cn,.net");

// 1 when link leads away from the checked site, 0 when it contains the site's
// reduced name (host prefixes and name endings removed, case-sensitively).
[[nodiscard]] int IsOutboundLink(QString link, QString site);

// 1 when link is the root, "bbs/" or "windows7/" directory of a host that
// starts with bbs., www. or blog. and ends in one of the pattern endings.
[[nodiscard]] int IsHomePageLink(QString link);

// Whole-text wildcard match: "*" stands for any run of characters, "/" included;
// every other pattern character stands for itself (case-sensitive).
[[nodiscard]] bool wildcardMatch(QStringView pattern, QStringView text);

// A site typed with "https://" (any case) stands for the same site as its
// "http://" form when links and back-links are judged; other text is returned as is.
[[nodiscard]] QString asHttpSite(const QString &site);

} // namespace friendlinks
