// The harvest, classic and modern, on an arbitrary page and site (split at the first NUL byte).
#include "check/Harvest.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, site] = fuzz::splitAtNul(data, size);
    for (const LinkMode mode : {LinkMode::Classic, LinkMode::Modern}) {
        const Harvest found = harvest(page, site, mode);
        for (const HarvestedLink &link : found.links) {
            if (link.lianjie.isEmpty() || link.lianjie.size() > kMaxLinkLength || link.guanjianzi.size() > kMaxNameLength)
                std::abort();
        }
        if (found.unlistedHttps < 0 || (mode == LinkMode::Modern && found.unlistedHttps != 0))
            std::abort();
    }
    return 0;
}
