// What GTK draws inside the gadgets' rectangles: no warning at any window size, the interval
// field's digits whole, the texts of one row on one line, the status bar whole.

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "gui/gui.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "tests/gtk/gtk_fixture.h"

namespace gtktest {
namespace {

GtkWidget* ClientArea(const app::MainWindow& g) {
    return gtk_widget_get_parent(gui::gtk::WidgetOf(g.dirField));
}

GtkWidget* LabelWithText(GtkWidget* area, const char* text) {
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(area));
    for (GList* c = children; c != nullptr; c = c->next) {
        if (GTK_IS_LABEL(c->data) && g_strcmp0(gtk_label_get_text(GTK_LABEL(c->data)), text) == 0)
            found = GTK_WIDGET(c->data);
    }
    g_list_free(children);
    return found;
}

// The baseline of a label's text, in the client area's coordinates: the label and the
// check box draw in the area's own GdkWindow, where allocations are measured too.
int LabelBaseline(GtkWidget* label) {
    int x = 0, y = 0;
    gtk_label_get_layout_offsets(GTK_LABEL(label), &x, &y);
    return y + pango_layout_get_baseline(gtk_label_get_layout(GTK_LABEL(label))) / PANGO_SCALE;
}

int EntryBaseline(GtkEntry* entry) {
    int x = 0, y = 0;
    gtk_entry_get_layout_offsets(entry, &x, &y);
    GtkAllocation allocation;
    gtk_widget_get_allocation(GTK_WIDGET(entry), &allocation);
    return allocation.y + y + pango_layout_get_baseline(gtk_entry_get_layout(entry)) / PANGO_SCALE;
}

// The outer window to exactly this size behind GtkWindow's back, as a window manager that
// ignores GTK's size hints (or none at all) may make it.
void ResizeOuterRaw(const gui::TGadgetPtr& window, int w, int h) {
    gdk_window_resize(gtk_widget_get_window(GTK_WIDGET(NativeWindow(window))), w, h);
    Settle();
}

void ResizeOuter(const gui::TGadgetPtr& window, int w, int h) {
    gtk_window_resize(NativeWindow(window), w, h);
    Settle();
}

using PolishTest = MainWindowTest;

// The fixture fails a test on any warning; this one looks for them at every size.
TEST_F(PolishTest, NoWarningAtAnyWindowSizeFromOnePixelUp) {
    const std::vector<std::pair<int, int>> sizes = {
        {1, 1},     {2, 2},     {1, 300},   {300, 1},    {5, 5},     {10, 10},   {20, 20},
        {40, 30},   {60, 80},   {100, 60},  {150, 150},  {200, 120}, {280, 240}, {300, 300},
        {400, 350}, {480, 464}, {640, 500}, {1024, 768}, {1200, 900}};
    for (const auto& [w, h] : sizes) {
        ResizeOuter(g.window, w, h);
        ResizeOuterRaw(g.window, w, h);
    }
    gui::PutStatusBarText(g.window, "Processing datafile...");
    gui::PutGadgetText(g.statusLabel, "Dir log run complete");
    for (auto it = sizes.rbegin(); it != sizes.rend(); ++it)
        ResizeOuterRaw(g.window, it->first, it->second);
    EXPECT_EQ(warnings, std::vector<std::string>{});
}

TEST_F(PolishTest, GadgetsOfATinyWindowGetNoZeroOrNegativeSize) {
    ResizeOuterRaw(g.window, 1, 1);
    for (const auto& gadget : {g.dirField, g.browseButton, g.md5Box, g.intervalField,
                               g.startStopButton, g.reportArea, g.statusLabel, g.progressBar}) {
        const GdkRectangle rect = NativeRect(gadget);
        EXPECT_GT(rect.width, 0);
        EXPECT_GT(rect.height, 0);
    }
}

TEST_F(PolishTest, TheIntervalFieldShowsTwoDigitsWhole) {
    GtkEntry* entry = GTK_ENTRY(gui::gtk::WidgetOf(g.intervalField));
    for (const char* minutes : {"1", "15", "60", "99"}) {
        gui::PutGadgetText(g.intervalField, minutes);
        gtk_editable_set_position(GTK_EDITABLE(entry), -1);  // where typing leaves the caret
        Settle();
        GdkRectangle area;
        gtk_entry_get_text_area(entry, &area);
        int x = 0, y = 0;
        gtk_entry_get_layout_offsets(entry, &x, &y);
        int textWidth = 0;
        pango_layout_get_pixel_size(gtk_entry_get_layout(entry), &textWidth, nullptr);
        EXPECT_GE(x, area.x) << minutes << " is scrolled";
        EXPECT_LE(x + textWidth, area.x + area.width) << minutes << " is cut";
    }
    EXPECT_EQ(NativeRect(g.intervalField), Rect(206, 168, 20, 24));
}

// "120" does not fit: the field shows "12", never "20", and the whole text as its tooltip.
TEST_F(PolishTest, AFieldNarrowerThanItsTextShowsItsBeginningAndTheWholeAsTooltip) {
    GtkEntry* entry = GTK_ENTRY(gui::gtk::WidgetOf(g.intervalField));
    gtk_widget_grab_focus(GTK_WIDGET(entry));
    gtk_entry_set_text(entry, "120");  // as typed: the caret at the end
    gtk_editable_set_position(GTK_EDITABLE(entry), -1);
    gtk_widget_grab_focus(gui::gtk::WidgetOf(g.dirField));
    Settle();
    GdkRectangle area;
    gtk_entry_get_text_area(entry, &area);
    int x = 0, y = 0;
    gtk_entry_get_layout_offsets(entry, &x, &y);
    EXPECT_EQ(x, area.x);
    gchar* tip = gtk_widget_get_tooltip_text(GTK_WIDGET(entry));
    EXPECT_STREQ(tip, "120");
    g_free(tip);
    gui::PutGadgetText(g.intervalField, "1");
    Settle();
    EXPECT_FALSE(gtk_widget_get_has_tooltip(GTK_WIDGET(entry)));
}

TEST_F(PolishTest, TheMinutesLabelLinesUpWithItsFieldAndCheckBox) {
    GtkWidget* minutes = LabelWithText(ClientArea(g), "minutes");
    ASSERT_NE(minutes, nullptr);
    GtkWidget* boxLabel = gtk_bin_get_child(GTK_BIN(gui::gtk::WidgetOf(g.intervalBox)));
    const int field = EntryBaseline(GTK_ENTRY(gui::gtk::WidgetOf(g.intervalField)));
    EXPECT_EQ(LabelBaseline(minutes), field);
    EXPECT_EQ(LabelBaseline(boxLabel), field);
    EXPECT_EQ(NativeRect(g.intervalBox), Rect(4, 168, 200, 24));
}

TEST_F(PolishTest, ALabelAloneCentresItsTextInItsRectangle) {
    GtkWidget* status = LabelWithText(ClientArea(g), "Status: ");
    ASSERT_NE(status, nullptr);
    int x = 0, y = 0, textHeight = 0;
    gtk_label_get_layout_offsets(GTK_LABEL(status), &x, &y);
    pango_layout_get_pixel_size(gtk_label_get_layout(GTK_LABEL(status)), nullptr, &textHeight);
    const GdkRectangle rect = Rect(4, 348, 50, 20);
    EXPECT_LE(std::abs((y - rect.y) - (rect.y + rect.height - (y + textHeight))), 1);
    gui::PutGadgetText(g.statusLabel, "Dir log run started");
    Settle();
    EXPECT_EQ(LabelBaseline(gui::gtk::WidgetOf(g.statusLabel)), LabelBaseline(status));
}

TEST_F(PolishTest, TheStatusBarIsWholeInsideTheWindowAtEverySize) {
    GtkWidget* bar = FindWidget(GTK_WIDGET(NativeWindow(g.window)), GTK_TYPE_STATUSBAR);
    GtkWidget* message = gtk_statusbar_get_message_area(GTK_STATUSBAR(bar));
    gui::PutStatusBarText(g.window, "MD5: /home/ann/photos/2026/holiday.jpg");
    for (const auto& [w, h] :
         std::vector<std::pair<int, int>>{{480, 400}, {300, 200}, {640, 500}, {200, 100}}) {
        ResizeClient(g.window, w, h);
        int outerWidth = 0, outerHeight = 0;
        gtk_window_get_size(NativeWindow(g.window), &outerWidth, &outerHeight);
        int minimum = 0, natural = 0;
        gtk_widget_get_preferred_height(bar, &minimum, &natural);
        GtkAllocation barRect, messageRect;
        gtk_widget_get_allocation(bar, &barRect);
        gtk_widget_get_allocation(message, &messageRect);
        EXPECT_GE(barRect.height,
                  natural - gtk_widget_get_margin_top(bar) - gtk_widget_get_margin_bottom(bar))
            << w << "x" << h;
        EXPECT_LE(barRect.y + barRect.height, outerHeight) << w << "x" << h;
        EXPECT_GE(messageRect.y, barRect.y);
        EXPECT_LE(messageRect.y + messageRect.height, barRect.y + barRect.height);
        EXPECT_EQ(StatusBarText(g.window), "MD5: /home/ann/photos/2026/holiday.jpg");
    }
}

}  // namespace
}  // namespace gtktest
