#pragma once
// The application's main window on the GTK driver under a real X server, with helpers to
// let GTK catch up, take the queued events and read the native widgets back.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "app/application.h"

namespace gtktest {

struct SeenEvent {
    int id;
    rt::TObjectPtr source;
    int data;
    int x, y;
};

// Lets GTK run until the condition holds; false if it still does not after some seconds.
bool PumpUntil(const std::function<bool()>& condition);
// Lets GTK run until nothing is pending, then drops every queued event.
void Settle();
// Every event waiting in the queue, in order.
std::vector<SeenEvent> TakeAllEvents();
// The events of one id and source.
std::vector<SeenEvent> EventsOf(const std::vector<SeenEvent>& events, int id,
                                const gui::TGadgetPtr& source);

// Native rectangle of a gadget's widget, relative to its window's client area.
GdkRectangle NativeRect(const gui::TGadgetPtr& gadget);
GdkRectangle Rect(int x, int y, int w, int h);
// The first widget of a type below the given one, depth first.
GtkWidget* FindWidget(GtkWidget* root, GType type);
GtkWindow* NativeWindow(const gui::TGadgetPtr& window);
// Text the status bar shows.
std::string StatusBarText(const gui::TGadgetPtr& window);

// Resizes the window's client area through the native window and waits for the layout.
void ResizeClient(const gui::TGadgetPtr& window, int w, int h);

// Input made by the X server's test extension, as a user's would be: a left click in the
// middle of the gadget, a key press and release with the gadget focused.
void Click(const gui::TGadgetPtr& gadget);
void TypeKey(const gui::TGadgetPtr& gadget, guint keyval);

// Adds every warning and critical GLib, GDK or GTK logs from now on to the list (still
// printing it); nullptr stops.
void RecordGtkWarnings(std::vector<std::string>* warnings);

// The main window; a test fails if GTK warned while it ran.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    app::MainWindow g;
    std::vector<std::string> warnings;
};

}  // namespace gtktest

bool operator==(const GdkRectangle& a, const GdkRectangle& b);
void PrintTo(const GdkRectangle& r, std::ostream* os);
