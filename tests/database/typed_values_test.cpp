// Typed values: null semantics, cross-kind getters, blobs, dates and the date parser.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "database/database.h"

using namespace db;

namespace {

TEST(TypedValues, EmptyStringIsNullAndSizeCountsUtf16Units) {
    auto empty = TDBString::Set("");
    EXPECT_EQ(empty->isNull(), 1);
    EXPECT_EQ(empty->getString(), "");

    auto text = TDBString::Set("a\xC3\xA9\xF0\x9F\x98\x80");  // a, e acute, one non-BMP character
    EXPECT_EQ(text->isNull(), 0);
    EXPECT_EQ(text->size(), 4);
    text->clear();
    EXPECT_EQ(text->isNull(), 1);
    EXPECT_EQ(text->getString(), "");
}

TEST(TypedValues, NumbersHaveNoTextAndOtherKindsAreIgnored) {
    auto big = TDBLong::Set((std::int64_t{1} << 32) + 5);
    EXPECT_EQ(big->getInt(), 5);
    EXPECT_EQ(big->getLong(), (std::int64_t{1} << 32) + 5);
    EXPECT_EQ(TDBLong::Set(-1)->getInt(), -1);

    auto minusOne = TDBInt::Set(-1);
    EXPECT_EQ(minusOne->getLong(), -1);
    EXPECT_EQ(minusOne->getString(), "");
    EXPECT_EQ(TDBString::Set("12")->getInt(), 0);

    // A setter of another kind changes neither the value nor the null flag.
    auto n = std::make_shared<TDBInt>();
    n->setString("7");
    EXPECT_EQ(n->isNull(), 1);
    n->setInt(7);
    n->setDouble(2.5);
    EXPECT_EQ(n->getInt(), 7);
    EXPECT_EQ(n->getDouble(), 0.0);

    EXPECT_FLOAT_EQ(TDBDouble::Set(0.1)->getFloat(), 0.1f);
    EXPECT_DOUBLE_EQ(TDBFloat::Set(0.5f)->getDouble(), 0.5);
    EXPECT_EQ(TDBFloat::Set(0.5f)->kind(), KIND_FLOAT);
}

TEST(TypedValues, BlobCopiesOnlyWhenAskedAndFreesOnlyItsOwnCopy) {
    char caller[4] = {'a', 'b', 'c', 'd'};
    auto copied = TDBBlob::Set(caller, 4, 1);
    EXPECT_NE(copied->getBlob(), caller);
    EXPECT_EQ(std::memcmp(copied->getBlob(), caller, 4), 0);
    EXPECT_EQ(copied->_owner, 1);

    // Size 0 keeps the caller's pointer even when a copy is asked for.
    EXPECT_EQ(TDBBlob::Set(caller, 0, 1)->getBlob(), caller);

    // Copied, cleared, then given the caller's buffer: clearing again leaves it alone
    // (the sanitizer run would report a bad free otherwise).
    copied->clear();
    EXPECT_EQ(copied->isNull(), 1);
    EXPECT_EQ(copied->size(), 4);
    copied->setBlob(caller, 4, 0);
    EXPECT_EQ(copied->getBlob(), caller);
    copied->clear();
    EXPECT_EQ(caller[0], 'a');
}

TEST(TypedValues, DateFromTextAndBack) {
    auto date = TDBDate::SetFromString("2013-05-20");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->getYear(), 2013);
    EXPECT_EQ(date->getMonth(), 5);
    EXPECT_EQ(date->getDay(), 20);
    EXPECT_EQ(date->getString(), "2013-05-20");
    EXPECT_EQ(date->kind(), KIND_DATE);

    EXPECT_EQ(TDBDate::SetFromString("2013-5-7")->getString(), "2013-05-07");
    EXPECT_FALSE(TDBDate::SetFromString("2013-13-01"));
    EXPECT_FALSE(TDBDate::SetFromString("2013/05/20"));
    EXPECT_FALSE(TDBDate::SetFromString(""));
    auto trailing = TDBDate::SetFromString("2013-05-20 and more");
    ASSERT_TRUE(trailing);
    EXPECT_EQ(trailing->getString(), "2013-05-20");
}

