// The Baidu parse, classic and modern, on an arbitrary page and site (split at the first NUL byte).
#include "probes/BaiduProbe.h"
#include "probes/ModernBaidu.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, site] = fuzz::splitAtNul(data, size);
    const std::optional<BaiduResult> result = parseBaiduPage(page, site);
    if (result && result->verdict != kHomePageFirst && result->verdict != kNotFirst)
        std::abort();
    const std::optional<BaiduResult> modern = parseModernBaiduPage(page, site);
    if (modern && modern->verdict != kHomePageFirst && modern->verdict != kNotFirst && !modern->verdict.isEmpty())
        std::abort();
    (void)baiduQueryUrl(kDefaultBaiduHost, site);
    (void)modernBaiduQueryUrl(kDefaultBaiduHost, site);
    return 0;
}
