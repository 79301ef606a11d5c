#pragma once
// The command line of tervala-cli: what it asks for, or why it cannot be run.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run_variables.h"

namespace cli {

inline constexpr const char* USAGE =
    "usage: tervala-cli [options] DIR\n"
    "Logs what changed in the tree of DIR since the last run: new, changed and removed\n"
    "files and directories, one line each on standard output.\n"
    "  -d, --datafile FILE   the datafile (default: the name derived from DIR, in the\n"
    "                        current directory, as the window derives it)\n"
    "  -l, --log FILE        also keep the log file, as the window's log option does\n"
    "  -m, --md5             identify files by their MD5 digest instead of their size\n"
    "  -i, --interval MIN    run again every MIN minutes until interrupted\n"
    "      --watch           after the first run, report each change within a second\n"
    "                        until interrupted; with --interval, also a full run every\n"
    "                        MIN minutes (a tree that cannot be watched whole gets one\n"
    "                        every MIN minutes, or every 5 without --interval)\n"
    "      --links WHICH     which symbolic links to follow: follow (all, the default),\n"
    "                        inside (those leading to a place inside DIR) or skip (none)\n"
    "      --exclude PATTERN leave out the entries whose path relative to DIR matches\n"
    "                        PATTERN ('*' and '?' within a name, '**' any number of\n"
    "                        names, a trailing '/' directories only: '**/*.tmp',\n"
    "                        'cache/', '**/.git/'); may be given more than once\n"
    "      --exclude-from FILE\n"
    "                        the patterns of FILE, one a line; blank lines and lines\n"
    "                        starting with '#' are skipped\n"
    "      --json            one JSON object per change line instead of text\n"
    "  -q, --quiet           no progress and no status lines on standard error\n"
    "  -h, --help            show this help\n"
    "  -V, --version         show the version\n"
    "Exit status: 0 no change, 1 changes reported, 2 logging ended with an error,\n"
    "64 bad arguments.\n";

struct Options {
    std::string dir;       // as given
    std::string datafile;  // empty: derived from DIR
    std::string logfile;   // empty: no log file
    bool md5 = false;
    std::optional<std::int32_t> intervalMinutes;
    bool watch = false;
    app::LinkChoice links = app::LinkChoice::Follow;
    std::vector<std::string> exclusions;  // in the order given, files' lines in place
    bool json = false;
    bool quiet = false;
};

enum class Action { Run, Help, Version, BadArguments };

struct ParsedArguments {
    Action action = Action::Run;
    Options options;
    std::string error;  // one line, for BadArguments
};

// Short options may be bundled ("-mq") and take their value attached ("-dFILE") or as the
// next argument; long ones as "--log FILE" or "--log=FILE". "--" ends the options. The file
// of "--exclude-from" is read here: one that cannot be read is a bad argument.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

// DIR as the window keeps the directory its requester returns: absolute, without "." and
// ".." steps (each taken as the system takes it, also after a link) and without a separator
// at the end (unless it is the root).
std::string MonitoredDirOf(const std::string& given);

}  // namespace cli