TEST(TypedValues, DateSecondsAreLocalTimeAndSetWithLongKeepsTheParts) {
    std::tm t{};
    t.tm_year = 2013 - 1900;
    t.tm_mon = 4;
    t.tm_mday = 20;
    t.tm_isdst = -1;
    EXPECT_EQ(TDBDate::Set(2013, 5, 20)->getDate(), static_cast<std::int64_t>(std::mktime(&t)));

    auto fromSeconds = TDBDate::SetWithLong(1234567890);
    EXPECT_EQ(fromSeconds->getDate(), 1234567890);
    EXPECT_EQ(fromSeconds->getString(), "1900-01-01");
    fromSeconds->clear();
    EXPECT_EQ(fromSeconds->isNull(), 1);
    EXPECT_EQ(fromSeconds->getDate(), 0);
}

TEST(TypedValues, DateTimeAndTime) {
    auto stamp = TDBDateTime::SetFromString("2013-05-20 08:09:10");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->getHour(), 8);
    EXPECT_EQ(stamp->getMinute(), 9);
    EXPECT_EQ(stamp->getSecond(), 10);
    EXPECT_EQ(stamp->getString(), "2013-05-20 08:09:10");
    EXPECT_EQ(stamp->format("%d/%m/%Y %H.%M"), "20/05/2013 08.09");
    EXPECT_FALSE(TDBDateTime::SetFromString("2013-05-20 24:00:00"));

    auto time = TDBTime::SetWithLong(3725);
    EXPECT_EQ(time->getHour(), 1);
    EXPECT_EQ(time->getMinute(), 2);
    EXPECT_EQ(time->getSecond(), 5);
    EXPECT_EQ(time->getString(), "01:02:05");
    EXPECT_EQ(TDBTime::SetFromString("23:59:59")->getString(), "23:59:59");
    EXPECT_FALSE(TDBTime::SetFromString("12:60:00"));
}

TEST(TypedValues, ParserRules) {
    TDateTimeParts p;
    // Seconds may be missing at the end; white space after a number skips the rest of
    // that pattern word.
    ASSERT_EQ(parseDateTime("2013-05-20 08:09:", "%Y-%m-%d %H:%M:%S", p), 1);
    EXPECT_EQ(p.minute, 9);
    EXPECT_EQ(p.second, 0);
    ASSERT_EQ(parseDateTime("2013-05-20 08:09 later", "%Y-%m-%d %H:%M:%S", p), 1);
    EXPECT_EQ(p.hour, 8);
    EXPECT_EQ(p.second, 0);
    EXPECT_EQ(parseDateTime("2013-05-20 08", "%Y-%m-%d %H:%M:%S", p), 0);
    // White space in the pattern matches any run of white space.
    ASSERT_EQ(parseDateTime("2013-05-20\t\n 08:09:10", "%Y-%m-%d %H:%M:%S", p), 1);
    EXPECT_EQ(p.second, 10);
    // Digits run on as long as they go: day 2008 is out of range.
    EXPECT_EQ(parseDateTime("2013-05-2008:09:10", "%Y-%m-%d %H:%M:%S", p), 0);
    // An hour is required; a day of 0 passes, a day of 32 does not.
    EXPECT_EQ(parseDateTime("2013-05-20", "%Y-%m-%d %H:%M:%S", p), 0);
    EXPECT_EQ(parseDateTime("2013-05-00", "%Y-%m-%d", p), 1);
    EXPECT_EQ(parseDateTime("2013-05-32", "%Y-%m-%d", p), 0);
    // An endless digit run neither overflows nor passes a range check.
    EXPECT_EQ(parseDateTime("2013-99999999999999999999-01", "%Y-%m-%d", p), 0);
    EXPECT_EQ(parseDateTime("99999999999999999999-01-01", "%Y-%m-%d", p), 1);
    EXPECT_EQ(p.year, INT_MAX);
    EXPECT_EQ(parseDateTime("2013", "%Y%", p), 0);
}

}  // namespace
