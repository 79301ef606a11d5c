// The command line of tervala-cli: every option in its forms, every way it can be wrong,
// and DIR made absolute the way the window's directory requester gives it.

#include "app/cli/options.h"

#include <gtest/gtest.h>

#include "runtime/filesystem.h"
#include "runtime/path.h"
#include "tests/support/temp_dir.h"

namespace {

using cli::Action;
using cli::ParseArguments;

cli::ParsedArguments Parse(std::initializer_list<std::string> arguments) {
    return ParseArguments(std::vector<std::string>(arguments));
}

TEST(CliOptions, ShortLongBundledAndAttachedFormsMeanTheSame) {
    for (const auto& parsed :
         {Parse({"-d", "a.db", "-l", "a.log", "-m", "-i", "5", "--json", "-q", "--watch", "tree"}),
          Parse({"--datafile=a.db", "--log", "a.log", "--md5", "--interval=5", "--json", "--quiet",
                 "--watch", "tree"}),
          Parse({"tree", "--watch", "-mqda.db", "--json", "-la.log", "-i5"})}) {
        ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
        EXPECT_EQ(parsed.options.dir, "tree");
        EXPECT_EQ(parsed.options.datafile, "a.db");
        EXPECT_EQ(parsed.options.logfile, "a.log");
        EXPECT_TRUE(parsed.options.md5);
        EXPECT_EQ(parsed.options.intervalMinutes, 5);
        EXPECT_TRUE(parsed.options.json);
        EXPECT_TRUE(parsed.options.quiet);
        EXPECT_TRUE(parsed.options.watch);
    }
}

TEST(CliOptions, DoubleDashAndLoneDashMakeOperands) {
    EXPECT_EQ(Parse({"--", "-odd"}).options.dir, "-odd");
    EXPECT_EQ(Parse({"-"}).options.dir, "-");
    EXPECT_EQ(Parse({"--datafile", "--json", "tree"}).options.datafile, "--json");
}

TEST(CliOptions, IntervalIsAWholeNumberOfMinutes) {
    EXPECT_EQ(Parse({"-i", "0", "t"}).options.intervalMinutes, 0);
    EXPECT_EQ(Parse({"-i", "007", "t"}).options.intervalMinutes, 7);
    EXPECT_EQ(Parse({"-i", "2147483647", "t"}).options.intervalMinutes, 2147483647);
    for (const char* bad : {"abc", "-1", "+5", " 5", "1.5", "5min", "99999999999x"}) {
        const auto parsed = Parse({"--interval", bad, "t"});
        EXPECT_EQ(parsed.action, Action::BadArguments) << bad;
        EXPECT_EQ(parsed.error, std::string("option '--interval': '") + bad +
                                    "' is not a whole number of minutes (0 or more)");
    }
    for (const char* big : {"2147483648", "99999999999", "000099999999999999999999"}) {
        EXPECT_EQ(Parse({"-i", big, "t"}).error, std::string("option '-i': '") + big +
                                                     "' is too large (at most 2147483647 minutes)");
    }
}

TEST(CliOptions, EveryBadArgumentHasItsOneLineError) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no DIR given"},
        {{"-q"}, "no DIR given"},
        {{""}, "DIR is empty"},
        {{"a", "b"}, "more than one DIR given: 'b'"},
        {{"--frobnicate", "t"}, "unknown option '--frobnicate'"},
        {{"-mx", "t"}, "unknown option '-x'"},
        {{"t", "-d"}, "option '-d' needs a value"},
        {{"t", "--log"}, "option '--log' needs a value"},
        {{"--log=", "t"}, "option '--log' needs a value"},
        {{"-d", "", "t"}, "option '-d' needs a value"},
        {{"--json=yes", "t"}, "option '--json' takes no value"},
        {{"--watch=1", "t"}, "option '--watch' takes no value"},
        {{"--exclude", "", "t"}, "option '--exclude' needs a value"},
        {{"--exclude=//", "t"}, "option '--exclude': '//' names no entry"},
        {{"--exclude-from", "missing.txt", "t"},
         "option '--exclude-from': cannot read 'missing.txt': No such file or directory"},
        {{"--exclude-from=.", "t"}, "option '--exclude-from': cannot read '.': Is a directory"},
    };
    for (const auto& [arguments, error] : cases) {
        const auto parsed = ParseArguments(arguments);
        EXPECT_EQ(parsed.action, Action::BadArguments) << error;
        EXPECT_EQ(parsed.error, error);
    }
}

TEST(CliOptions, ExclusionsKeepTheirOrderAndFilesSkipCommentsAndBlankLines) {
    const testsupport::TempDir temp;
    const std::string file = temp.write("patterns", "\xEF\xBB\xBF# build output\r\n**/*.o\r\n"
                                                    "\n   \n cache/\n#x\n[#]notes\nlast");
    const auto parsed = Parse({"--exclude", "*.tmp", "--exclude-from", file, "--exclude=a/**", "t"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    EXPECT_EQ(parsed.options.exclusions,
              (std::vector<std::string>{"*.tmp", "**/*.o", " cache/", "[#]notes", "last", "a/**"}));

    const std::string bad = temp.write("bad", "ok\n\n/\n");
    EXPECT_EQ(Parse({"--exclude-from", bad, "t"}).error,
              "option '--exclude-from': '" + bad + "' line 3: '/' names no entry");
}

TEST(CliOptions, MonitoredDirIsAbsoluteAndPlain) {
    const std::string here = rt::CurrentDir();
    EXPECT_EQ(cli::MonitoredDirOf("tree"), here + rt::PATH_SEPARATOR + "tree");
    EXPECT_EQ(cli::MonitoredDirOf("tree/"), here + rt::PATH_SEPARATOR + "tree");
    EXPECT_EQ(cli::MonitoredDirOf("."), here);
#ifdef _WIN32
    EXPECT_EQ(cli::MonitoredDirOf("C:\\a\\.\\b\\..\\c\\\\"), "C:\\a\\c");
    EXPECT_EQ(cli::MonitoredDirOf("C:/a/c"), "C:\\a\\c");
    EXPECT_EQ(cli::MonitoredDirOf("C:\\"), "C:\\");
    EXPECT_EQ(cli::MonitoredDirOf("C:\\srv\\My Files"), "C:\\srv\\My Files");
#else
    EXPECT_EQ(cli::MonitoredDirOf("/a/./b/../c//"), "/a/c");
    EXPECT_EQ(cli::MonitoredDirOf("/"), "/");
    EXPECT_EQ(cli::MonitoredDirOf("/srv/My Files"), "/srv/My Files");
#endif
}

}  // namespace
