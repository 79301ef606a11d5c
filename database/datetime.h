#pragma once
// Date and time values: calendar parts, a 64-bit seconds value and text, converted
// through the C library's local time.

#include "database/dbtypes.h"

namespace db {

class TDBDateBase : public TDBType {
public:
    virtual std::string format(const std::string& pattern) const = 0;
    std::int64_t getDate() const override { return value; }
    // Stores the seconds only; the calendar parts keep what they were.
    int setDate(std::int64_t seconds) override;
    // Zeroes the seconds; the calendar parts stay.
    int clear() override;

    std::int64_t value = 0;
};

class TDBDate : public TDBDateBase {
public:
    static std::shared_ptr<TDBDate> Set(int year, int month, int day);
    static std::shared_ptr<TDBDate> SetWithLong(std::int64_t seconds);
    // Null when the text does not match "%Y-%m-%d".
    static std::shared_ptr<TDBDate> SetFromString(const std::string& s);

    int getYear() const { return _year; }
    int getMonth() const { return _month; }
    int getDay() const { return _day; }
    int setFromParts(int year, int month, int day);

    std::string format(const std::string& pattern) const override;
    std::string getString() const override { return format("%Y-%m-%d"); }
    int kind() const override { return KIND_DATE; }

    int _year = 1900;
    int _month = 1;
    int _day = 1;
};

class TDBDateTime : public TDBDateBase {
public:
    static std::shared_ptr<TDBDateTime> Set(int year, int month, int day, int hour, int minute, int second);
    static std::shared_ptr<TDBDateTime> SetWithLong(std::int64_t seconds);
    // Null when the text does not match "%Y-%m-%d %H:%M:%S".
    static std::shared_ptr<TDBDateTime> SetFromString(const std::string& s);

    int setFromParts(int year, int month, int day, int hour, int minute, int second);
    int getYear() const { return _year; }
    int getMonth() const { return _month; }
    int getDay() const { return _day; }
    int getHour() const { return _hour; }
    int getMinute() const { return _minute; }
    int getSecond() const { return _second; }

    std::string format(const std::string& pattern) const override;
    std::string getString() const override { return format("%Y-%m-%d %H:%M:%S"); }
    int kind() const override { return KIND_DATETIME; }

    int _year = 1900;
    int _month = 1;
    int _day = 1;
    int _hour = 0;
    int _minute = 0;
    int _second = 0;
};

class TDBTime : public TDBDateBase {
public:
    static std::shared_ptr<TDBTime> Set(int hour, int minute, int second);
    // The seconds count from midnight.
    static std::shared_ptr<TDBTime> SetWithLong(std::int64_t seconds);
    // Null when the text does not match "%H:%M:%S".
    static std::shared_ptr<TDBTime> SetFromString(const std::string& s);

    int setFromParts(int hour, int minute, int second);
    int getHour() const { return _hour; }
    int getMinute() const { return _minute; }
    int getSecond() const { return _second; }

    std::string format(const std::string& pattern) const override;
    std::string getString() const override { return format("%H:%M:%S"); }
    // Splits seconds from midnight into the parts.
    int setDate(std::int64_t seconds) override;
    int kind() const override { return KIND_TIME; }

    int _hour = 0;
    int _minute = 0;
    int _second = 0;
};

struct TDateTimeParts {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads input by a pattern of %Y %m %d %H %M %S, literal characters and white space;
// returns 1 and fills parts on success, 0 on failure. Trailing input is ignored.
int parseDateTime(std::string_view input, std::string_view pattern, TDateTimeParts& parts);

}  // namespace db
