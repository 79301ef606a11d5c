#pragma once
// The application's main window on the Win32 driver, with helpers to pump messages and
// take the queued events; the native side is read and driven through the driver's probe.

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

#include "app/main_window.h"
#include "gui/platform/win32/win32_probe.h"

namespace win32test {

using gui::win32::probe::TRect;

struct SeenEvent {
    int id;
    rt::TObjectPtr source;
    int data;
    int x, y;
};

// Pumps messages until the condition holds; false if it still does not after some seconds.
bool PumpUntil(const std::function<bool()>& condition);
// Pumps until nothing more comes, then drops every queued event.
void Settle();
std::vector<SeenEvent> TakeAllEvents();
std::vector<SeenEvent> EventsOf(const std::vector<SeenEvent>& events, int id, const gui::TGadgetPtr& source);
// Pumps until events of this id and source have come, and gives them.
std::vector<SeenEvent> AwaitEventsOf(int id, const gui::TGadgetPtr& source);

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A rectangle of the tables (logical pixels) as the window's DPI shows it.
    TRect Rect(int x, int y, int w, int h) const;
    // Resizes the window as a user would and waits for the layout.
    void ResizeClient(int w, int h);

    app::MainWindow g;
};

}  // namespace win32test

namespace gui::win32::probe {
void PrintTo(const TRect& r, std::ostream* os);
}
