#include "runtime/thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "runtime/clock.h"
#include "runtime/process.h"

using namespace rt;

TEST(Threads, WaitHandsOverTheEntryResult) {
    auto thread = TThread::Create(
        [](TObjectPtr data) -> TObjectPtr {
            auto text = std::static_pointer_cast<TTextObject>(data);
            return std::make_shared<TTextObject>(text->text + " done");
        },
        std::make_shared<TTextObject>("work"));
    while (thread->Running()) SleepMs(1);
    auto result = std::static_pointer_cast<TTextObject>(thread->Wait());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->text, "work done");
    EXPECT_EQ(thread->Wait(), result);
}

TEST(Threads, AnAbandonedThreadKeepsItsDataAndFinishesOnItsOwn) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto dataKept = std::make_shared<std::atomic<bool>>(false);
    {
        auto thread = TThread::Create(
            [release, finished, dataKept](TObjectPtr data) -> TObjectPtr {
                while (!release->load()) SleepMs(1);
                dataKept->store(std::static_pointer_cast<TTextObject>(data)->text == "kept");
                finished->store(true);
                return nullptr;
            },
            std::make_shared<TTextObject>("kept"));
        EXPECT_TRUE(thread->Running());
    }  // handle released while running
    release->store(true);
    // No deadline of our own: a thread that never finishes is the test's time limit's to catch.
    while (!finished->load()) SleepMs(1);
    EXPECT_TRUE(dataKept->load());
}

TEST(Threads, ANewWorkerNeverWaitsBehindABusyOneAndWaitBlocksUntilTheResult) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto busy = TThread::Create(
        [release](TObjectPtr) -> TObjectPtr {
            while (!release->load()) SleepMs(1);
            return nullptr;
        },
        nullptr);
    // Many short workers in a row, as a scan starts one per file; each runs at once.
    for (int i = 0; i < 200; ++i) {
        auto worker = TThread::Create(
            [i](TObjectPtr) -> TObjectPtr { return std::make_shared<TTextObject>(std::to_string(i)); },
            nullptr);
        auto result = std::static_pointer_cast<TTextObject>(worker->Wait());
        ASSERT_TRUE(result);
        EXPECT_EQ(result->text, std::to_string(i));
        EXPECT_FALSE(worker->Running());
    }
    EXPECT_TRUE(busy->Running());
    release->store(true);
    busy->Wait();
    EXPECT_FALSE(busy->Running());
}

TEST(Clock, IsMonotonic) {
    const auto first = Millisecs();
    SleepMs(5);
    EXPECT_GE(Millisecs(), first + 5);
}

TEST(Clock, DateAndTimeTextsUseTheCLocale) {
    const std::time_t when = 1796641503;  // 07 Dec 2026 around 09:05 UTC
    setlocale(LC_ALL, "");
    const std::string date = FormatLocalTime("%d %b %Y", when);
    EXPECT_EQ(date.size(), 11u);
    EXPECT_NE(date.find(" Dec 2026"), std::string::npos);
    EXPECT_EQ(FormatLocalTime("%H:%M:%S", when).size(), 8u);
}

TEST(Process, EndProcessGoesThroughTheReplaceableHandler) {
    struct Ended { int status; };
    auto previous = SetEndProcessHandler([](int status) { throw Ended{status}; });
    try {
        EndProcess(3);
    } catch (const Ended& ended) {
        EXPECT_EQ(ended.status, 3);
    }
    SetEndProcessHandler(previous);
}
