#pragma once

#include <QString>

#include <optional>

namespace friendlinks {

inline const QString kDefaultBaiduHost = QStringLiteral("www.baidu.com");
inline const QString kHomePageFirst = QStringLiteral("首页第一");
inline const QString kNotFirst = QStringLiteral("注意：不在第一");
// The snapshot line of a result, and the address at its start.
inline const QString kSnapshotLinePattern = QStringLiteral(
    R"(<font color=.*?>([\w-]+\.)+[\w-]+(/[\w- ./?%&=]*)?.*?\d{4}[年|\-|\.]\d{1,2}[月|\-|\.]\d{1,2}日?.*?</font>)");
inline const QString kSiteAddressPattern = QStringLiteral(R"(([\w-]+\.)+[\w-]+(/[\w- ./?%&=]*)?)");

// The three facts read from one Baidu "site:" result page.
struct BaiduResult {
    QString count;    // index count, ends in "篇"
    QString snapshot; // the snapshot line's text after the first address (size, date, ...)
    QString verdict;  // kHomePageFirst or kNotFirst
    bool operator==(const BaiduResult &) const = default;
};

// The site with every "http://" removed (case-sensitive).
[[nodiscard]] QString bareSite(const QString &site);

// "http://" + host + "/s?wd=site:" + bareSite(site), not escaped.
[[nodiscard]] QString baiduQueryUrl(const QString &host, const QString &site);

// Parses a result page; empty when the page lacks the count phrase, has nothing
// after it, or has no snapshot line with a blank in its address text.
[[nodiscard]] std::optional<BaiduResult> parseBaiduPage(const QString &page, const QString &site);

} // namespace friendlinks
