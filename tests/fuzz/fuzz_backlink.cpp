// backLinkReport on an arbitrary page and needle (split at the first NUL byte).
#include "probes/BackLinkProbe.h"
#include "tests/fuzz/FuzzInput.h"
#include "web/PatternMatcher.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [page, needle] = fuzz::splitAtNul(data, size);
    const QString report = backLinkReport(page, needle);
    if (!report.startsWith(QStringLiteral("0\r\n")) && !report.startsWith(QStringLiteral("1\r\n")))
        std::abort();
    return 0;
}
