// The page stream of modern mode (anchors with their chains, <style> and
// <script> bodies, the files a page loads) and the script-link reader, on an
// arbitrary page and site (split at the first NUL byte).
#include "probes/ModernBackLink.h"
#include "probes/PageScan.h"
#include "probes/ScriptLinks.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

namespace {

const QString kPage = QStringLiteral("https://www.friend.com/dir/page.html");

// Every link ends its own chain, no chain is longer than the tree keeps.
class ChainCheck final : public friendlinks::PageVisitor {
public:
    void anchor(friendlinks::PageAnchor &&anchor, const QList<friendlinks::StyledElement> &chain) override
    {
        if (chain.isEmpty() || chain.last().tag != QLatin1String("a") || chain.size() > 513)
            std::abort();
        if (!anchor.address.isEmpty() && !anchor.address.startsWith(QLatin1String("http")))
            std::abort();
        ++links;
    }
    void rawText(const QString &element, QStringView body) override
    {
        if ((element != QLatin1String("style") && element != QLatin1String("script")) || body.isEmpty())
            std::abort();
    }
    qsizetype links = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, site] = fuzz::splitAtNul(data, size);
    const QString host = comparableSiteHost(site.isEmpty() ? QStringLiteral("www.mysite.com") : site);
    ChainCheck check;
    readPage(page, kPage, check);
    const ModernBackLinkScan scan = scanModernBackLinks(page, kPage, host, false);
    // Without a host to lead back to (a site part that names none) the scan reads nothing.
    const qsizetype links = host.isEmpty() ? 0 : check.links;
    if (scan.links != links || scan.backLinks > scan.links || scan.candidates.size() > kMaxBackLinkCandidates
        || scan.resources.scripts.size() > kMaxPageScripts || scan.resources.frames.size() > kMaxPageFrames)
        std::abort();
    if (scan.passes && (!scan.anchor || scan.hiddenBy || scan.anchor->hidden || !scan.anchor->follow))
        std::abort();
    // The whole input as a script: an address found is one of the site's.
    const QString found = scriptLinkTo(page, kPage, host);
    if (!found.isEmpty() && !found.startsWith(QLatin1String("http")))
        std::abort();
    (void)withScriptEscapesRead(page);
    return 0;
}
