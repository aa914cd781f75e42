// TestRegExp with each fixed pattern of the system over arbitrary text: it
// never throws (the patterns compile) and always ends its list properly.
#include "check/Harvest.h"
#include "probes/BackLinkProbe.h"
#include "probes/BaiduProbe.h"
#include "tests/fuzz/FuzzInput.h"
#include "web/PatternMatcher.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const QString text = fuzz::asText(data, size);
    for (const QString *pattern : {&kAddressPattern, &kAnchorPattern, &kAnchorTextPattern,
                                   &kSnapshotLinePattern, &kSiteAddressPattern}) {
        const QString result = TestRegExp(*pattern, text);
        if (result != kMatchFailed && !result.endsWith(kLineBreak))
            std::abort();
    }
    return 0;
}
