#include "check/SkippedLinks.h"

namespace friendlinks {
namespace {

struct ReasonInfo {
    SkipReason reason;
    const char *key;
    const char *label; // for the classic reasons only
};

constexpr ReasonInfo kReasons[] = {
    {SkipReason::InnerPage, "inner_page", nullptr},
    {SkipReason::SameSite, "same_site", nullptr},
    {SkipReason::NotHttp, "not_http", nullptr},
    {SkipReason::Https, "https", "https"},
    {SkipReason::NameEnding, "name_ending", "域名后缀"},
    {SkipReason::HostPrefix, "host_prefix", "无 www 前缀"},
    {SkipReason::IndexPage, "index_page", "首页文件名"},
    {SkipReason::TooLong, "too_long", "超过 50 字符"},
    {SkipReason::ContainsSiteName, "contains_site_name", "含本站名"},
    {SkipReason::FooterWord, "footer_word", nullptr},
    {SkipReason::Duplicate, "duplicate", nullptr},
};
static_assert(std::size(kReasons) == kSkipReasonCount);

} // namespace

int SkippedLinks::modernWouldList() const
{
    int count = 0;
    for (const ReasonInfo &info : kReasons)
        count += info.label ? (*this)[info.reason] : 0;
    return count;
}

QString skipReasonKey(SkipReason reason)
{
    return QString::fromLatin1(kReasons[size_t(reason)].key);
}

QString classicSkipSummary(const SkippedLinks &skipped)
{
    QStringList parts;
    for (const ReasonInfo &info : kReasons) {
        if (info.label && skipped[info.reason] > 0)
            parts << QStringLiteral("%1 %2").arg(QString::fromUtf8(info.label)).arg(skipped[info.reason]);
    }
    return parts.join(QStringLiteral("，"));
}

} // namespace friendlinks
