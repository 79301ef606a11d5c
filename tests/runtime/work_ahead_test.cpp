// Work done ahead on worker threads and taken in order by one consumer.

#include "runtime/work_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/clock.h"

using rt::TWorkAhead;

TEST(WorkAhead, EveryItemIsDoneOnceAndTakenInTheConsumersOrderWhileMoreAreAdded) {
    constexpr std::size_t kBatches = 50;
    constexpr std::size_t kPerBatch = 10;
    auto calls = std::make_shared<std::atomic<int>>(0);
    TWorkAhead work(3);
    std::size_t taken = 0;
    for (std::size_t batch = 0; batch < kBatches; ++batch) {
        std::vector<TWorkAhead::Job> jobs;
        for (std::size_t i = 0; i < kPerBatch; ++i) {
            const std::size_t n = batch * kPerBatch + i;
            jobs.emplace_back([calls, n]() -> std::optional<std::string> {
                calls->fetch_add(1);
                if (n % 7 == 0) return std::nullopt;
                return "item " + std::to_string(n);
            });
        }
        EXPECT_EQ(work.Add(std::move(jobs)), batch * kPerBatch);
        // The consumer lags a batch behind, as the scan lags behind the directories it lists.
        for (; taken + kPerBatch <= (batch + 1) * kPerBatch && batch > 0; ++taken) {
            while (!work.WaitFor(taken, 50)) {
            }
            const auto result = work.Take(taken);
            if (taken % 7 == 0) {
                EXPECT_FALSE(result);
            } else {
                EXPECT_EQ(result, "item " + std::to_string(taken));
            }
        }
    }
    for (; taken < kBatches * kPerBatch; ++taken) {
        while (!work.WaitFor(taken, 50)) {
        }
        EXPECT_EQ(work.Take(taken).has_value(), taken % 7 != 0);
    }
    EXPECT_EQ(calls->load(), int(kBatches * kPerBatch));
    EXPECT_EQ(work.Waiting(), 0u);
}

TEST(WorkAhead, SkippedItemsAreForgottenOnlyOnceDone) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    TWorkAhead work(2);
    // Item 0 is still being worked on when the consumer takes item 1 past it.
    work.Add({[release]() -> std::optional<std::string> {
                  while (!release->load()) rt::SleepMs(1);
                  return "slow";
              },
              []() -> std::optional<std::string> { return "fast"; }});
    while (!work.WaitFor(1, 50)) {
    }
    EXPECT_EQ(work.Take(1), "fast");
    release->store(true);
    const std::size_t next = work.Add({[]() -> std::optional<std::string> { return "next"; }});
    while (!work.WaitFor(next, 50)) {
    }
    EXPECT_EQ(work.Take(next), "next");
}

TEST(WorkAhead, AWaitEndsAtItsTimeAndAnAbandonedWorkerIsNeverWaitedFor) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto started = std::make_shared<std::atomic<int>>(0);
    {
        TWorkAhead work(1);
        for (int i = 0; i < 100; ++i) {
            work.Add({[release, started]() -> std::optional<std::string> {
                started->fetch_add(1);
                while (!release->load()) rt::SleepMs(1);
                return "done";
            }});
        }
        while (started->load() == 0) rt::SleepMs(1);
        EXPECT_FALSE(work.WaitFor(0, 5));
    }  // abandoned while its one worker is blocked in item 0
    release->store(true);
    // The worker ends after its current item: no item after the abandon is started.
    rt::SleepMs(50);
    EXPECT_EQ(started->load(), 1);
}

TEST(WorkAhead, TheConsumerRunsAnItemNoWorkerStartedAndNoItemRunsTwice) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto started = std::make_shared<std::atomic<int>>(0);
    auto ranOn = std::make_shared<std::thread::id>();
    auto secondCalls = std::make_shared<std::atomic<int>>(0);
    TWorkAhead work(1);
    work.Add({[release, started]() -> std::optional<std::string> {
                  started->fetch_add(1);
                  while (!release->load()) rt::SleepMs(1);
                  return "first";
              },
              [ranOn, secondCalls]() -> std::optional<std::string> {
                  *ranOn = std::this_thread::get_id();
                  secondCalls->fetch_add(1);
                  return "second";
              }});
    while (started->load() == 0) rt::SleepMs(1);
    // The one worker is busy with the first item: the second is done here, and the first,
    // being worked on, is not taken from its worker.
    EXPECT_FALSE(work.RunHere(0));
    EXPECT_TRUE(work.RunHere(1));
    EXPECT_EQ(*ranOn, std::this_thread::get_id());
    release->store(true);
    while (!work.WaitFor(0, 50)) {
    }
    EXPECT_EQ(work.Take(0), "first");
    EXPECT_EQ(work.Take(1), "second");
    // The worker passes over the item it finds done.
    const std::size_t next = work.Add({[]() -> std::optional<std::string> { return "third"; }});
    while (!work.WaitFor(next, 50)) {
    }
    EXPECT_EQ(work.Take(next), "third");
    EXPECT_EQ(secondCalls->load(), 1);
    EXPECT_EQ(work.Waiting(), 0u);
}
