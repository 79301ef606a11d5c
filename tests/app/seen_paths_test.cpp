// The set of paths a reader has passed: every path is new once and seen after, however
// large the set has grown meanwhile.

#include "app/seen_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SeenPathsTest, APathIsNewOnceAndSeenAfterwardsAcrossGrowth) {
    app::TSeenPaths seen;
    EXPECT_TRUE(seen.Add(""));
    EXPECT_FALSE(seen.Add(""));
    for (int i = 0; i < 5000; ++i) EXPECT_TRUE(seen.Add("/t/" + std::to_string(i))) << i;
    for (int i = 0; i < 5000; ++i) EXPECT_FALSE(seen.Add("/t/" + std::to_string(i))) << i;
    seen.Clear();
    EXPECT_TRUE(seen.Add("/t/0"));
    EXPECT_TRUE(seen.Add(""));
}

}  // namespace
