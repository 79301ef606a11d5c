// The poll step runs once per scanned entry, so a poll that finds nothing pending must cost
// only a few microseconds. Measured with the application's window shown and idle.

#include <benchmark/benchmark.h>

#include "app/application.h"
#include "app/poll_step.h"
#include "gui/gui.h"
#include "gui/systemdriver.h"

namespace {

// The application with its main window, built once (and kept, so its gadgets stay wired to
// their widgets) and left to settle so that nothing is pending.
app::Application& ShowIdleWindow() {
    static app::Application application;
    if (application.gadgets.window) return application;
    app::BuildMainWindow(application.gadgets);
    for (int i = 0; i < 200; ++i) {
        gui::PumpSystem();
        while (gui::TakeEvent() != 0) {
        }
    }
    return application;
}

// The driver's own drain of the GTK main loop.
void BM_GtkPollNothingPending(benchmark::State& state) {
    ShowIdleWindow();
    gui::TSystemDriver& driver = gui::CurrentSystemDriver();
    for (auto _ : state) driver.Poll();
}
BENCHMARK(BM_GtkPollNothingPending);

// What the application's poll step calls: an empty queue pumps the system once.
void BM_TakeEventNothingPending(benchmark::State& state) {
    ShowIdleWindow();
    for (auto _ : state) benchmark::DoNotOptimize(gui::TakeEvent());
}
BENCHMARK(BM_TakeEventNothingPending);

// The whole poll step of logging, as poll_step_bench measures it on the headless driver.
void BM_PollStepNothingPending(benchmark::State& state) {
    app::Application& application = ShowIdleWindow();
    for (auto _ : state) benchmark::DoNotOptimize(app::PollStep(application));
}
BENCHMARK(BM_PollStepNothingPending);

}  // namespace
