#include "gui/platform/console/consoledisplay.h"

#include <cstdio>
#include <vector>

#include "gui/driversupport.h"
#include "runtime/text.h"

namespace gui::console {
namespace {

constexpr int BAR_CELLS = 20;
// "[" + cells + "] " + "100%" + " "
constexpr int PREFIX_COLUMNS = BAR_CELLS + 8;
constexpr const char* ELLIPSIS = "...";
constexpr int ELLIPSIS_COLUMNS = 3;
// A carriage return to the start of the line, then "erase to the end of the line".
constexpr const char* LINE_START = "\r";
constexpr const char* ERASE_TO_END = "\x1b[K";

bool Printable(char32_t c) { return c >= 0x20 && !(c >= 0x7F && c <= 0x9F) && !rt::IsSurrogate(c); }

// One column per character: what a terminal shows of a path, as code points.
std::vector<char32_t> ShownCharacters(std::string_view text) {
    const std::u16string units = rt::Utf8ToUtf16(text);
    std::vector<char32_t> shown;
    for (std::size_t pos = 0; pos < units.size();) {
        const char32_t c = rt::NextCodePoint(units, pos);
        shown.push_back(Printable(c) ? c : U'?');
    }
    return shown;
}

std::string FittedItem(std::string_view item, int room) {
    const std::vector<char32_t> shown = ShownCharacters(item);
    std::string fitted;
    std::size_t first = 0;
    if (static_cast<int>(shown.size()) > room) {
        if (room <= ELLIPSIS_COLUMNS) return fitted;
        fitted = ELLIPSIS;
        first = shown.size() - static_cast<std::size_t>(room - ELLIPSIS_COLUMNS);
    }
    for (std::size_t i = first; i < shown.size(); ++i) rt::AppendUtf8(fitted, shown[i]);
    return fitted;
}

}  // namespace

std::string ProgressLine(float fraction, std::string_view item, int columns) {
    const int percent = ProgressSteps(fraction);
    const int filled = percent * BAR_CELLS / 100;
    std::string line = "[" + std::string(filled, '#') + std::string(BAR_CELLS - filled, '.') + "] ";
    char number[8];
    std::snprintf(number, sizeof number, "%3d%% ", percent);
    line += number;
    return line + FittedItem(item, columns - 1 - PREFIX_COLUMNS);
}

TConsoleDisplay::TConsoleDisplay(TWriter write, TClock clock, TColumns columns)
    : write_(std::move(write)), clock_(std::move(clock)), columns_(std::move(columns)) {}

void TConsoleDisplay::Configure(const TConsoleOptions& options) {
    std::lock_guard<std::mutex> guard(lock_);
    Erase();
    options_ = options;
}

void TConsoleDisplay::ShowStatus(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!options_.statusLines || text.empty()) return;
    Erase();
    write_(text + "\n");
}

void TConsoleDisplay::ShowProgress(float fraction) {
    std::lock_guard<std::mutex> guard(lock_);
    fraction_ = fraction;
    RedrawWhenDue();
}

void TConsoleDisplay::ShowItem(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    item_ = text;
    RedrawWhenDue();
}

void TConsoleDisplay::ClearProgressLine() {
    std::lock_guard<std::mutex> guard(lock_);
    Erase();
}

void TConsoleDisplay::RedrawWhenDue() {
    if (!options_.progressLine) return;
    const std::uint64_t now = clock_();
    if (everDrawn_ && now - lastDrawn_ < PROGRESS_REDRAW_MS) return;
    const int columns = columns_();
    write_(LINE_START + ProgressLine(fraction_, item_, columns > 0 ? columns : DEFAULT_COLUMNS) +
           ERASE_TO_END);
    shown_ = true;
    everDrawn_ = true;
    lastDrawn_ = now;
}

void TConsoleDisplay::Erase() {
    if (!shown_) return;
    write_(std::string(LINE_START) + ERASE_TO_END);
    shown_ = false;
}

}  // namespace gui::console
