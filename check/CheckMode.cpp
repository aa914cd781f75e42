#include "check/CheckMode.h"

#include "check/CheckRules.h"
#include "probes/ModernBackLink.h"
#include "probes/ModernBaidu.h"

namespace friendlinks {

QString unlistedHttpsHint(int count)
{
    return QStringLiteral("另有 %1 个 https 友链未列出，加 --modern 一并检查").arg(count);
}

QString unlistedHttpsWindowHint(int count)
{
    return QStringLiteral("另有 %1 个 https 友链未列出，在列表右键菜单勾选“%2”一并检查").arg(count).arg(kModernModeCaption);
}

QString baiduTlsNote(const QString &tlsError, bool insecure)
{
    return insecure ? QStringLiteral("注意：百度的证书不可信：%1，已照样读取").arg(tlsError)
                    : QStringLiteral("百度的证书不可信：%1，百度各列留空").arg(tlsError);
}

CheckMode::CheckMode(bool modern, const QString &site)
    : m_modern(modern)
    , m_needle(normalisedSiteText(site))
    , m_siteHost(modern ? comparableSiteHost(site) : QString())
{
}

BackLinkScan CheckMode::scanBackLinks(const QString &page) const
{
    return m_modern ? scanModernBackLinks(page, m_siteHost) : friendlinks::scanBackLinks(page, m_needle);
}

QString CheckMode::baiduQuery(const QString &baiduHost, const QString &link) const
{
    return m_modern ? modernBaiduQueryUrl(baiduHost, link) : baiduQueryUrl(baiduHost, link);
}

std::optional<BaiduResult> CheckMode::parseBaidu(const QString &page, const QString &link) const
{
    return m_modern ? parseModernBaiduPage(page, link) : parseBaiduPage(page, link);
}

} // namespace friendlinks
