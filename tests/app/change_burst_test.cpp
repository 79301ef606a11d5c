#include "app/change_burst.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Events at these times (ms) make a burst that ends at `ends`: 200 ms after the last event,
// but never later than 1 s after the first.
TEST(ChangeBurst, EndsAfterQuietOrOneSecondAfterItsFirstEvent) {
    struct Case {
        std::vector<std::uint64_t> events;
        std::uint64_t ends;
    };
    const Case cases[] = {
        {{1000}, 1200},
        {{1000, 1100}, 1300},
        {{1000, 1199}, 1399},
        {{1000, 1150, 1300, 1450, 1600, 1750}, 1950},
        {{1000, 1150, 1300, 1450, 1600, 1750, 1900}, 2000},
        {{1000, 1999}, 2000},
        {{0}, 200},
    };
    for (const Case& c : cases) {
        app::TChangeBurst burst;
        EXPECT_FALSE(burst.Open());
        for (const std::uint64_t at : c.events) burst.Note(at);
        ASSERT_TRUE(burst.Open());
        EXPECT_EQ(burst.EndsAt(), c.ends) << c.events.size() << " events";
        // A closed burst starts afresh at its next event.
        burst.Close();
        burst.Note(5000);
        EXPECT_EQ(burst.EndsAt(), 5200u);
    }
}

}  // namespace
