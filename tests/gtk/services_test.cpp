// What the application writes to the window, the label set from a worker thread, the
// poll that never waits, and the modal requesters and message boxes.

#include <gdk/gdkkeysyms.h>

#include <filesystem>
#include <thread>

#include "gui/gui.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "tests/gtk/gtk_fixture.h"
#include "tests/support/temp_dir.h"

namespace gtktest {
namespace {

using ServicesTest = MainWindowTest;

TEST_F(ServicesTest, StatusBarShowsTheLastTextOfABurst) {
    gui::PutStatusBarText(g.window, "Loading datafile...");
    gui::PutStatusBarText(g.window, "Saving datafile...");
    EXPECT_EQ(g.window->GetStatusText(), "Saving datafile...");
    EXPECT_TRUE(PumpUntil([&] { return StatusBarText(g.window) == "Saving datafile..."; }));
    // A burst of texts, as a scan gives one per entry: the bar ends on the last one.
    for (int i = 0; i < 1000; ++i) gui::PutStatusBarText(g.window, "/t/file " + std::to_string(i));
    EXPECT_TRUE(PumpUntil([&] { return StatusBarText(g.window) == "/t/file 999"; }));
}

TEST_F(ServicesTest, LabelSetFromAnotherThreadShowsAfterThePoll) {
    GtkLabel* label = GTK_LABEL(gui::gtk::WidgetOf(g.statusLabel));
    std::thread worker([&] { gui::PutGadgetText(g.statusLabel, "Datafile could not be loaded"); });
    worker.join();
    EXPECT_EQ(gui::FetchGadgetText(g.statusLabel), "Datafile could not be loaded");
    gui::PumpSystem();
    EXPECT_STREQ(gtk_label_get_text(label), "Datafile could not be loaded");
}

TEST_F(ServicesTest, MainThreadTextSetAfterAWorkersStaysShown) {
    std::thread worker([&] { gui::PutGadgetText(g.statusLabel, "Loading datafile failed"); });
    worker.join();
    gui::PutGadgetText(g.statusLabel, "Logging stopped");
    gui::PumpSystem();
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gui::gtk::WidgetOf(g.statusLabel))), "Logging stopped");
}

TEST_F(ServicesTest, NamesThatAreNotUtf8AreShownNotDropped) {
    const std::string name = "/t/bad\xE9name.txt";
    gui::AppendAreaText(g.reportArea, "New file: " + name + "\n");
    gui::PutGadgetText(g.statusLabel, "Failed To read directory " + name + ", skipping");
    gui::PutStatusBarText(g.window, name);
    EXPECT_EQ(gui::FetchGadgetText(g.reportArea), "New file: /t/bad\xEF\xBF\xBDname.txt\n");
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gui::gtk::WidgetOf(g.statusLabel))),
                 "Failed To read directory /t/bad\xEF\xBF\xBDname.txt, skipping");
    EXPECT_EQ(StatusBarText(g.window), "/t/bad\xEF\xBF\xBDname.txt");
}

TEST_F(ServicesTest, TakeEventWithNothingPendingReturnsNothing) {
    EXPECT_EQ(gui::TakeEvent(), 0);
    EXPECT_EQ(gui::CurrentEventSource(), nullptr);
}

TEST_F(ServicesTest, ProgressBarShowsWholeSteps) {
    GtkProgressBar* bar = GTK_PROGRESS_BAR(gui::gtk::WidgetOf(g.progressBar));
    gui::PutProgressValue(g.progressBar, 0.999f);
    EXPECT_DOUBLE_EQ(gtk_progress_bar_get_fraction(bar), 0.99);
    gui::PutProgressValue(g.progressBar, 1.0f);
    EXPECT_DOUBLE_EQ(gtk_progress_bar_get_fraction(bar), 1.0);
}

