// Interrupts as requests to stop: the first is recorded and taken once, any later one
// ends the process at once. Each case runs in a child process of its own, since catching
// interrupts is for the life of a process.

#include "runtime/console.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace {

TEST(ConsoleInterrupts, TheFirstIsTakenOnceAndTheProcessGoesOn) {
    EXPECT_EXIT(
        {
            const bool noneYet = !rt::TakeInterrupt();
            rt::CatchInterrupts();
            std::raise(SIGTERM);
            const bool takenOnce = rt::TakeInterrupt() && !rt::TakeInterrupt();
            std::_Exit(noneYet && takenOnce ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(ConsoleInterrupts, ASecondOneEndsTheProcessWithItsSignal) {
    EXPECT_EXIT(
        {
            rt::CatchInterrupts();
            std::raise(SIGINT);
            // Taken or not, the first one was a request; the second is the end.
            rt::TakeInterrupt();
            std::raise(SIGINT);
            std::_Exit(0);
        },
        testing::KilledBySignal(SIGINT), "");
}

}  // namespace
