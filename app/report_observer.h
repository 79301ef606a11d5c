#pragma once
// What logging reports, told as it happens to a front end that does not read it back
// from the window's gadgets (the command-line program). The window sets no observer.

#include <ctime>
#include <string>
#include <string_view>

namespace app {

// One change line: its label (one of the LABEL_* texts of comparison.h), the entry path
// and the time the report line shows.
struct ReportedChange {
    const char* label;
    std::string_view path;
    std::time_t time;
};

class ReportObserver {
public:
    virtual ~ReportObserver() = default;
    // Once per change line, when it is appended to the report area; never for the lines
    // the report area is refilled with from the log file. False when the line could not
    // be delivered: logging ends, and the observer has said why.
    virtual bool ChangeReported(const ReportedChange& change) = 0;
    // Every error text shown in the status label: one the logging run goes on after (a
    // failed save, a log file that cannot be read or written), and one that ends logging.
    virtual void ErrorShown(const std::string& text) = 0;
    // A notice that logging goes on another way than asked (a watched tree that needs full
    // runs, and why): no error, but the user must hear of it.
    virtual void NoticeShown(const std::string& text) = 0;
};

}  // namespace app