TEST_F(ServicesTest, AppendedReportTextScrollsToTheEnd) {
    std::string expected;
    for (int i = 0; i < 60; ++i) {
        const std::string line = "New file: /data/file" + std::to_string(i) + ".txt\n";
        gui::AppendAreaText(g.reportArea, line);
        expected += line;
    }
    EXPECT_EQ(gui::FetchGadgetText(g.reportArea), expected);
    EXPECT_TRUE(TakeAllEvents().empty());  // appending is no edit
    GtkScrolledWindow* scroller = GTK_SCROLLED_WINDOW(gui::gtk::WidgetOf(g.reportArea));
    GtkAdjustment* vertical = gtk_scrolled_window_get_vadjustment(scroller);
    EXPECT_TRUE(PumpUntil([&] {
        const double value = gtk_adjustment_get_value(vertical);
        return value > 0 &&
               value + gtk_adjustment_get_page_size(vertical) >= gtk_adjustment_get_upper(vertical);
    }));
}

TEST_F(ServicesTest, DisabledGadgetIsInsensitive) {
    gui::DisableGadgetInput(g.browseButton);
    EXPECT_FALSE(gtk_widget_get_sensitive(gui::gtk::WidgetOf(g.browseButton)));
    EXPECT_TRUE(gui::IsGadgetDisabled(g.browseButton, 0));
    gui::EnableGadgetInput(g.browseButton);
    EXPECT_TRUE(gtk_widget_get_sensitive(gui::gtk::WidgetOf(g.browseButton)));
}

// Answers the next modal dialog from inside its own loop, as a user would. The answer is
// given again on later turns while it returns false (the dialog is not ready for it yet).
template <typename Answer>
void AnswerNextDialogWhenReady(Answer answer) {
    g_timeout_add(20, +[](gpointer data) -> gboolean {
        GList* toplevels = gtk_window_list_toplevels();
        GtkDialog* dialog = nullptr;
        for (GList* t = toplevels; t != nullptr; t = t->next) {
            if (GTK_IS_DIALOG(t->data) && gtk_widget_get_visible(GTK_WIDGET(t->data)))
                dialog = GTK_DIALOG(t->data);
        }
        g_list_free(toplevels);
        if (dialog == nullptr) return G_SOURCE_CONTINUE;
        auto* callback = static_cast<Answer*>(data);
        if (!(*callback)(dialog)) return G_SOURCE_CONTINUE;
        delete callback;
        return G_SOURCE_REMOVE;
    }, new Answer(std::move(answer)));
}

// As the user does it: the button takes the focus, then the click. A file chooser looks at
// where the focus is to tell a choice from a change of folder.
void PressButton(GtkDialog* dialog, int response) {
    GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response);
    gtk_widget_grab_focus(button);
    gtk_button_clicked(GTK_BUTTON(button));
}

// A file chooser reads folders in the background; it can be answered once it shows the
// path the test chose.
bool AcceptOnceChosen(GtkDialog* dialog, const std::string& path) {
    gchar* shown = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
    const bool ready = shown != nullptr && path == shown;
    g_free(shown);
    if (ready) PressButton(dialog, GTK_RESPONSE_ACCEPT);
    return ready;
}

template <typename Answer>
void AnswerNextDialog(Answer answer) {
    AnswerNextDialogWhenReady([answer = std::move(answer)](GtkDialog* dialog) mutable {
        answer(dialog);
        return true;
    });
}

TEST_F(ServicesTest, MessageBoxesAnswerAsTheirButtons) {
    gui::SetAppTitle("Tervala_gui v1.4");
    std::string caption;
    AnswerNextDialog([&](GtkDialog* box) {
        caption = gtk_window_get_title(GTK_WINDOW(box));
        gtk_dialog_response(box, GTK_RESPONSE_OK);
    });
    EXPECT_EQ(gui::Confirm("Replace it?"), 1);
    EXPECT_EQ(caption, "Tervala_gui v1.4");

    AnswerNextDialog([](GtkDialog* box) { gtk_dialog_response(box, GTK_RESPONSE_CANCEL); });
    EXPECT_EQ(gui::Confirm("Replace it?"), 0);
    AnswerNextDialog([](GtkDialog* box) { gtk_dialog_response(box, GTK_RESPONSE_NO); });
    EXPECT_EQ(gui::Proceed("Save first?"), 0);
    AnswerNextDialog([](GtkDialog* box) { gtk_window_close(GTK_WINDOW(box)); });
    EXPECT_EQ(gui::Proceed("Save first?"), -1);
}

