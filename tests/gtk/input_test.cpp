// Native input through the X server becomes the toolkit's events: clicks, check-box
// toggles, typing (and the key filter that refuses it), menu choices and the close box.

#include "gui/gui.h"
#include "gui/hotkey.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "tests/gtk/gtk_fixture.h"

namespace gtktest {
namespace {

using InputTest = MainWindowTest;

// Waits until events of this id and source have come out of the queue.
std::vector<SeenEvent> AwaitEventsOf(int id, const gui::TGadgetPtr& source) {
    std::vector<SeenEvent> all;
    PumpUntil([&] {
        for (const SeenEvent& e : TakeAllEvents()) all.push_back(e);
        return !EventsOf(all, id, source).empty();
    });
    return EventsOf(all, id, source);
}

TEST_F(InputTest, ButtonClickIsAGadgetActionWithStateZero) {
    Click(g.browseButton);
    const std::vector<SeenEvent> actions = AwaitEventsOf(gui::GadgetAction, g.browseButton);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 0);
}

TEST_F(InputTest, DisabledButtonReportsNothing) {
    Click(g.startStopButton);
    Click(g.browseButton);  // a click that does arrive, to know the first was handled
    AwaitEventsOf(gui::GadgetAction, g.browseButton);
    Settle();
    Click(g.startStopButton);
    Click(g.logSaveButton);
    std::vector<SeenEvent> all;
    PumpUntil([&] {
        for (const SeenEvent& e : TakeAllEvents()) all.push_back(e);
        return !EventsOf(all, gui::GadgetAction, g.logSaveButton).empty();
    });
    EXPECT_TRUE(EventsOf(all, gui::GadgetAction, g.startStopButton).empty());
}

TEST_F(InputTest, CheckBoxClicksToggleAndReportTheNewState) {
    Click(g.md5Box);
    std::vector<SeenEvent> actions = AwaitEventsOf(gui::GadgetAction, g.md5Box);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 1);
    EXPECT_EQ(gui::ReadButtonState(g.md5Box), 1);
    EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(gui::gtk::WidgetOf(g.md5Box))));

    Click(g.md5Box);
    actions = AwaitEventsOf(gui::GadgetAction, g.md5Box);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 0);
    EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(gui::gtk::WidgetOf(g.md5Box))));
}

TEST_F(InputTest, IndeterminateCheckBoxBecomesCheckedWhenClicked) {
    g.intervalBox->SetSelected(gui::CHECK_INDETERMINATE);
    EXPECT_EQ(gui::ReadButtonState(g.intervalBox), -1);
    GtkToggleButton* native = GTK_TOGGLE_BUTTON(gui::gtk::WidgetOf(g.intervalBox));
    EXPECT_TRUE(gtk_toggle_button_get_inconsistent(native));
    EXPECT_TRUE(TakeAllEvents().empty());  // set by the program: no event

    Click(g.intervalBox);
    const std::vector<SeenEvent> actions = AwaitEventsOf(gui::GadgetAction, g.intervalBox);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 1);
    EXPECT_TRUE(gtk_toggle_button_get_active(native));
    EXPECT_FALSE(gtk_toggle_button_get_inconsistent(native));
}

TEST_F(InputTest, FilteredFieldRefusesTypingWhileTheIntervalFieldTakesIt) {
    TypeKey(g.dirField, GDK_KEY_a);
    TypeKey(g.dirField, GDK_KEY_BackSpace);
    TypeKey(g.intervalField, GDK_KEY_5);  // handled after the keys above
    const std::vector<SeenEvent> edits = AwaitEventsOf(gui::GadgetAction, g.intervalField);
    ASSERT_FALSE(edits.empty());
    EXPECT_EQ(edits[0].data, 0);
    EXPECT_EQ(gui::FetchGadgetText(g.intervalField), "5");  // focus selected the old "1"
    EXPECT_EQ(gui::FetchGadgetText(g.dirField), "");
    Settle();
}

TEST_F(InputTest, TextSetByTheProgramIsNoGadgetAction) {
    gui::PutGadgetText(g.intervalField, "15");
    gui::PutGadgetText(g.dirField, "/home/ann");
    Settle();
    EXPECT_EQ(gui::FetchGadgetText(g.dirField), "/home/ann");
    EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(gui::gtk::WidgetOf(g.intervalField))), std::string("15"));
    gui::PutGadgetText(g.intervalField, "3");
    EXPECT_TRUE(TakeAllEvents().empty());
}

