#include <gtest/gtest.h>

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <memory>
#include <vector>

#include "fakes/FakeClock.h"
#include "platform/NotificationCenter.h"
#include "platform/Threading.h"
#include "support/TestSupport.h"

TEST(SerialQueue, RunsJobsInOrderOneAtATime) {
    SerialQueue q("test.serial");
    std::vector<int> order;
    std::atomic<int> running{0}, maxRunning{0};
    for (int i = 0; i < 50; ++i)
        q.async([&, i] {
            int r = ++running;
            maxRunning = std::max(maxRunning.load(), r);
            order.push_back(i);
            --running;
        });
    q.drain();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(maxRunning.load(), 1);
}

TEST(RunOnMain, DeliversFromWorkersAfterTheCallerReturnsAndSkipsDeadContexts) {
    std::atomic<int> hits{0};
    auto* context = new QObject();
    bool ranInline = false;
    runOnMain([&] { ranInline = true; });
    EXPECT_FALSE(ranInline);
    runAsync([&, context] {
        runOnMain(context, [&] { ++hits; });
    });
    ASSERT_TRUE(testsupport::waitUntil([&] { return hits == 1; }));
    auto* gone = new QObject();
    runOnMain(gone, [&] { hits += 100; });
    delete gone;
    testsupport::processEvents(20);
    EXPECT_TRUE(ranInline);
    EXPECT_EQ(hits.load(), 1);
    delete context;
}

// A task held on the pool until the test lets it go.
struct Gate {
    std::mutex mutex;
    std::condition_variable cv;
    bool open = false;
    void wait() {
        std::unique_lock lock(mutex);
        cv.wait(lock, [this] { return open; });
    }
    void release() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        cv.notify_all();
    }
};

TEST(RunAsyncWithContext, WorkRunsOnThePoolAndItsResultComesBackOnTheMainThread) {
    QObject context;
    std::atomic<bool> workOnMain{true};
    std::optional<QString> got;
    bool doneOnMain = false;
    runAsync(
        &context,
        [&] {
            workOnMain = isMainThread();
            return QStringLiteral("result");
        },
        [&](QString result) {
            got = result;
            doneOnMain = isMainThread();
        });
    ASSERT_TRUE(testsupport::waitUntil([&] { return got.has_value(); }));
    EXPECT_EQ(*got, "result");
    EXPECT_FALSE(workOnMain.load());
    EXPECT_TRUE(doneOnMain);

    // Work without a result: onDone takes no argument.
    bool plainDone = false;
    runAsync(&context, [] {}, [&] { plainDone = isMainThread(); });
    EXPECT_TRUE(testsupport::waitUntil([&] { return plainDone; }));
}

TEST(RunAsyncWithContext, ResultIsDroppedWhenTheContextIsDestroyedFirst) {
    auto gate = std::make_shared<Gate>();
    auto* context = new QObject();
    std::atomic<bool> workRan{false};
    bool delivered = false;
    runAsync(
        context,
        [gate, &workRan] {
            gate->wait();
            workRan = true;
            return 7;
        },
        [&](int) { delivered = true; });
    delete context;
    gate->release();
    ASSERT_TRUE(waitForAsyncWork(20000));
    testsupport::processEvents(20);
    EXPECT_TRUE(workRan.load());
    EXPECT_FALSE(delivered);

    // No context at all: nothing to deliver to.
    bool nullDelivered = false;
    runAsync(nullptr, [] { return 1; }, [&](int) { nullDelivered = true; });
    ASSERT_TRUE(waitForAsyncWork(20000));
    testsupport::processEvents(20);
    EXPECT_FALSE(nullDelivered);
}

TEST(RunAsyncWithContext, WaitForAsyncWorkSeesARunningTask) {
    auto gate = std::make_shared<Gate>();
    QObject context;
    bool delivered = false;
    runAsync(&context, [gate] { gate->wait(); }, [&] { delivered = true; });
    EXPECT_FALSE(waitForAsyncWork(50));
    gate->release();
    EXPECT_TRUE(waitForAsyncWork(20000));
    EXPECT_TRUE(testsupport::waitUntil([&] { return delivered; }));
}

TEST(RunAsyncWithContext, AThrowingOrEmptyTaskLeavesThePoolWorking) {
    QObject context;
    bool failedDelivered = false;
    runAsync(
        &context, []() -> int { throw std::runtime_error("disk on fire"); },
        [&](int) { failedDelivered = true; });
    runAsync(std::function<void()>());
    runAsync(&context, std::function<void()>(), [&] { failedDelivered = true; });
    runOnMain(&context, std::function<void()>());
    runOnMain(std::function<void()>());
    ASSERT_TRUE(waitForAsyncWork(20000));

    int after = 0;
    runAsync(&context, [] { return 42; }, [&](int v) { after = v; });
    ASSERT_TRUE(testsupport::waitUntil([&] { return after == 42; }));
    EXPECT_FALSE(failedDelivered);
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Async] A background task failed: disk on fire"));
}

TEST(AssertMainThread, PassesOnTheMainThreadAndStopsTheProcessOffIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    assertMainThread("HistoryService::saveTranscription");
    EXPECT_DEATH(std::thread([] { assertMainThread("HistoryService::saveTranscription"); }).join(),
                 "HistoryService::saveTranscription called off the main thread");
}

TEST(NotificationCenter, PostFromWorkerArrivesOnMainThread) {
    QString got;
    bool onMain = false;
    QObject receiver;
    QObject::connect(&NotificationCenter::shared(), &NotificationCenter::ormilNavigateToSection,
                     &receiver, [&](const QString& s) {
                         got = s;
                         onMain = isMainThread();
                     });
    runAsync([] { NotificationCenter::shared().postNavigateToSection("History"); });
    ASSERT_TRUE(testsupport::waitUntil([&] { return !got.isEmpty(); }));
    EXPECT_EQ(got, "History");
    EXPECT_TRUE(onMain);
}

TEST(FakeClock, FiresDueTimersInOrderAndHonoursCancel) {
    FakeClock clock;
    QObject ctx;
    std::vector<QString> fired;
    clock.schedule(1.5, &ctx, [&] { fired.push_back("a@1.5"); });
    auto b = clock.schedule(1.0, &ctx, [&] { fired.push_back("b@1.0"); });
    auto meter = clock.repeat(0.05, &ctx, [&] { fired.push_back("tick"); });
    clock.advance(0.1);
    EXPECT_EQ(fired, (std::vector<QString>{"tick", "tick"}));
    meter->cancel();
    b->cancel();
    const double t0 = clock.now();
    clock.advance(2.0);
    EXPECT_EQ(fired.back(), "a@1.5");
    EXPECT_EQ(fired.size(), 3u);
    EXPECT_DOUBLE_EQ(clock.now(), t0 + 2.0);
    EXPECT_EQ(clock.pendingTimers(), 0);

    {
        QObject shortLived;
        clock.schedule(1.0, &shortLived, [&] { fired.push_back("dead"); });
    }
    clock.advance(2.0);
    EXPECT_EQ(fired.size(), 3u);
}
