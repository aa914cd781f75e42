// harvestLinks on an arbitrary page and site (split at the first NUL byte).
#include "check/Harvest.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, site] = fuzz::splitAtNul(data, size);
    for (const HarvestedLink &link : harvestLinks(page, site)) {
        if (link.lianjie.isEmpty() || link.guanjianzi.size() > kMaxNameLength)
            std::abort();
    }
    return 0;
}
