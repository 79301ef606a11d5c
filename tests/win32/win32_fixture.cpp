#include "tests/win32/win32_fixture.h"

#include <chrono>
#include <thread>

#include "gui/gui.h"

namespace win32test {

namespace probe = gui::win32::probe;

namespace {
constexpr auto kPatience = std::chrono::seconds(10);
}  // namespace

bool PumpUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        gui::PumpSystem();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Settle() {
    for (int round = 0; round < 10; ++round) {
        gui::PumpSystem();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    TakeAllEvents();
}

std::vector<SeenEvent> TakeAllEvents() {
    std::vector<SeenEvent> events;
    while (gui::QueuedEventCount() > 0 && gui::TakeEvent() != 0) {
        events.push_back({gui::CurrentEventId(), gui::CurrentEventSource(), gui::CurrentEventData(),
                          gui::CurrentEventX(), gui::CurrentEventY()});
    }
    return events;
}

std::vector<SeenEvent> EventsOf(const std::vector<SeenEvent>& events, int id, const gui::TGadgetPtr& source) {
    std::vector<SeenEvent> result;
    for (const SeenEvent& e : events) {
        if (e.id == id && e.source == source) result.push_back(e);
    }
    return result;
}

std::vector<SeenEvent> AwaitEventsOf(int id, const gui::TGadgetPtr& source) {
    std::vector<SeenEvent> all;
    PumpUntil([&] {
        for (const SeenEvent& e : TakeAllEvents()) all.push_back(e);
        return !EventsOf(all, id, source).empty();
    });
    return EventsOf(all, id, source);
}

void MainWindowTest::SetUp() {
    app::BuildMainWindow(g);
    ASSERT_TRUE(g.window);
    ASSERT_TRUE(PumpUntil([&] { return probe::IsShown(g.window); }));
    probe::BringToFront(g.window);
    Settle();
}

void MainWindowTest::TearDown() {
    if (g.window) gui::DiscardGadget(g.window);
    Settle();
}

TRect MainWindowTest::Rect(int x, int y, int w, int h) const {
    return probe::Scaled(probe::WindowDpi(g.window), x, y, w, h);
}

void MainWindowTest::ResizeClient(int w, int h) {
    probe::ResizeFrame(g.window, w, h);
    const bool resized = PumpUntil([&] {
        return gui::ClientWidthOf(g.window) == w && gui::ClientHeightOf(g.window) == h;
    });
    ASSERT_TRUE(resized) << "client area stayed " << gui::ClientWidthOf(g.window) << "x"
                         << gui::ClientHeightOf(g.window);
}

}  // namespace win32test

namespace gui::win32::probe {
void PrintTo(const TRect& r, std::ostream* os) { *os << "{" << r.x << ", " << r.y << ", " << r.w << "x" << r.h << "}"; }
}  // namespace gui::win32::probe
