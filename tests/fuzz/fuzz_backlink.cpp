// The back-link scan of classic mode and the page reading of modern mode, on
// an arbitrary page and needle (split at the first NUL byte).
#include "probes/BackLinkProbe.h"
#include "probes/ModernBackLink.h"
#include "tests/fuzz/FuzzInput.h"
#include "web/PatternMatcher.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, needle] = fuzz::splitAtNul(data, size);
    // A found text anchor shows at most 8 characters (a surrogate pair is one); none found shows nothing.
    const BackLinkResult classic = scanBackLinks(page, needle);
    if (classic.text.size() > 16
        || (!classic.found && (classic.image || !classic.text.isEmpty() || !classic.anchor.isEmpty())))
        std::abort();

    // Every anchor is a tag, its address http(s) or nothing, its text trimmed.
    const QList<PageAnchor> anchors = readPageAnchors(page, needle);
    if (anchors.size() > page.count(QLatin1Char('<')))
        std::abort();
    for (const PageAnchor &anchor : anchors) {
        if (!anchor.address.isEmpty() && !anchor.address.startsWith(QStringLiteral("http")))
            std::abort();
        if (anchor.text != anchor.text.simplified() || keptText(anchor.text).size() > 2 * kMaxModernTextLength + 1)
            std::abort();
    }
    const ModernBackLinkScan scan = scanModernBackLinks(page, needle, comparableSiteHost(needle), false);
    if (scan.passes && (!scan.anchor || scan.anchor->hidden || !scan.anchor->follow))
        std::abort();
    return 0;
}
