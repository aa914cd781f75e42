#include "check/HostLimiter.h"

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

TEST(HostLimiter, GrantsUpToTheLimitPerHostThenInArrivalOrder)
{
    HostLimiter limiter(2);
    QStringList granted;
    for (const char *name : {"a1", "a2", "a3", "a4"})
        limiter.acquire("a.com", [&granted, name] { granted << name; });
    limiter.acquire("b.com", [&granted] { granted << "b1"; });
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1"}));
    EXPECT_EQ(limiter.inUse("a.com"), 2);

    limiter.release("a.com");
    EXPECT_EQ(granted.last(), "a3");
    EXPECT_EQ(limiter.inUse("a.com"), 2);
    limiter.release("a.com");
    limiter.release("a.com");
    limiter.release("a.com");
    EXPECT_EQ(granted, (QStringList{"a1", "a2", "b1", "a3", "a4"}));
    EXPECT_EQ(limiter.inUse("a.com"), 0);
}

TEST(HostLimiter, ClearDropsWaitersAndALimitBelowOneMeansOne)
{
    HostLimiter limiter(0);
    int runs = 0;
    limiter.acquire("a.com", [&runs] { ++runs; });
    limiter.acquire("a.com", [&runs] { ++runs; });
    EXPECT_EQ(runs, 1);
    limiter.clear();
    limiter.release("a.com");
    EXPECT_EQ(runs, 1);
    limiter.acquire("a.com", [&runs] { ++runs; });
    EXPECT_EQ(runs, 2);
}

} // namespace
} // namespace friendlinks
