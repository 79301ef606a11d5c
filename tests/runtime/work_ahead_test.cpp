// Work done ahead on worker threads and taken in order by one consumer.

#include "runtime/work_ahead.h"

#include <atomic>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "runtime/clock.h"

using rt::TWorkAhead;

TEST(WorkAhead, EveryItemIsDoneOnceAndTakenInTheConsumersOrder) {
    constexpr std::size_t kCount = 500;
    auto calls = std::make_shared<std::atomic<int>>(0);
    TWorkAhead work(
        kCount,
        [calls](std::size_t i) -> std::optional<std::string> {
            calls->fetch_add(1);
            if (i % 7 == 0) return std::nullopt;
            return "item " + std::to_string(i);
        },
        3);
    for (std::size_t i = 0; i < kCount; ++i) {
        while (!work.WaitFor(i, 50)) {
        }
        const auto result = work.Take(i);
        if (i % 7 == 0) {
            EXPECT_FALSE(result);
        } else {
            EXPECT_EQ(result, "item " + std::to_string(i));
        }
    }
    EXPECT_EQ(calls->load(), int(kCount));
}

TEST(WorkAhead, AWaitEndsAtItsTimeAndAnAbandonedWorkerIsNeverWaitedFor) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto started = std::make_shared<std::atomic<int>>(0);
    {
        TWorkAhead work(
            100,
            [release, started](std::size_t) -> std::optional<std::string> {
                started->fetch_add(1);
                while (!release->load()) rt::SleepMs(1);
                return "done";
            },
            1);
        // The abandon must find the worker inside item 0: a worker not yet started when
        // the work is abandoned rightly never starts it.
        while (started->load() == 0) rt::SleepMs(1);
        EXPECT_FALSE(work.WaitFor(0, 5));
    }  // abandoned while its one worker is blocked in item 0
    release->store(true);
    // The worker ends after its current item: no item after the abandon is started.
    rt::SleepMs(50);
    EXPECT_EQ(started->load(), 1);
}
