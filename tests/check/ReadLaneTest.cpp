#include "check/ReadLane.h"

#include "tests/common/FetchWait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <atomic>

namespace friendlinks {
namespace {

TEST(ReadLane, ReadsOffThisThreadAndHandsResultsOnHereInOrder)
{
    ReadLane lane;
    const int owner = 0;
    QList<int> results;
    std::atomic<bool> elsewhere = true;
    QThread *const here = QThread::currentThread();
    for (int i = 0; i < 3; ++i)
        lane.read<int>(&owner, [i, here, &elsewhere] {
            elsewhere = elsewhere && QThread::currentThread() != here;
            return i * 10;
        }, [&results, here](int &&value) {
            EXPECT_EQ(QThread::currentThread(), here);
            results << value;
        });
    EXPECT_TRUE(results.isEmpty()) << "never from inside read()";
    ASSERT_TRUE(waitUntil([&results] { return results.size() == 3; }));
    EXPECT_EQ(results, (QList<int>{0, 10, 20}));
#ifndef Q_OS_WIN // where the reads stay on the owner's thread, for now
    EXPECT_TRUE(elsewhere);
#endif
}

TEST(ReadLane, AForgottenOwnerGetsNothingAndItsWaitingReadsNeverRun)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the reads stay on the owner's thread on Windows: none waits behind another";
#endif
    ReadLane lane;
    const int gone = 0, stays = 0;
    std::atomic<int> worked = 0;
    QSemaphore started, gate;
    bool goneGot = false, staysGot = false;
    // The first read holds the lane, so the next of the forgotten owner waits behind it.
    lane.read<int>(&gone, [&started, &gate, &worked] {
        started.release();
        gate.acquire();
        return ++worked;
    }, [&goneGot](int &&) { goneGot = true; });
    lane.read<int>(&gone, [&worked] { return ++worked; }, [&goneGot](int &&) { goneGot = true; });
    lane.read<int>(&stays, [] { return 1; }, [&staysGot](int &&) { staysGot = true; });
    started.acquire(); // the first is under way
    lane.forget(&gone);
    gate.release();
    ASSERT_TRUE(waitUntil([&staysGot] { return staysGot; }));
    EXPECT_FALSE(goneGot);
    EXPECT_EQ(worked, 1) << "the read under way ends; the waiting one is skipped";
}

TEST(ReadLane, APageIsReadFromACopyWhileItsBudgetShareStaysWithTheOwner)
{
    ReadLane lane;
    const int owner = 0;
    FetchResult page;
    page.text = QStringLiteral("<a href=\"http://www.me.test/\">me</a>");
    std::weak_ptr<const void> share;
    {
        auto hold = std::make_shared<int>(1);
        share = hold;
        page.bodyHold = std::move(hold);
    }
    bool sawHold = true;
    qsizetype read = 0;
    lane.readPage<qsizetype>(&owner, page, [&sawHold](const FetchResult &copy) {
        sawHold = bool(copy.bodyHold);
        return copy.text.size();
    }, [&read](qsizetype &&size) { read = size; });
    page = FetchResult();
    EXPECT_FALSE(share.expired()) << "kept for the owner while the read waits";
    ASSERT_TRUE(waitUntil([&read] { return read > 0; }));
    EXPECT_FALSE(sawHold) << "the lane's copy holds no share: it is given back on the owner's thread";
    EXPECT_TRUE(waitUntil([&share] { return share.expired(); })) << "given back once the result is handed on";
}

TEST(ReadLane, GoingAwayWithReadsUnderWayHandsNothingOn)
{
    bool got = false;
    {
        ReadLane lane;
        const int owner = 0;
        lane.read<int>(&owner, [] { QThread::msleep(20); return 1; }, [&got](int &&) { got = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(got);
}

} // namespace
} // namespace friendlinks
