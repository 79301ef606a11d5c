// The expectations: each compares what the application shows or wrote with the script.

#include <algorithm>

#include "runtime/filesystem.h"
#include "runtime/stream.h"
#include "runtime/textfile.h"
#include "tools/scenario/command_table.h"
#include "tools/scenario/line_match.h"
#include "tools/scenario/sqlite_file.h"
#include "tools/scenario/steps.h"

namespace scenario {
namespace {

std::string Differs(const std::string& what, const std::string& expected,
                    const std::string& found) {
    if (expected == found) return {};
    return "expected " + what + " " + Quoted(expected) + ", found " + Quoted(found);
}

std::string Numbers(const std::string& what, long long expected, long long found) {
    if (expected == found) return {};
    return "expected " + what + " " + std::to_string(expected) + ", found " +
           std::to_string(found);
}

std::string Lines(const std::string& what, const std::vector<std::string>& expected,
                  const std::vector<std::string>& found, TLineMatch match) {
    std::string mismatch = DescribeMismatch(expected, found, match);
    return mismatch.empty() ? mismatch : what + " differs:" + mismatch;
}

// The log file's lines; each must end with CR LF.
bool ReadLogLines(const std::string& path, std::vector<std::string>& lines, std::string& error) {
    std::string text;
    switch (rt::LoadTextFile(path, text)) {
    case rt::LoadStatus::Missing:
        error = "expected the log file " + path + ", found nothing there";
        return false;
    case rt::LoadStatus::Failed:
        error = "cannot read the log file " + path;
        return false;
    case rt::LoadStatus::Loaded:
        break;
    }
    lines.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            error = "the log file " + path + " ends with a line without CR LF: " +
                    Quoted(text.substr(start));
            return false;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return true;
}

std::string CheckLog(const TCommand& command, TLineMatch match) {
    std::vector<std::string> lines;
    std::string error;
    if (!ReadLogLines(command.args[0], lines, error)) return error;
    return Lines("the log file " + command.args[0], command.block, lines, match);
}

std::string HexOf(std::string_view bytes) {
    static constexpr char DIGITS[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char byte : bytes) (hex += DIGITS[byte >> 4]) += DIGITS[byte & 15];
    return hex;
}

std::string CheckBytes(const std::string& path, const std::string& expected) {
    auto stream = rt::TReadStream::Open(path);
    if (!stream) return "cannot read " + path;
    std::string found(expected.size(), '\0');
    const std::int64_t count =
        stream->Read(found.data(), static_cast<std::int64_t>(found.size()));
    found.resize(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
    if (found == expected) return {};
    return "expected " + path + " to begin with the bytes " + HexOf(expected) + ", found " +
           (found.empty() ? std::string("no bytes") : HexOf(found));
}

std::string CheckRows(const TCommand& command, TLineMatch match) {
    std::vector<std::string> rows;
    std::string error;
    if (!ReadFileRows(command.args[0], command.args[1], rows, error)) return error;
    return Lines("table " + command.args[1] + " of " + command.args[0], command.block, rows,
                 match);
}

std::string CheckGadget(const TCommand& command, TScenarioHost& host) {
    const std::string& name = command.name;
    const std::string& gadget = command.args[0];
    if (!host.HasGadget(gadget)) return MissingGadget(gadget);
    if (name == "expect-text") {
        return Differs("the text of " + gadget, command.args[1], host.GadgetText(gadget));
    }
    if (name == "expect-enabled" || name == "expect-disabled") {
        const bool wanted = name == "expect-enabled";
        if (host.GadgetEnabled(gadget) == wanted) return {};
        return "expected " + gadget + (wanted ? " enabled, found it disabled"
                                              : " disabled, found it enabled");
    }
    if (name == "expect-state") {
        return Numbers("the state of " + gadget, ArgumentNumber(command.args[1]),
                       host.ButtonState(gadget));
    }
    const TRect r = host.GadgetRect(gadget);  // expect-geometry
    const std::string found = std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                              std::to_string(r.w) + " " + std::to_string(r.h);
    const std::string expected = command.args[1] + " " + command.args[2] + " " +
                                 command.args[3] + " " + command.args[4];
    return Differs("the rectangle of " + gadget, expected, found);
}

std::string CheckPresence(const std::string& path, bool wanted) {
    if (rt::PathExists(path) == wanted) return {};
    return wanted ? "expected something at " + path + ", found nothing"
                  : "expected nothing at " + path + ", found something";
}

// The block commands come in three forms: NAME, NAME-set and NAME-order.
TLineMatch LineMatchOf(const std::string& name) {
    if (name.ends_with("-set")) return TLineMatch::AnyOrder;
    if (name.ends_with("-order")) return TLineMatch::Subsequence;
    return TLineMatch::Exact;
}

}  // namespace

std::string CheckExpectation(const TCommand& command, TScenarioHost& host) {
    const std::string& name = command.name;
    const std::vector<std::string>& a = command.args;
    if (name == "expect-status") {
        return Differs("the status label", a[0], host.GadgetText("status"));
    }
    if (name == "expect-statusbar") return Differs("the status bar", a[0], host.StatusBarText());
    if (name == "expect-progress") {
        return Numbers("the progress", ArgumentNumber(a[0]), host.ProgressSteps());
    }
    if (name == "expect-url-opened") {
        if (host.TakeOpenedUrls() > 0) return {};
        return "expected a URL to have been opened, found none";
    }
    if (name == "expect-report-count") {
        return Numbers("the number of report lines", ArgumentNumber(a[0]),
                       static_cast<long long>(MaskedReportLines(host).size()));
    }
    if (name.starts_with("expect-report")) {
        return Lines("the report", command.block, MaskedReportLines(host), LineMatchOf(name));
    }
    if (name.starts_with("expect-log")) return CheckLog(command, LineMatchOf(name));
    if (name.starts_with("expect-rows")) return CheckRows(command, LineMatchOf(name));
    if (name == "expect-bytes") return CheckBytes(a[0], ArgumentBytes(a[1]));
    if (name == "expect-missing" || name == "expect-exists") {
        return CheckPresence(a[0], name == "expect-exists");
    }
    return CheckGadget(command, host);
}

}  // namespace scenario
