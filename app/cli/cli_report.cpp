#include "app/cli/cli_report.h"

#include "app/cli/change_format.h"

namespace cli {

bool CliReport::ChangeReported(const app::ReportedChange& change) {
    const rt::WriteResult result = output_(json_ ? JsonChangeLine(change) : TextChangeLine(change));
    if (result.status == rt::WriteStatus::Written) {
        changed_ = true;
        return true;
    }
    errorShown_ = true;
    if (result.status == rt::WriteStatus::Failed) {
        error_("Failed to write to standard output: " + result.reason + "\n");
    }
    return false;
}

void CliReport::ErrorShown(const std::string& text) {
    errorShown_ = true;
    if (quiet_) error_(text + "\n");
}

void CliReport::NoticeShown(const std::string& text) {
    error_("tervala-cli: " + text + "\n");
}

int CliReport::ExitStatus(bool loggingFailed) const {
    if (loggingFailed || errorShown_) return EXIT_ERROR;
    return changed_ ? EXIT_CHANGES : EXIT_NO_CHANGES;
}

}  // namespace cli
