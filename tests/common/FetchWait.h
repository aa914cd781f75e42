#pragma once

#include "tools/fakeweb/FakeWeb.h"
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

inline constexpr int kWaitMs = 20000; // a bound on every wait, far above any answer or check in the tests (sanitized builds are slow)

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

// A fakeweb answer in one expression: answer(302, "", {}, {{"Location", "http://b/"}}).
inline fakeweb::Answer answer(int status, QByteArray body, fakeweb::Answer::Fault fault = {},
                              QList<QPair<QByteArray, QByteArray>> headers = {}, int delayMs = 0)
{
    return {status, std::move(body), delayMs, fault, std::move(headers)};
}

// Baidu's classic result page as the worlds serve it: COUNT ("约5") pages, ADDRESS's snapshot 3K 2026-1-2.
inline QByteArray baiduResultPage(const QString &count, const QString &address)
{
    return QStringLiteral("百度一下，找到相关网页%1篇，用时0.1秒<font color=#008000>%2 3K 2026-1-2</font>").arg(count, address).toUtf8();
}

// Baidu's answer once it has had enough: a redirect to its security check.
inline fakeweb::Answer captchaRedirect()
{
    return answer(302, {}, {}, {{"Location", "http://wappass.baidu.com/static/captcha/tuxing.html?ak=x&backurl=y"}});
}

// An in-process fakeweb, and a fetcher that goes through its proxy.
class FetchFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_web.listen());
        m_fetcher.setProxy(m_web.proxy());
    }

    // One fetch waited out; an empty text when it never ended (which fails every test here).
    FetchResult fetch(const QString &url, const QString &site = QStringLiteral("www.checked.test"),
                      PageFetcher *fetcher = nullptr, const FetchOptions &options = {})
    {
        Pending pending((fetcher ? fetcher : &m_fetcher)->GetHtmlCode(url, site, options));
        EXPECT_TRUE(pending.wait()) << url.toStdString();
        return pending.result->value_or(FetchResult{});
    }

    fakeweb::FakeWeb m_web;
    PageFetcher m_fetcher;
};

} // namespace friendlinks