TEST_F(ServicesTest, MessageAboutANameThatIsNotUtf8ShowsTheRestOfIt) {
    std::string shown;
    AnswerNextDialog([&](GtkDialog* box) {
        gchar* text = nullptr;
        g_object_get(box, "text", &text, nullptr);
        shown = text != nullptr ? text : "";
        g_free(text);
        gtk_dialog_response(box, GTK_RESPONSE_OK);
    });
    gui::Notify("Cannot read /tmp/caf\xE9/notes.txt");
    EXPECT_EQ(shown, "Cannot read /tmp/caf\uFFFD/notes.txt");
}

TEST_F(ServicesTest, DirectoryRequesterGivesTheChosenFolderOrNothing) {
    testsupport::TempDir temp;
    const std::string chosen = temp / "watched";
    std::filesystem::create_directory(chosen);
    AnswerNextDialogWhenReady([&](GtkDialog* dialog) {
        if (AcceptOnceChosen(dialog, chosen)) return true;
        gtk_file_chooser_select_filename(GTK_FILE_CHOOSER(dialog), chosen.c_str());
        return false;
    });
    EXPECT_EQ(gui::RequestDir("Select dir to monitor", ""), chosen);

    AnswerNextDialog([](GtkDialog* dialog) { PressButton(dialog, GTK_RESPONSE_CANCEL); });
    EXPECT_EQ(gui::RequestDir("Select dir to monitor", ""), "");
}

TEST_F(ServicesTest, SaveRequesterOffersTheFilterGroupsAndAddsTheExtension) {
    testsupport::TempDir temp;
    std::vector<std::string> filterNames;
    std::string current;
    gboolean confirmsOverwrite = FALSE;
    AnswerNextDialogWhenReady([&](GtkDialog* dialog) {
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
        if (filterNames.empty()) {
            GSList* filters = gtk_file_chooser_list_filters(chooser);
            for (GSList* f = filters; f != nullptr; f = f->next)
                filterNames.emplace_back(gtk_file_filter_get_name(GTK_FILE_FILTER(f->data)));
            g_slist_free(filters);
            current = gtk_file_filter_get_name(gtk_file_chooser_get_filter(chooser));
            confirmsOverwrite = gtk_file_chooser_get_do_overwrite_confirmation(chooser);
            gtk_file_chooser_set_current_name(chooser, "changes");
        }
        return AcceptOnceChosen(dialog, temp / "changes");
    });
    const std::string path =
        gui::RequestFile("Save logfile as", "Text:txt,log;Images:png", 1, temp / "a.txt");
    EXPECT_EQ(filterNames, (std::vector<std::string>{"Text", "Images"}));
    EXPECT_EQ(current, "Text");
    EXPECT_TRUE(confirmsOverwrite);
    EXPECT_EQ(path, temp / "changes.txt");
}

TEST_F(ServicesTest, SaveRequesterWithoutFiltersKeepsTheTypedName) {
    testsupport::TempDir temp;
    bool named = false;
    AnswerNextDialogWhenReady([&](GtkDialog* dialog) {
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
        if (!named) {
            EXPECT_EQ(gtk_file_chooser_list_filters(chooser), nullptr);
            gtk_file_chooser_set_current_folder(chooser, temp.path().c_str());
            gtk_file_chooser_set_current_name(chooser, "datafile");
            named = true;
        }
        return AcceptOnceChosen(dialog, temp / "datafile");
    });
    EXPECT_EQ(gui::RequestFile("Save datafile as", "", 1, ""), temp / "datafile");
}

}  // namespace
}  // namespace gtktest
