#pragma once

#include "web/PageFetcher.h"

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace friendlinks {

inline constexpr int kWaitMs = 10000; // a bound on every wait, far above any answer in the tests

// Runs the event loop until done() holds or ms pass. Unlike QTest::qWaitFor it
// never sleeps, so the in-process server is served as fast as the client reads.
inline bool waitUntil(const std::function<bool()> &done, int ms = kWaitMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// Keeps the one result of a request; wait() runs the event loop until it came.
struct Pending {
    QPointer<FetchRequest> request;
    std::shared_ptr<std::optional<FetchResult>> result = std::make_shared<std::optional<FetchResult>>();

    explicit Pending(FetchRequest *r) : request(r)
    {
        auto got = result;
        QObject::connect(r, &FetchRequest::finished, [got](const FetchResult &res) {
            EXPECT_FALSE(got->has_value()) << "finished() came twice";
            *got = res;
        });
    }
    [[nodiscard]] bool wait(int ms = kWaitMs) const
    {
        return waitUntil([this] { return result->has_value(); }, ms);
    }
};

} // namespace friendlinks
