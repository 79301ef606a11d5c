#pragma once
// The state of logging kept by the main routine for the life of the program.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

struct RunVariables {
    // Chosen in the window; they survive from one logging to the next.
    std::string dir;
    std::string datafilepath;
    bool datafilechosen = false;
    std::string logpath;
    bool logchosen = false;
    bool md5 = false;
    bool intervalmode = false;
    std::int32_t minutes = 0;

    // Reset at every Start, changed while logging.
    bool stopped = false;
    bool failed = false;
    bool firstrun = false;
    bool lastpass = false;
    bool scandone = false;
    // The run showed an error that must not be covered by a "complete" text (a failed
    // save or log file); the next run's "started" text may replace it.
    bool errorshown = false;
    std::vector<std::string> dirs;
    std::size_t dirindex = 0;
    int runnumber = 0;
    std::uint64_t runstart = 0;
    std::string logtext;
    float progprev = 0;
    float progtotal = 0;
    float progcur = 0;

    // The list holding `dir` alone, and position 0.
    void ResetDirs();
    // What every stop request during a logging run sets.
    void RequestStop();
    // What an error that ends logging sets; its text stays in the status label.
    void Fail();
    void ResetProgress();
};

}  // namespace app
