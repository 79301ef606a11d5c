// Standard error as the console driver shows logging: status lines, and the progress
// line drawn in place at most ten times a second, fitted to the terminal.

#include "gui/platform/console/consoledisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

namespace {

using gui::console::ProgressLine;
using gui::console::TConsoleDisplay;

constexpr const char* ERASE = "\r\x1b[K";

TEST(ConsoleProgressLine, BarAndPercentAsTheWindowsBarSteps) {
    EXPECT_EQ(ProgressLine(0.0f, "/t/a", 80), "[....................]   0% /t/a");
    EXPECT_EQ(ProgressLine(0.456f, "", 80), "[#########...........]  45% ");
    EXPECT_EQ(ProgressLine(1.0f, "x", 80), "[####################] 100% x");
    // Past the end and not a number, as the bar takes them.
    EXPECT_EQ(ProgressLine(3.0f, "", 80), ProgressLine(1.0f, "", 80));
    EXPECT_EQ(ProgressLine(std::nanf(""), "", 80), ProgressLine(0.0f, "", 80));
}

TEST(ConsoleProgressLine, ALongItemKeepsItsEndWithinTheWidth) {
    const std::string item = "/srv/share/projects/2026/reports/quarterly/summary-final.txt";
    const std::string line = ProgressLine(0.5f, item, 50);
    EXPECT_EQ(line.size(), 49u);  // one column short of the width: a full line would wrap
    EXPECT_EQ(line.substr(28), ".../summary-final.txt");
    // Too narrow for any of it: the bar alone.
    EXPECT_EQ(ProgressLine(0.5f, item, 30), "[##########..........]  50% ");
}

TEST(ConsoleProgressLine, CharactersCountAsColumnsAndUnshowableOnesAsQuestionMarks) {
    // Six characters in eight bytes fit exactly in six columns.
    EXPECT_EQ(ProgressLine(0, "caf\xc3\xa9\xc3\xa9!", 35).substr(28), "caf\xc3\xa9\xc3\xa9!");
    EXPECT_EQ(ProgressLine(0, "a\nb\x1b[2Jc\xff", 80).substr(28), "a?b?[2Jc?");
}

// A display writing into a string, on a clock the test sets.
struct Screen {
    std::string written;
    std::uint64_t now = 1000;
    TConsoleDisplay display{[this](std::string_view text) { written += text; },
                            [this] { return now; }, [] { return 0; }};

    std::string Take() { return std::exchange(written, {}); }
};

TEST(ConsoleDisplay, StatusTextsAreLinesOfTheirOwnAndQuietDropsThem) {
    Screen screen;
    screen.display.ShowStatus("Dir log run started");
    screen.display.ShowStatus("");
    EXPECT_EQ(screen.Take(), "Dir log run started\n");
    // Without a progress line progress writes nothing.
    screen.display.ShowProgress(0.5f);
    screen.display.ShowItem("/t/a");
    EXPECT_EQ(screen.Take(), "");

    screen.display.Configure({false, false});
    screen.display.ShowStatus("Dir log run complete");
    EXPECT_EQ(screen.Take(), "");
}

TEST(ConsoleDisplay, ProgressIsRedrawnAtMostTenTimesASecond) {
    Screen screen;
    screen.display.Configure({true, true});
    screen.display.ShowItem("/t/a");
    EXPECT_EQ(screen.Take(), "\r" + ProgressLine(0, "/t/a", 80) + "\x1b[K");
    screen.now += 99;
    screen.display.ShowProgress(0.5f);
    screen.display.ShowItem("/t/b");
    EXPECT_EQ(screen.Take(), "");
    screen.now += 1;
    screen.display.ShowItem("/t/c");
    EXPECT_EQ(screen.Take(), "\r" + ProgressLine(0.5f, "/t/c", 80) + "\x1b[K");
}

TEST(ConsoleDisplay, StatusLinesAndOtherOutputStartOnACleanLine) {
    Screen screen;
    screen.display.Configure({true, true});
    screen.display.ShowItem("/t/a");
    screen.Take();
    screen.display.ShowStatus("Failed To read directory /t/x, skipping");
    EXPECT_EQ(screen.Take(), std::string(ERASE) + "Failed To read directory /t/x, skipping\n");
    // Erased once; nothing is left to erase.
    screen.display.ClearProgressLine();
    EXPECT_EQ(screen.Take(), "");

    screen.now += 100;
    screen.display.ShowProgress(1.0f);
    screen.display.ClearProgressLine();
    EXPECT_EQ(screen.Take(), "\r" + ProgressLine(1.0f, "/t/a", 80) + "\x1b[K" + ERASE);
}

}  // namespace
