// tervala-scenario [--root DIR] [--keep] SCRIPT
// Runs the application's real main routine on the headless driver and plays the script
// against it. Exit status 0 passed, 1 failed or malformed, 2 past the time limit.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "app/idle_loop.h"
#include "gui/platform/headless/headless.h"
#include "runtime/filesystem.h"
#include "runtime/native_path.h"
#include "runtime/path.h"
#include "runtime/process.h"
#include "runtime/program.h"
#include "tools/scenario/gadget_table.h"
#include "tools/scenario/headless_host.h"
#include "tools/scenario/scenario_run.h"
#include "tools/scenario/script.h"
#include "tools/scenario/session.h"

namespace {

using namespace scenario;

struct TOptions {
    std::string root;  // empty: a fresh scratch directory
    bool keep = false;
    std::string script;
};

bool ParseOptions(const std::vector<std::string>& arguments, TOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--keep") {
            options.keep = true;
        } else if (argument == "--root" && i + 1 < arguments.size()) {
            options.root = arguments[++i];
        } else if (argument.rfind("--", 0) == 0 || !options.script.empty()) {
            return false;
        } else {
            options.script = argument;
        }
    }
    return !options.script.empty();
}

bool ReadScript(const std::string& path, std::string& text) {
    std::ifstream in(rt::NativePath(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return static_cast<bool>(in);
}

// An existing directory given with --root, absolute and without trailing separator.
bool TakeGivenRoot(const std::string& given, std::string& root, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (!fs::is_directory(rt::NativePath(given), code)) {
        error = "--root " + given + ": no such directory";
        return false;
    }
    root = rt::PathText(fs::absolute(rt::NativePath(given), code));
    while (root.size() > 1 && root.back() == rt::PATH_SEPARATOR) root.pop_back();
    return true;
}

[[noreturn]] void Quit(int code, const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(code);
}

// Ends the process when the scenario has run past its limit, wherever it is.
void StartWatchdog(TSession& session, const TScenarioRun& run, const std::string& script,
                   int seconds) {
    std::thread([&session, &run, script, seconds] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        session.End(EXIT_TIMED_OUT, script + ":" + std::to_string(run.CurrentLine()) +
                                        ": the scenario ran past its time limit of " +
                                        std::to_string(seconds) + " s");
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!ParseOptions(rt::ProgramArguments(argc, argv), options)) {
        Quit(EXIT_FAILED, "usage: tervala-scenario [--root DIR] [--keep] SCRIPT");
    }
    std::string text;
    if (!ReadScript(options.script, text)) Quit(EXIT_FAILED, "cannot read " + options.script);

    std::string root;
    std::string error;
    const bool ownsRoot = options.root.empty();
    if (ownsRoot ? (root = MakeScratchDirectory(error)).empty()
                 : !TakeGivenRoot(options.root, root, error)) {
        Quit(EXIT_FAILED, error);
    }
    TSession session(root, ownsRoot, options.keep);

    TScript script;
    const TPlaceholders placeholders{root, std::string(1, rt::PATH_SEPARATOR)};
    if (!ParseScript(options.script, text, placeholders, script, error)) {
        session.End(EXIT_FAILED, error);
    }
    const int timeoutSeconds = script.timeoutSeconds;
    THeadlessHost host(
        [](std::string_view name) { return GadgetNamed(app::TheApplication().gadgets, name); });
    TScenarioRun run(options.script, std::move(script), host);

    const std::string passed =
        "scenario passed: " + std::to_string(run.CommandCount()) + " commands";
    auto conclude = [&](const TOutcome& outcome) {
        if (outcome.kind == TOutcome::Passed) session.End(EXIT_PASSED, passed);
        if (outcome.kind == TOutcome::Failed) session.End(EXIT_FAILED, outcome.message);
    };
    gui::headless::SetWaitHandler([&] { conclude(run.OnIdle()); });
    gui::headless::SetPollHandler([&] { conclude(run.OnPoll()); });
    gui::headless::SetUnansweredHandler([&](const gui::headless::TRequesterCall& call) {
        conclude(run.OnUnansweredRequester(call.kind == gui::headless::REQUEST_DIR ? "directory"
                                                                                   : "file"));
    });
    rt::SetEndProcessHandler([&](int status) { conclude(run.OnProcessEnd(status)); });
    StartWatchdog(session, run, options.script, timeoutSeconds);

    // The application takes the directory it is started in as its launch directory.
    if (!rt::ChangeDir(root)) session.End(EXIT_FAILED, "cannot enter " + root);
    const int status = app::RunMain();
    conclude(run.OnProcessEnd(status));
    return EXIT_FAILED;
}
