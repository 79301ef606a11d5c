#include "app/run_variables.h"

namespace app {

void RunVariables::ResetDirs() {
    dirs.assign(1, dir);
    dirindex = 0;
}

void RunVariables::RequestStop() {
    stopped = true;
    lastpass = true;
    scandone = true;
    firstrun = true;
}

void RunVariables::Fail() {
    stopped = true;
    failed = true;
}

void RunVariables::ResetProgress() {
    progprev = 0;
    progtotal = 0;
    progcur = 0;
}

}  // namespace app
