#include "app/change_burst.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
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
        for (const std::uint64_t at : c.events) burst.Note(at);
        EXPECT_EQ(burst.EndsAt(), c.ends) << c.events.size() << " events";
    }
}

// Each directory's burst ends on its own. At each time given, a run starts when some burst
// has ended, and takes every directory named by then, in the order first named, at most
// `most`; the others stay.
TEST(ChangeBurst, TheFirstBurstToEndStartsARunOfEveryDirectoryNamed) {
    struct Noted {
        std::string directory;
        std::uint64_t at;
    };
    using Taken = std::vector<std::string>;
    struct Case {
        std::vector<Noted> events;  // in time order
        std::vector<std::uint64_t> runs;
        std::size_t most;
        std::vector<Taken> taken;  // by each run
    };
    std::vector<Noted> busy;  // "a" changes every 50 ms for 2 s; "b" once, at 500
    for (std::uint64_t at = 0; at < 2000; at += 50) {
        busy.push_back({"a", at});
        if (at == 500) busy.push_back({"b", at});
    }
    const Case cases[] = {
        {{{"a", 0}, {"b", 100}}, {199, 200, 300}, 10, {{}, {"a", "b"}, {}}},
        {{{"b", 0}, {"a", 10}, {"b", 20}}, {220}, 10, {{"b", "a"}}},
        {{{"b", 0}, {"a", 10}}, {210, 210}, 1, {{"b"}, {"a"}}},
        {busy, {199, 700, 1000, 2050, 2150}, 10, {{}, {"a", "b"}, {}, {"a"}, {}}},
    };
    for (const Case& c : cases) {
        app::TChangeBursts bursts;
        auto next = c.events.begin();
        for (std::size_t run = 0; run < c.runs.size(); ++run) {
            for (; next != c.events.end() && next->at <= c.runs[run]; ++next) {
                bursts.Note(next->directory, "f", next->at);
            }
            Taken taken;
            if (bursts.NextEnd() <= c.runs[run]) {
                for (const auto& named : bursts.Take(c.most)) taken.push_back(named.path);
            }
            EXPECT_EQ(taken, c.taken[run]) << "the run at " << c.runs[run];
        }
    }
}

// Names are kept one by one up to a bound over all directories; past it, a directory named
// again is taken whole, and its names let go.
TEST(ChangeBurst, ADirectoryNamedPastTheBoundIsTakenWhole) {
    rt::TNamedDirectories named;
    named.Name("small", "kept");
    for (std::size_t n = 1; n < rt::TNamedDirectories::MOST_NAMES; ++n) {
        named.Name("storm", std::to_string(n));
    }
    named.Name("small", "kept");   // a name already held
    named.Name("other", "past");   // the bound reached
    named.Name("storm", "1");   // a name already held
    ASSERT_EQ(named.All().size(), 3u);
    EXPECT_FALSE(named.All()[0].whole);
    EXPECT_EQ(named.All()[0].names.size(), 1u);
    EXPECT_TRUE(named.All()[2].whole);
    EXPECT_TRUE(named.All()[2].names.empty());
    EXPECT_FALSE(named.All()[1].whole);  // "storm" held none past the bound
    named.Name("storm", "new");          // the bound reached: it goes whole now
    EXPECT_TRUE(named.All()[1].whole);
    named.Name("other2", "room again");  // its names let go, there is room again
    EXPECT_FALSE(named.All()[3].whole);
}

}  // namespace
