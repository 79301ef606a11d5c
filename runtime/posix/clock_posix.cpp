#include "runtime/clock.h"

#include <locale.h>
#include <time.h>

#include <chrono>
#include <thread>

namespace rt {

std::uint64_t Millisecs() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void SleepMs(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string FormatLocalTime(const char* pattern, std::time_t when) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    struct tm local {};
    localtime_r(&when, &local);
    char buffer[256];
    const std::size_t n = strftime_l(buffer, sizeof buffer, pattern, &local, cLocale);
    return std::string(buffer, n);
}

std::string FormatLocalTime(const char* pattern) { return FormatLocalTime(pattern, std::time(nullptr)); }

}  // namespace rt
