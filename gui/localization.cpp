#include "gui/localization.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <vector>

#include "gui/gadgetlanguage.h"
#include "gui/system.h"
#include "runtime/program.h"
#include "runtime/text.h"

namespace gui {
namespace {

constexpr const char* TOKEN_OPEN = "{{";
constexpr const char* TOKEN_CLOSE = "}}";

constexpr const char* MONTH_NAMES[] = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december",
};
constexpr const char* DAY_NAMES[] = {
    "sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday",
};

struct TEngineState {
    std::atomic<int> mode{0};
    std::mutex languageLock;  // the language pointer only; languages are main-thread
    std::shared_ptr<TGadgetLanguage> language;
};

TEngineState& State() {
    static TEngineState state;
    return state;
}

// The texts being localised on this thread, innermost last.
std::vector<std::string>& LocalizingStack() {
    thread_local std::vector<std::string> stack;
    return stack;
}

std::optional<std::string> LanguageText(const std::string& token) {
    const std::shared_ptr<TGadgetLanguage> language = TLocalizationEngine::GetLanguage();
    if (!language) return std::nullopt;
    return language->LookupToken(token);
}

bool LanguageHas(const char* token) { return LanguageText(token).has_value(); }

std::string LanguageTextOr(const std::string& token, const std::string& fallback) {
    return LanguageText(token).value_or(fallback);
}

// "monday" -> "Monday" for the English fallback of a name token.
std::string EnglishName(const char* token) {
    std::string name = token;
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// English ordinal rule: 1st 2nd 3rd 4th ... 11th 12th 13th ... 21st.
std::string OrdinalSuffix(int day) {
    const char* suffix = "th";
    if (day % 100 < 11 || day % 100 > 13) {
        if (day % 10 == 1) suffix = "st";
        if (day % 10 == 2) suffix = "nd";
        if (day % 10 == 3) suffix = "rd";
    }
    return LanguageText(suffix).value_or(LanguageTextOr("th", ""));
}

std::string FirstThree(const std::string& name) {
    const std::u16string units = rt::Utf8ToUtf16(name);
    return rt::Utf16ToUtf8(units.substr(0, 3));
}

std::string MonthName(int month) {
    const char* token = MONTH_NAMES[std::clamp(month, 0, 11)];
    return LanguageTextOr(token, EnglishName(token));
}

std::string DayName(int weekday) {
    const char* token = DAY_NAMES[std::clamp(weekday, 0, 6)];
    return LanguageTextOr(token, EnglishName(token));
}

std::string FormatPart(char code, const std::tm& when) {
    const int hour12 = when.tm_hour % 12 == 0 ? 12 : when.tm_hour % 12;
    switch (code) {
        case 'H': return TwoDigits(when.tm_hour);
        case 'I': return TwoDigits(hour12);
        case 'M': return TwoDigits(when.tm_min);
        case 'S': return TwoDigits(when.tm_sec);
        case 'p': return when.tm_hour < 12 ? LanguageTextOr("am", "AM")
                                           : LanguageTextOr("pm", "PM");
        case 'd': return TwoDigits(when.tm_mday);
        case 'e': return std::to_string(when.tm_mday);
        case 'o': return OrdinalSuffix(when.tm_mday);
        case 'm': return TwoDigits(when.tm_mon + 1);
        case 'B': return MonthName(when.tm_mon);
        case 'b': return FirstThree(MonthName(when.tm_mon));
        case 'A': return DayName(when.tm_wday);
        case 'a': return FirstThree(DayName(when.tm_wday));
        case 'Y': return std::to_string(when.tm_year + 1900);
        case 'y': return TwoDigits((when.tm_year + 1900) % 100);
        case '%': return "%";
        default: return std::string("%") + code;
    }
}

std::string Format(const std::string& format, const std::tm& when) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            out += FormatPart(format[++i], when);
        } else {
            out += format[i];
        }
    }
    return out;
}

std::tm Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* converted = std::localtime(&now)) local = *converted;
    return local;
}

bool TwelveHour() { return LanguageHas("am") && LanguageHas("pm"); }

std::string TimeFormat(bool longForm) {
    const char* token = longForm ? "longtimeformat" : "shorttimeformat";
    if (TwelveHour()) return LanguageTextOr(token, longForm ? "%I:%M:%S %p" : "%I:%M %p");
    return LanguageTextOr(token, longForm ? "%H:%M:%S" : "%H:%M");
}

