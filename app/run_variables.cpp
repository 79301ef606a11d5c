#include "app/run_variables.h"

namespace app {

void RunVariables::BeginLogging(std::uint64_t now) {
    runstart = now;
    runnumber = 1;
    changecount = 0;
    stopped = failed = lastpass = scandone = firstrun = false;
    errorshown = false;
    listunchanged = nothingtosave = false;
    ResetDirs();
    logtext.clear();
    ResetProgress();
}

void RunVariables::BeginNextRun() {
    scandone = false;
    firstrun = false;
    ResetDirs();
    runnumber += 1;
    changecount = 0;
    stopped = false;
    errorshown = false;
    ResetProgress();
    logtext.clear();
}

void RunVariables::BeginScan() {
    listunchanged = nothingtosave = false;
    ResetDirs();
    scandone = false;
}

void RunVariables::RequestStop() {
    stopped = true;
    lastpass = true;
    scandone = true;
    firstrun = true;
}

void RunVariables::StopWaiting() {
    stopped = true;
    lastpass = true;
    scandone = true;
    ResetDirs();
}

void RunVariables::Fail() {
    stopped = true;
    failed = true;
}

void RunVariables::EndLoad(bool stopRequested, bool loadFailed) {
    if (stopRequested) RequestStop();
    if (loadFailed) Fail();
}

void RunVariables::EndScan() {
    progtotal = progtotal * 2 + progcur;
    scandone = false;
}

void RunVariables::EndRun() {
    if (!intervalmode && !watchmode) lastpass = true;
}

void RunVariables::EndOwedLines() {
    ResetProgress();
    logtext.clear();
}

void RunVariables::ResetDirs() {
    dirs.assign(1, dir);
    dirindex = 0;
}

void RunVariables::ResetProgress() {
    progprev = 0;
    progtotal = 0;
    progcur = 0;
}

}  // namespace app
