// Jump-link recognition on an arbitrary anchor address and site (split at the first NUL byte);
// the friend's host is the anchor's own, so that the query is read.
#include "probes/JumpLink.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [anchor, site] = fuzz::splitAtNul(data, size);
    const QUrl anchorUrl(anchor);
    const QUrl siteUrl(site);
    if (const std::optional<JumpLink> jump = jumpLink(anchorUrl, anchorUrl.host(), siteUrl)) {
        if (jump->target.isEmpty())
            std::abort();
    }
    (void)anchorNamesSite(anchor, site, siteUrl, {site});
    return 0;
}
