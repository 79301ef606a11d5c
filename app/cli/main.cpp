// tervala-cli [options] DIR
// The application's logging on the console driver: the window's gadgets kept in memory,
// change lines on standard output, status and progress on standard error. Logging starts
// at once, as if "Start logging" had been pressed; Ctrl+C, SIGTERM and SIGHUP press
// "Stop logging".

#include <string>

#include "app/application.h"
#include "app/cli/cli_report.h"
#include "app/cli/options.h"
#include "app/logging.h"
#include "gui/gui.h"
#include "gui/platform/console/console.h"
#include "runtime/console.h"
#include "runtime/filesystem.h"
#include "runtime/process.h"
#include "runtime/program.h"

namespace {

int BadArguments(const std::string& error) {
    rt::WriteStandard(rt::StandardStream::Error,
                      "tervala-cli: " + error + "\n" + std::string(cli::USAGE));
    return cli::EXIT_BAD_ARGUMENTS;
}

// DIR is there but cannot be examined: an error of logging, not of the arguments.
int CannotRead(const std::string& error) {
    rt::WriteStandard(rt::StandardStream::Error, "tervala-cli: " + error + "\n");
    return cli::EXIT_ERROR;
}

rt::WriteResult WriteChangeLine(std::string_view line) {
    gui::console::ClearProgressLine();
    return rt::WriteStandard(rt::StandardStream::Output, line);
}

rt::WriteResult WriteError(std::string_view text) {
    return rt::WriteStandard(rt::StandardStream::Error, text);
}

// The choices the window's fields, requesters and check boxes would have made.
void ChooseAsInTheWindow(app::Application& application, const cli::Options& options) {
    app::RunVariables& run = application.run;
    run.dir = cli::MonitoredDirOf(options.dir);
    run.datafilechosen = !options.datafile.empty();
    run.datafilepath = options.datafile;
    run.logchosen = !options.logfile.empty();
    run.logpath = options.logfile;
    run.md5 = options.md5;
    run.links = options.links;
    run.exclusions = options.exclusions;
    run.intervalmode = options.intervalMinutes.has_value();
    run.watchmode = options.watch;
    if (run.intervalmode) {
        gui::PutGadgetText(application.gadgets.intervalField,
                           std::to_string(*options.intervalMinutes));
    }
}

[[noreturn]] void RunFromConsole(const cli::Options& options) {
    const bool terminal = rt::IsTerminal(rt::StandardStream::Error);
    gui::console::Configure({!options.quiet, !options.quiet && terminal});
    rt::CatchInterrupts();
    rt::IgnoreClosedPipes();

    app::Application application;
    app::BuildMainWindow(application.gadgets);
    ChooseAsInTheWindow(application, options);
    gui::console::PressOnInterrupt([&application] { return application.gadgets.startStopButton; });
    cli::CliReport report(options.json, options.quiet, WriteChangeLine, WriteError);
    application.observer = &report;

    app::RunLogging(application);

    // The process ends as the window's does, at once: an abandoned worker may still run.
    // Stopped by a signal, it ends with the status a shell gives a process the signal ended.
    gui::console::ClearProgressLine();
    const int interrupted = rt::InterruptStatus();
    rt::EndProcess(interrupted != 0 ? interrupted : report.ExitStatus(application.run.failed));
}

}  // namespace

int main(int argc, char** argv) {
    const cli::ParsedArguments parsed = cli::ParseArguments(rt::ProgramArguments(argc, argv));
    switch (parsed.action) {
        case cli::Action::Help:
            rt::WriteStandard(rt::StandardStream::Output, cli::USAGE);
            return cli::EXIT_NO_CHANGES;
        case cli::Action::Version:
            rt::WriteStandard(rt::StandardStream::Output, "tervala-cli " TERVALA_VERSION "\n");
            return cli::EXIT_NO_CHANGES;
        case cli::Action::BadArguments: return BadArguments(parsed.error);
        case cli::Action::Run: break;
    }
    const rt::EntryStatus dir = rt::QueryPath(parsed.options.dir);
    if (!dir.Answered()) return CannotRead(parsed.options.dir + ": " + dir.failure);
    if (dir.Absent()) return BadArguments(parsed.options.dir + ": No such file or directory");
    if (dir.kind != rt::ENTRY_DIR) return BadArguments(parsed.options.dir + ": not a directory");
    RunFromConsole(parsed.options);
}
