// The tag reader and the link facts on an arbitrary page and address (split at the first NUL byte).
#include "probes/BaiduState.h"
#include "probes/HtmlTags.h"
#include "probes/LinkFacts.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, address] = fuzz::splitAtNul(data, size);
    const PageLinkFacts facts = pageLinkFacts(page, {{"X-Robots-Tag", address.toUtf8()}}, {address});
    // Every outbound anchor is a tag, and every tag starts with "<".
    if (facts.outbound < 0 || facts.outbound > page.count(QLatin1Char('<')))
        std::abort();
    const BackLinkFacts backlink = backLinkFacts(page);
    if (backlink.follow && backlink.rel.contains(QStringLiteral("nofollow")))
        std::abort();
    (void)decodeCharacterReferences(page);
    (void)siteHost(address);
    if (const std::optional<QString> count = baiduIndexCount(page); count && count->isEmpty())
        std::abort();
    return 0;
}
