// The robots.txt reader on an arbitrary file and path (split at the first NUL byte), for two crawlers.
#include "probes/RobotsRules.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace friendlinks;
    const auto [robots, path] = fuzz::splitAtNul(data, size);
    for (const QStringView crawler : {kBaiduSpiderToken, QStringView(u"*")}) {
        const RobotsVerdict verdict = robotsVerdict(robots, crawler, path);
        // The deciding rule says what was decided, and its pattern comes from the file.
        const QString prefix = verdict.allowed ? QStringLiteral("Allow: ") : QStringLiteral("Disallow: ");
        if (!verdict.allowed && verdict.rule.isEmpty())
            std::abort();
        if (!verdict.rule.isEmpty()
            && (!verdict.rule.startsWith(prefix) || !robots.contains(verdict.rule.sliced(prefix.size()))))
            std::abort();
    }
    // One spelling: ASCII, no blanks or controls.
    for (const QChar c : normalisedRobotsPath(path))
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            std::abort();
    if (robotsAnswer(503, robots, kBaiduSpiderToken, path).allowed.has_value())
        std::abort();
    return 0;
}
