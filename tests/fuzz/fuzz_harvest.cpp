// The harvest, classic and modern, on an arbitrary page and site (split at the first NUL byte).
#include "check/Harvest.h"
#include "probes/ModernLinkRules.h"
#include "probes/PageAnchors.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, site] = fuzz::splitAtNul(data, size);
    for (const LinkMode mode : {LinkMode::Classic, LinkMode::Modern}) {
        const Harvest found = harvest(page, site, mode);
        for (const HarvestedLink &link : found.links) {
            const qsizetype maxName = mode == LinkMode::Classic ? kMaxNameLength : 2 * kMaxModernTextLength + 1;
            if (link.lianjie.isEmpty() || link.lianjie.size() > (mode == LinkMode::Classic ? kMaxLinkLength : kMaxModernLinkLength) || link.guanjianzi.size() > maxName)
                std::abort();
        }
        if (found.ourLinks.size() != found.links.size())
            std::abort();
        if (mode == LinkMode::Modern && found.skipped[SkipReason::Https] != 0)
            std::abort();
    }
    return 0;
}
