#include "app/cli/cli_report.h"

#include "app/cli/change_format.h"

namespace cli {

void CliReport::ChangeReported(const app::ReportedChange& change) {
    write_(json_ ? JsonChangeLine(change) : TextChangeLine(change));
    changed_ = true;
}

void CliReport::ErrorShown(const std::string& /*text*/) { errorShown_ = true; }

int CliReport::ExitStatus(bool loggingFailed) const {
    if (loggingFailed || errorShown_) return EXIT_ERROR;
    return changed_ ? EXIT_CHANGES : EXIT_NO_CHANGES;
}

}  // namespace cli
