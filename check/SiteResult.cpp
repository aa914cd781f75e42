#include "check/SiteResult.h"

#include "check/CheckSettings.h"

namespace friendlinks {

CheckedWith checkedWith(const CheckSettings &settings)
{
    CheckedWith with;
    with.timeoutMs = settings.timeoutMs;
    with.insecure = settings.insecure;
    switch (settings.proxy.type()) {
    case QNetworkProxy::NoProxy: with.proxy = CheckedWith::Proxy::None; break;
    case QNetworkProxy::DefaultProxy: with.proxy = CheckedWith::Proxy::System; break;
    default: with.proxy = CheckedWith::Proxy::Given; break;
    }
    with.extraAuthorities = !settings.authorities.isEmpty() || !settings.authorityPem.isEmpty();
    with.baiduHost = settings.baiduHost;
    with.baiduIntervalMs = settings.baiduIntervalMs;
    with.jobs = settings.jobs;
    return with;
}

} // namespace friendlinks
