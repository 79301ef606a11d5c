#pragma once
// What tervala-cli makes of the application's reports: every change line on standard
// output as it is found, and the exit status they add up to over all logging runs.

#include <functional>
#include <string>
#include <string_view>

#include "app/report_observer.h"

namespace cli {

enum ExitStatus : int {
    EXIT_NO_CHANGES = 0,
    EXIT_CHANGES = 1,
    EXIT_ERROR = 2,
    EXIT_BAD_ARGUMENTS = 64,
};

class CliReport : public app::ReportObserver {
public:
    using Writer = std::function<void(std::string_view line)>;

    CliReport(bool json, Writer write) : json_(json), write_(std::move(write)) {}

    void ChangeReported(const app::ReportedChange& change) override;
    void ErrorShown(const std::string& text) override;

    // loggingFailed: logging ended with an error text (the run's `failed`).
    int ExitStatus(bool loggingFailed) const;

private:
    bool json_;
    Writer write_;
    bool changed_ = false;
    bool errorShown_ = false;
};

}  // namespace cli
