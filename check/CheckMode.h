#pragma once

#include "check/Harvest.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"

#include <QString>

#include <optional>

namespace friendlinks {

inline const QString kClassicModeName = QStringLiteral("classic");
inline const QString kModernModeName = QStringLiteral("modern");
inline const QString kModernModeCaption = QStringLiteral("现代模式");

// Said once at the end of a classic check that passed over https friend links
// a modern check lists: on the command line, and in the window.
[[nodiscard]] QString unlistedHttpsHint(int count);
[[nodiscard]] QString unlistedHttpsWindowHint(int count);
// Said once when a Baidu answer came with a certificate the check cannot trust.
[[nodiscard]] QString baiduTlsNote(const QString &tlsError, bool insecure);

// The rules that differ between the classic check and the modern one, chosen
// once per check. Classic: "http://" friend links, a back link is an anchor
// holding the site's text, the Baidu page of old. Modern: https friend links
// too, a back link is an anchor whose href names the site's host in either
// scheme, and today's Baidu page when the old one is not found.
class CheckMode {
public:
    CheckMode(bool modern, const QString &site);

    [[nodiscard]] bool modern() const { return m_modern; }
    [[nodiscard]] QString name() const { return m_modern ? kModernModeName : kClassicModeName; }
    [[nodiscard]] LinkMode linkMode() const { return m_modern ? LinkMode::Modern : LinkMode::Classic; }

    [[nodiscard]] BackLinkScan scanBackLinks(const QString &page) const;
    [[nodiscard]] QString baiduQuery(const QString &baiduHost, const QString &link) const;
    [[nodiscard]] std::optional<BaiduResult> parseBaidu(const QString &page, const QString &link) const;

private:
    bool m_modern = false;
    QString m_needle;   // classic: the site's text the back link must hold
    QString m_siteHost; // modern: the host the back link's href must name
};

} // namespace friendlinks
