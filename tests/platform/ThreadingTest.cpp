#include <gtest/gtest.h>

#include <QObject>
#include <atomic>
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
