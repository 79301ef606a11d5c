#pragma once
// What tervala-cli makes of the application's reports: every change line on standard
// output as it is found, every error text on standard error even when quiet, and the
// exit status they add up to over all logging runs.

#include <functional>
#include <string>
#include <string_view>

#include "app/report_observer.h"
#include "runtime/console.h"

namespace cli {

enum ExitStatus : int {
    EXIT_NO_CHANGES = 0,
    EXIT_CHANGES = 1,
    EXIT_ERROR = 2,
    EXIT_BAD_ARGUMENTS = 64,
};

class CliReport : public app::ReportObserver {
public:
    using Writer = std::function<rt::WriteResult(std::string_view text)>;

    // quiet: the status lines are off, and error texts are written here instead.
    CliReport(bool json, bool quiet, Writer output, Writer error)
        : json_(json), quiet_(quiet), output_(std::move(output)), error_(std::move(error)) {}

    // A line standard output does not take ends logging: with a message on standard
    // error, or quietly when its reader has gone.
    bool ChangeReported(const app::ReportedChange& change) override;
    void ErrorShown(const std::string& text) override;
    // On standard error even when quiet, prefixed by the program's name.
    void NoticeShown(const std::string& text) override;

    // loggingFailed: logging ended with an error text (the run's `failed`).
    int ExitStatus(bool loggingFailed) const;

private:
    bool json_;
    bool quiet_;
    Writer output_;
    Writer error_;
    bool changed_ = false;
    bool errorShown_ = false;
};

}  // namespace cli
