// The poll step runs once per scanned entry, so a poll that finds nothing pending must cost
// little. Here on the headless driver; gtk_poll_bench measures the same on GTK.

#include <benchmark/benchmark.h>

#include "app/application.h"
#include "app/poll_step.h"
#include "gui/gui.h"

namespace {

void BM_PollStepNothingPending(benchmark::State& state) {
    static app::Application application;
    if (!application.gadgets.window) {
        app::BuildMainWindow(application.gadgets);
        while (gui::TakeEvent() != 0) {
        }
    }
    for (auto _ : state) benchmark::DoNotOptimize(app::PollStep(application));
}
BENCHMARK(BM_PollStepNothingPending);

}  // namespace
