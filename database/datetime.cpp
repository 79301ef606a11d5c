#include "database/datetime.h"

#include <ctime>

#include "runtime/text.h"

namespace db {
namespace {

std::tm brokenDownTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;  // let the library decide on daylight saving
    return t;
}

// Seconds since the epoch of a local time, or -1 when the C library cannot represent it.
std::int64_t localSeconds(int year, int month, int day, int hour, int minute, int second) {
    std::tm t = brokenDownTime(year, month, day, hour, minute, second);
    return static_cast<std::int64_t>(std::mktime(&t));
}

// strftime works on 8-bit characters: the pattern goes in as each character's low byte
// and the output comes back as ISO 8859-1.
std::string formatParts(const std::string& pattern, int year, int month, int day, int hour,
                        int minute, int second) {
    std::string narrowPattern;
    for (char16_t unit : rt::Utf8ToUtf16(pattern)) narrowPattern += static_cast<char>(unit & 0xFF);
    std::tm t = brokenDownTime(year, month, day, hour, minute, second);
    char buffer[1024];
    std::size_t length = std::strftime(buffer, sizeof buffer, narrowPattern.c_str(), &t);
    return rt::Latin1ToUtf8(std::string_view(buffer, length));
}

}  // namespace

int TDBDateBase::setDate(std::int64_t seconds) {
    value = seconds;
    _isNull = 0;
    return 0;
}

int TDBDateBase::clear() {
    value = 0;
    _isNull = 1;
    return 0;
}

// ---- TDBDate

std::shared_ptr<TDBDate> TDBDate::Set(int year, int month, int day) {
    auto v = std::make_shared<TDBDate>();
    v->setFromParts(year, month, day);
    return v;
}

std::shared_ptr<TDBDate> TDBDate::SetWithLong(std::int64_t seconds) {
    auto v = std::make_shared<TDBDate>();
    v->setDate(seconds);
    return v;
}

std::shared_ptr<TDBDate> TDBDate::SetFromString(const std::string& s) {
    TDateTimeParts p;
    if (!parseDateTime(s, "%Y-%m-%d", p)) return nullptr;
    return Set(p.year, p.month, p.day);
}

int TDBDate::setFromParts(int year, int month, int day) {
    _year = year;
    _month = month;
    _day = day;
    value = localSeconds(year, month, day, 0, 0, 0);
    _isNull = 0;
    return 0;
}

std::string TDBDate::format(const std::string& pattern) const {
    return formatParts(pattern, _year, _month, _day, 0, 0, 0);
}

// ---- TDBDateTime

std::shared_ptr<TDBDateTime> TDBDateTime::Set(int year, int month, int day, int hour, int minute,
                                              int second) {
    auto v = std::make_shared<TDBDateTime>();
    v->setFromParts(year, month, day, hour, minute, second);
    return v;
}

std::shared_ptr<TDBDateTime> TDBDateTime::SetWithLong(std::int64_t seconds) {
    auto v = std::make_shared<TDBDateTime>();
    v->setDate(seconds);
    return v;
}

std::shared_ptr<TDBDateTime> TDBDateTime::SetFromString(const std::string& s) {
    TDateTimeParts p;
    if (!parseDateTime(s, "%Y-%m-%d %H:%M:%S", p)) return nullptr;
    return Set(p.year, p.month, p.day, p.hour, p.minute, p.second);
}

int TDBDateTime::setFromParts(int year, int month, int day, int hour, int minute, int second) {
    _year = year;
    _month = month;
    _day = day;
    _hour = hour;
    _minute = minute;
    _second = second;
    value = localSeconds(year, month, day, hour, minute, second);
    _isNull = 0;
    return 0;
}

std::string TDBDateTime::format(const std::string& pattern) const {
    return formatParts(pattern, _year, _month, _day, _hour, _minute, _second);
}

// ---- TDBTime

std::shared_ptr<TDBTime> TDBTime::Set(int hour, int minute, int second) {
    auto v = std::make_shared<TDBTime>();
    v->setFromParts(hour, minute, second);
    return v;
}

std::shared_ptr<TDBTime> TDBTime::SetWithLong(std::int64_t seconds) {
    auto v = std::make_shared<TDBTime>();
    v->setDate(seconds);
    return v;
}

std::shared_ptr<TDBTime> TDBTime::SetFromString(const std::string& s) {
    TDateTimeParts p;
    if (!parseDateTime(s, "%H:%M:%S", p)) return nullptr;
    return Set(p.hour, p.minute, p.second);
}

int TDBTime::setFromParts(int hour, int minute, int second) {
    _hour = hour;
    _minute = minute;
    _second = second;
    // Day 0 of January 1900: the conversion may well answer -1; setDate() is the way to
    // store seconds from midnight.
    value = localSeconds(1900, 1, 0, hour, minute, second);
    _isNull = 0;
    return 0;
}

std::string TDBTime::format(const std::string& pattern) const {
    return formatParts(pattern, 1900, 1, 0, _hour, _minute, _second);
}

int TDBTime::setDate(std::int64_t seconds) {
    value = seconds;
    // Division truncates toward zero and the remainder keeps the dividend's sign.
    _second = static_cast<int>(seconds % 60);
    seconds /= 60;
    _minute = static_cast<int>(seconds % 60);
    seconds /= 60;
    _hour = static_cast<int>(seconds % 24);
    _isNull = 0;
    return 0;
}

}  // namespace db
