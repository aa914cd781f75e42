// parseBaiduPage on an arbitrary page and site (split at the first NUL byte).
#include "probes/BaiduProbe.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, site] = fuzz::splitAtNul(data, size);
    const std::optional<BaiduResult> result = parseBaiduPage(page, site);
    if (result && result->verdict != kHomePageFirst && result->verdict != kNotFirst)
        std::abort();
    (void)baiduQueryUrl(kDefaultBaiduHost, site);
    return 0;
}