std::string DateFormat(bool longForm) {
    return longForm ? LanguageTextOr("longdateformat", "%A %e%o %B %Y")
                    : LanguageTextOr("shortdateformat", "%Y-%m-%d");
}

std::optional<std::string> BuiltInToken(const std::string& token) {
    if (token == "appfile") return rt::ProgramFile();
    if (token == "appdir") return rt::ProgramDir();
    if (token == "apptitle") return AppTitle();
    if (token == "launchdir") return rt::LaunchDir();
    if (token == "gcmemalloced") return std::to_string(rt::AllocatedMemory());
    if (token == "shorttime") return TLocalizationEngine::LocalizedTime(TimeFormat(false));
    if (token == "longtime") return TLocalizationEngine::LocalizedTime(TimeFormat(true));
    if (token == "shortdate") return TLocalizationEngine::LocalizedDate(DateFormat(false));
    if (token == "longdate") return TLocalizationEngine::LocalizedDate(DateFormat(true));
    return std::nullopt;
}

std::string TokenText(const std::string& token) {
    const std::string key = rt::ToLowerAscii(token);
    if (std::optional<std::string> builtIn = BuiltInToken(key)) return *builtIn;
    if (std::optional<std::string> text = LanguageText(key)) {
        return TLocalizationEngine::LocalizeString(*text);
    }
    return token;
}

// Keeps a text on the stack while its tokens are replaced.
class TLocalizingScope {
public:
    explicit TLocalizingScope(const std::string& text) { LocalizingStack().push_back(text); }
    ~TLocalizingScope() { LocalizingStack().pop_back(); }
    TLocalizingScope(const TLocalizingScope&) = delete;
    TLocalizingScope& operator=(const TLocalizingScope&) = delete;
};

}  // namespace

void TLocalizationEngine::_SetMode(int mode) { State().mode = mode; }
int TLocalizationEngine::GetMode() { return State().mode; }

std::shared_ptr<TGadgetLanguage> TLocalizationEngine::GetLanguage() {
    std::lock_guard<std::mutex> lock(State().languageLock);
    return State().language;
}

void TLocalizationEngine::_SetLanguage(std::shared_ptr<TGadgetLanguage> language) {
    std::lock_guard<std::mutex> lock(State().languageLock);
    State().language = std::move(language);
}

std::string TLocalizationEngine::LocalizeString(const std::string& text) {
    if (!(GetMode() & LOCALIZATION_ON)) return text;
    const std::vector<std::string>& stack = LocalizingStack();
    if (std::find(stack.begin(), stack.end(), text) != stack.end()) {
        std::cerr << "WARNING: Encountered cyclic localization string: \"" << text << "\"."
                  << std::endl;
        return LOCALIZATION_CYCLE_TEXT;
    }
    const TLocalizingScope scope(text);
    std::string out;
    std::size_t done = 0;
    for (;;) {
        const std::size_t open = text.find(TOKEN_OPEN, done);
        if (open == std::string::npos) break;
        const std::size_t close = text.find(TOKEN_CLOSE, open + 2);
        if (close == std::string::npos) break;
        out.append(text, done, open - done);
        out += TokenText(text.substr(open + 2, close - open - 2));
        done = close + 2;
    }
    out.append(text, done);
    return out;
}

std::string TLocalizationEngine::LocalizedTime(const std::string& format) {
    return LocalizedTime(format, Now());
}

std::string TLocalizationEngine::LocalizedDate(const std::string& format) {
    return LocalizedDate(format, Now());
}

std::string TLocalizationEngine::LocalizedTime(const std::string& format, const std::tm& when) {
    return Format(format, when);
}

std::string TLocalizationEngine::LocalizedDate(const std::string& format, const std::tm& when) {
    return Format(format, when);
}

int TLocalizationEngine::_MonthAsNumber(const std::string& name) {
    const std::string lower = rt::ToLowerAscii(name);
    if (lower.size() < 3) return 0;
    for (int month = 0; month < 12; ++month) {
        if (std::string_view(MONTH_NAMES[month]).starts_with(lower)) return month + 1;
    }
    return 0;
}

// Sakamoto's method.
int TLocalizationEngine::DayOfTheWeek(int year, int month, int day) {
    static constexpr int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    const int index = std::clamp(month, 1, 12) - 1;
    const int days = year + year / 4 - year / 100 + year / 400 + offsets[index] + day;
    return ((days % 7) + 7) % 7;
}

}  // namespace gui
