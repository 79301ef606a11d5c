// Change detection against an independent oracle: a generated tree of a few thousand
// entries is logged, changed at random, and logged again in size mode and digest mode;
// the reported lines must be exactly the ones the generator derived from its snapshots.

#include "tests/app/app_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "gui/gui.h"

namespace apptest {
namespace {

// Runs the tree generator; false when it is not available or fails.
bool RunTreeTool(const std::string& arguments) {
    const std::string command = "python3 '" TREE_TOOL "' " + arguments + " > /dev/null";
    return std::system(command.c_str()) == 0;
}

std::string Quote(const fs::path& path) {
    return "'" + path.string() + "'";
}

class OracleTest : public AppTest {
protected:
    // Logs with the mode's own datafile and gives the lines this run added to the report,
    // in the generator's form "<mode> <kind>: <path>".
    std::vector<std::string> LogIn(const std::string& mode) {
        ChooseDatafile(scratch / (mode + ".datafile"));
        if (app.run.md5 != (mode == "md5")) Click(g.md5Box);
        const std::size_t before = Report().size();
        Log();
        EXPECT_EQ(Status(), "Dir log run complete");
        std::vector<std::string> lines;
        const std::vector<std::string> report = Report();
        for (auto line = report.begin() + long(before); line != report.end(); ++line) {
            // "<T> - New file: path" becomes "size New file: path".
            lines.push_back(mode + " " + line->substr(std::string("<T> - ").size()));
        }
        return lines;
    }
};

TEST_F(OracleTest, ReportsExactlyTheGeneratorsChangesInBothModes) {
    fs::remove(tree);
    if (!RunTreeTool("make " + Quote(tree) + " --files 2000 --dirs 150 --max-size 8192 --seed 7")) {
        GTEST_SKIP() << "the tree generator could not run";
    }
    Browse(tree);
    EXPECT_TRUE(LogIn("size").empty());
    EXPECT_TRUE(LogIn("md5").empty());
    const fs::path expectFile = scratch / "expected";
    ASSERT_TRUE(RunTreeTool("mutate " + Quote(tree) + " --changes 60 --seed 11 --expect " +
                            Quote(expectFile)));
    std::vector<std::string> reported = LogIn("size");
    const std::vector<std::string> digestLines = LogIn("md5");
    reported.insert(reported.end(), digestLines.begin(), digestLines.end());
    std::sort(reported.begin(), reported.end());

    std::vector<std::string> expected;
    std::istringstream lines(ReadFile(expectFile));
    for (std::string line; std::getline(lines, line);) expected.push_back(line);
    ASSERT_GT(expected.size(), 20u);
    EXPECT_EQ(reported, expected);
}

}  // namespace
}  // namespace apptest
