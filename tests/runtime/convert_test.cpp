#include "runtime/convert.h"

#include <gtest/gtest.h>

using rt::TextToInt;

TEST(TextToInt, DecimalWithWhiteSpaceAndSign) {
    EXPECT_EQ(TextToInt("1"), 1);
    EXPECT_EQ(TextToInt("  \t 42abc"), 42);
    EXPECT_EQ(TextToInt("-7"), -7);
    EXPECT_EQ(TextToInt("+15"), 15);
    EXPECT_EQ(TextToInt("1 2"), 1);
}

TEST(TextToInt, HexadecimalAndBinaryPrefixes) {
    EXPECT_EQ(TextToInt("$ff"), 255);
    EXPECT_EQ(TextToInt("$1A"), 26);
    EXPECT_EQ(TextToInt("%101"), 5);
    EXPECT_EQ(TextToInt("%102"), 2);
    EXPECT_EQ(TextToInt("-$10"), -16);
}

TEST(TextToInt, NoDigitsGivesZero) {
    for (const char* text : {"", "   ", "abc", "-", "$", "%", "$g", " - 5"}) EXPECT_EQ(TextToInt(text), 0) << text;
}

TEST(TextToInt, HugeValuesClampInsteadOfOverflowing) {
    EXPECT_EQ(TextToInt("99999999999999999999999"), 2147483647);
    EXPECT_EQ(TextToInt("-99999999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(TextToInt("2147483647"), 2147483647);
    EXPECT_EQ(TextToInt("$FFFFFFFFFFFF"), 2147483647);
}
