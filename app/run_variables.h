#pragma once
// The state of logging kept by the main routine for the life of the program, and the
// transitions of logging that change it: which flags each sets is written here alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

// Which links the scan follows: all of them (the window's way), only those whose target
// lies inside the monitored tree, or none.
enum class LinkChoice { Follow, Inside, Skip };

struct RunVariables {
    // Chosen in the window; they survive from one logging to the next.
    std::string dir;
    std::string datafilepath;
    bool datafilechosen = false;
    std::string logpath;
    bool logchosen = false;
    bool md5 = false;
    bool intervalmode = false;
    // Changes are watched for between runs (the command line's --watch); `minutes` is
    // then the time between full runs, 0 for none.
    bool watchmode = false;
    std::int32_t minutes = 0;
    // The window always follows links; the command line may choose otherwise.
    LinkChoice links = LinkChoice::Follow;
    // Globs of the entries a run leaves out (app/exclusion_rule.h); the window keeps none.
    std::vector<std::string> exclusions;
    // Change lines of the log that no write could save yet; the next write that succeeds
    // puts them, in order, before its own run's lines.
    std::string unwrittenlog;
    // The log those lines were meant for, absolute; lines for another log than the one
    // chosen go to the chosen one.
    std::string unwrittenlogpath;

    // Reset at every Start, changed while logging.
    bool stopped = false;
    bool failed = false;
    bool firstrun = false;
    bool lastpass = false;
    bool scandone = false;
    // The run showed an error that must not be covered by a "complete" text (a directory
    // that could not be read, a failed save or log file); the next run's "started" text
    // may replace it.
    bool errorshown = false;
    // The scan found the followed list row for row; and the followed lists already held
    // what the run would write, so that it writes nothing.
    bool listunchanged = false;
    bool nothingtosave = false;
    std::vector<std::string> dirs;
    std::size_t dirindex = 0;
    int runnumber = 0;
    // Change lines the current logging run has reported.
    int changecount = 0;
    std::uint64_t runstart = 0;
    std::string logtext;
    float progprev = 0;
    float progtotal = 0;
    float progcur = 0;

    // "Start logging" pressed: the first logging run begins now.
    void BeginLogging(std::uint64_t now);
    // The interval has passed: the next logging run begins.
    void BeginNextRun();
    // The scan starts at the monitored directory.
    void BeginScan();
    // The Start/Stop button during a logging run.
    void RequestStop();
    // The Start/Stop button during the interval wait, or a run that had already stopped.
    void StopWaiting();
    // An error that ends logging; its text stays in the status label.
    void Fail();
    // The load worker has ended, after a stop request or not, with the load failed or not.
    void EndLoad(bool stopRequested, bool loadFailed);
    // The scan was saved: from here the comparison measures its progress.
    void EndScan();
    // The comparison is over; without interval or watch mode this was the last logging run.
    void EndRun();
    // The lines a killed run owed the log are written: the first run counts and builds
    // its log text afresh.
    void EndOwedLines();

private:
    // The list holding `dir` alone, and position 0.
    void ResetDirs();
    void ResetProgress();
};

}  // namespace app
