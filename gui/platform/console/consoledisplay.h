#pragma once
// Standard error as the console driver's screen: every status text as a line of its own,
// and the progress bar with the window's status bar text as one line redrawn in place.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace gui::console {

struct TConsoleOptions {
    bool statusLines = true;
    // Only for a terminal: the line is redrawn over itself with a carriage return.
    bool progressLine = false;
};

// The shortest time between two drawings of the progress line: at most ten a second.
inline constexpr std::uint64_t PROGRESS_REDRAW_MS = 100;
// Assumed when the terminal does not tell its width.
inline constexpr int DEFAULT_COLUMNS = 80;

class TConsoleDisplay {
public:
    using TWriter = std::function<void(std::string_view text)>;
    using TClock = std::function<std::uint64_t()>;  // milliseconds
    using TColumns = std::function<int()>;          // 0 when unknown

    TConsoleDisplay(TWriter write, TClock clock, TColumns columns);

    void Configure(const TConsoleOptions& options);
    // Safe from any thread: the load worker writes the status label.
    void ShowStatus(const std::string& text);
    void ShowProgress(float fraction);
    void ShowItem(const std::string& text);
    // Erases the progress line so that other output starts on a clean line; the next
    // change of progress or item draws it again.
    void ClearProgressLine();

private:
    // Lock held in both.
    void RedrawWhenDue();
    void Erase();

    TWriter write_;
    TClock clock_;
    TColumns columns_;
    std::mutex lock_;
    TConsoleOptions options_;
    float fraction_ = 0;
    std::string item_;
    bool shown_ = false;
    bool everDrawn_ = false;
    std::uint64_t lastDrawn_ = 0;
};

// The progress line: a bar of 20 cells, the percentage the window's bar shows, and as
// much of the end of the item as fits in columns - 1 (a full line would wrap). Control
// characters and bytes that are not UTF-8 show as "?".
std::string ProgressLine(float fraction, std::string_view item, int columns);

}  // namespace gui::console
