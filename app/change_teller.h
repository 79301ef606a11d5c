#pragma once
// The change lines of one save given out as they are found: to the report and every front
// end, and to the log text when the log is owed them. With a marker of owed lines, each
// sink gets only the lines it has not had, and the marker counts those shown.

#include <cstdint>
#include <string>

namespace app {

struct Application;
class TOwedLines;

class TChangeTeller {
public:
    // The lines owed to the log are added to logText.
    TChangeTeller(Application& app, std::string& logText);

    // The save's next line. False when a front end could not take it: logging ends, and it
    // and the lines after it stay owed.
    bool Tell(const char* label, const std::string& path);

    // The save's lines that the log has, or waits for, once the log text is written.
    std::uint64_t Written() const;

private:
    Application& app_;
    TOwedLines* owed_;
    std::string& logText_;
    std::uint64_t lines_ = 0;
    std::uint64_t logLines_ = 0;
};

}  // namespace app
