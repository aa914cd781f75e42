// IsOutboundLink and IsHomePageLink on an arbitrary link and site (split at
// the first NUL byte); both answer 0 or 1.
#include "probes/DomainRules.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [link, site] = fuzz::splitAtNul(data, size);
    const int outbound = IsOutboundLink(link, site);
    const int home = IsHomePageLink(link);
    if ((outbound != 0 && outbound != 1) || (home != 0 && home != 1))
        std::abort();
    (void)wildcardMatch(site, link);
    return 0;
}
