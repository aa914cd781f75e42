// The back-link report, classic and modern, on an arbitrary page and needle (split at the first NUL byte).
#include "probes/BackLinkProbe.h"
#include "probes/ModernBackLink.h"
#include "tests/fuzz/FuzzInput.h"
#include "web/PatternMatcher.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, needle] = fuzz::splitAtNul(data, size);
    for (const QString &report :
         {backLinkReport(page, needle), scanModernBackLinks(page, comparableSiteHost(needle)).report}) {
        if (!report.startsWith(QStringLiteral("0\r\n")) && !report.startsWith(QStringLiteral("1\r\n")))
            std::abort();
    }
    return 0;
}
