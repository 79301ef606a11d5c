#include "runtime/clock.h"

#include <windows.h>

#include <array>
#include <ctime>

namespace rt {
namespace {

// Sleep and timers tick in 1 ms steps for the life of the process instead of 15.6 ms.
struct FineTimer {
    FineTimer() { timeBeginPeriod(1); }
    ~FineTimer() { timeEndPeriod(1); }
};

std::int64_t CounterFrequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// The texts of the "C" locale, which the C library here would take from the user's
// locale when the program has set one.
constexpr std::array<const char*, 7> DAYS = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> MONTHS = {"January", "February", "March", "April",
                                                "May", "June", "July", "August",
                                                "September", "October", "November", "December"};

std::string LocaleFree(const char* pattern, const struct tm& local) {
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] != '%' || !p[1]) {
            out += *p;
            continue;
        }
        const char kind = *++p;
        switch (kind) {
        case 'a': out.append(DAYS[local.tm_wday % 7], 3); break;
        case 'A': out += DAYS[local.tm_wday % 7]; break;
        case 'b': case 'h': out.append(MONTHS[local.tm_mon % 12], 3); break;
        case 'B': out += MONTHS[local.tm_mon % 12]; break;
        case 'p': out += local.tm_hour < 12 ? "AM" : "PM"; break;
        default: {
            const char single[3] = {'%', kind, '\0'};
            char buffer[256];
            out.append(buffer, strftime(buffer, sizeof buffer, single, &local));
        }
        }
    }
    return out;
}

}  // namespace

std::uint64_t Millisecs() {
    static const std::int64_t frequency = CounterFrequency();
    static const std::int64_t start = [] {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const std::int64_t ticks = now.QuadPart - start;
    return static_cast<std::uint64_t>(ticks / frequency * 1000 + ticks % frequency * 1000 / frequency);
}

void SleepMs(std::uint32_t milliseconds) {
    static const FineTimer fine;
    Sleep(milliseconds);
}

std::string FormatLocalTime(const char* pattern, std::time_t when) {
    struct tm local {};
    localtime_s(&local, &when);
    return LocaleFree(pattern, local);
}

std::string FormatLocalTime(const char* pattern) { return FormatLocalTime(pattern, std::time(nullptr)); }

}  // namespace rt