TEST_F(InputTest, KeySensitiveGadgetReportsKeysAndTheFilterSeesThemFirst) {
    std::vector<int> filtered;
    gui::FilterGadget(g.intervalField,
                      [&](const gui::TEventPtr& e, const rt::TObjectPtr&) {
                          filtered.push_back(e->id);
                          return e->data == '7' ? 0 : 1;  // refuses the digit 7 only
                      },
                      nullptr);
    g.intervalField->SetSensitivity(gui::SENSITIZE_KEYS);
    TypeKey(g.intervalField, GDK_KEY_7);
    TypeKey(g.intervalField, GDK_KEY_b);
    std::vector<SeenEvent> all;
    PumpUntil([&] {
        for (const SeenEvent& e : TakeAllEvents()) all.push_back(e);
        return !EventsOf(all, gui::KeyUp, g.intervalField).empty() &&
               !EventsOf(all, gui::KeyChar, g.intervalField).empty();
    });
    const std::vector<SeenEvent> downs = EventsOf(all, gui::KeyDown, g.intervalField);
    const std::vector<SeenEvent> chars = EventsOf(all, gui::KeyChar, g.intervalField);
    ASSERT_EQ(downs.size(), 1u);  // the 7 was swallowed before it was reported
    EXPECT_EQ(downs[0].data, 'B');
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].data, 'b');
    EXPECT_EQ(gui::FetchGadgetText(g.intervalField), "b");
    EXPECT_EQ(filtered, (std::vector<int>{gui::KeyDown, gui::KeyDown, gui::KeyChar}));
}

TEST_F(InputTest, HotKeyOfTheWindowTakesTheKeyBeforeTheField) {
    const gui::THotKeyPtr hotKey = gui::BindHotKey('Q', 0, nullptr, g.window);
    TypeKey(g.intervalField, GDK_KEY_q);
    TypeKey(g.intervalField, GDK_KEY_4);
    std::vector<SeenEvent> all;
    PumpUntil([&] {
        for (const SeenEvent& e : TakeAllEvents()) all.push_back(e);
        return !EventsOf(all, gui::GadgetAction, g.intervalField).empty();
    });
    gui::UnbindHotKey(hotKey);
    const std::vector<SeenEvent> hits = EventsOf(all, gui::HotkeyHit, nullptr);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].data, 'Q');
    EXPECT_EQ(gui::FetchGadgetText(g.intervalField), "4");
}

TEST_F(InputTest, MenuChoiceReportsItsTag) {
    GtkMenuShell* bar = GTK_MENU_SHELL(FindWidget(GTK_WIDGET(NativeWindow(g.window)), GTK_TYPE_MENU_BAR));
    GList* top = gtk_container_get_children(GTK_CONTAINER(bar));
    GtkWidget* helpMenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(g_list_nth_data(top, 1)));
    g_list_free(top);
    ASSERT_NE(helpMenu, nullptr);
    GList* items = gtk_container_get_children(GTK_CONTAINER(helpMenu));
    EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(items->data)), "_About");
    gtk_menu_item_activate(GTK_MENU_ITEM(items->data));
    g_list_free(items);
    const std::vector<SeenEvent> choices = AwaitEventsOf(gui::MenuAction, g.aboutItem);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].data, 3);
}

TEST_F(InputTest, CloseBoxAsksAndTheWindowStays) {
    gtk_window_close(NativeWindow(g.window));
    EXPECT_EQ(AwaitEventsOf(gui::WindowClose, g.window).size(), 1u);
    Settle();
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(NativeWindow(g.window))));
}

// A path field shows what logging uses: a paste changes it no more than typing does.
TEST_F(InputTest, APathFieldRefusesAPaste) {
    gui::PutGadgetText(g.dirField, "/srv/data");
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "/tmp/other", -1);
    Settle();
    g.dirField->Activate(gui::ACTIVATE_PASTE);
    Settle();
    EXPECT_EQ(gui::FetchGadgetText(g.dirField), "/srv/data");
    EXPECT_FALSE(gtk_editable_get_editable(GTK_EDITABLE(gui::gtk::WidgetOf(g.dirField))));
    EXPECT_TRUE(gtk_widget_get_can_focus(gui::gtk::WidgetOf(g.dirField)));
}

// A screen reader reads the report line by line with the caret, which moves through the
// read-only text as in any text; keys still change nothing.
TEST_F(InputTest, TheCaretMovesThroughTheReadOnlyReport) {
    gui::AppendAreaText(g.reportArea, "one\ntwo\nthree\n");
    GtkTextView* view = GTK_TEXT_VIEW(gtk_bin_get_child(GTK_BIN(gui::gtk::WidgetOf(g.reportArea))));
    EXPECT_TRUE(gtk_text_view_get_cursor_visible(view));
    EXPECT_TRUE(gtk_widget_get_can_focus(GTK_WIDGET(view)));
    for (guint key : {GDK_KEY_Up, GDK_KEY_Up, GDK_KEY_End, GDK_KEY_x, GDK_KEY_BackSpace}) {
        TypeKey(g.reportArea, key);
        Settle();
    }
    EXPECT_EQ(gui::FetchGadgetText(g.reportArea), "one\ntwo\nthree\n");
    EXPECT_EQ(g.reportArea->GetCursorPos(gui::TEXTAREA_LINES), 1);
    EXPECT_EQ(g.reportArea->GetCursorPos(gui::TEXTAREA_CHARS), 7);  // after "two"
}

}  // namespace
}  // namespace gtktest
