// Jump-link recognition on an arbitrary anchor address and site (split at the first NUL byte);
// the friend's host is the anchor's own, so that the query is read.
#include "probes/JumpAnchors.h"
#include "probes/JumpLink.h"
#include "probes/PageAnchors.h"
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
    // The first half read as a page of the anchor's host: at most the bound of anchors to ask.
    const JumpScan scan = scanJumpAnchors(readPageAnchors(anchor, QStringLiteral("http://www.friend.com/")),
                                          QStringLiteral("http://www.friend.com/"), siteUrl);
    if (scan.toAsk.size() > kMaxJumpRequests || (scan.byQuery && !scan.toAsk.isEmpty()))
        std::abort();
    (void)redirectToSite(302, anchor, siteUrl);
    return 0;
}
