// The system driver's modal services: message boxes, the file and folder requesters.

#include "gui/platform/gtk/gtk_system_driver.h"

#include <string_view>
#include <vector>

#include "gui/platform/gtk/display_text.h"
#include "gui/platform/gtk/gtk_modal.h"
#include "gui/system.h"

namespace gui::gtk {

namespace {

// GTK_BUTTONS_NONE stands for Yes, No and Cancel.
int MessageBox(const std::string& text, int serious, GtkButtonsType buttons) {
    TModalDialog box(gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL,
                                            serious ? GTK_MESSAGE_WARNING : GTK_MESSAGE_INFO,
                                            buttons, "%s", DisplayText(text).c_str()));
    GtkWindow* window = GTK_WINDOW(box.Dialog());
    gtk_window_set_title(window, DisplayText(AppTitle()).c_str());
    gtk_window_set_keep_above(window, TRUE);
    if (buttons == GTK_BUTTONS_NONE) {
        gtk_dialog_add_buttons(GTK_DIALOG(window), "_Yes", GTK_RESPONSE_YES, "_No",
                               GTK_RESPONSE_NO, "_Cancel", GTK_RESPONSE_CANCEL, nullptr);
    }
    return box.Run();
}

std::string ChosenPath(GtkFileChooser* chooser) {
    gchar* path = gtk_file_chooser_get_filename(chooser);
    std::string result = path != nullptr ? path : "";
    g_free(path);
    return result;
}

std::vector<std::string> SplitPatterns(std::string_view patterns) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(';', start);
        if (end == std::string_view::npos) end = patterns.size();
        if (end > start) result.emplace_back(patterns.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// The filters in the request's order; the one of the preselected group becomes current.
std::vector<GtkFileFilter*> AddFilters(GtkFileChooser* chooser, const TFileRequest& request) {
    std::vector<GtkFileFilter*> filters;
    for (const TFileFilter& group : request.filters) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, group.name.c_str());
        for (const std::string& pattern : SplitPatterns(group.patterns))
            gtk_file_filter_add_pattern(filter, pattern.c_str());
        gtk_file_chooser_add_filter(chooser, filter);
        filters.push_back(filter);
    }
    if (request.group >= 1 && request.group <= static_cast<int>(filters.size()))
        gtk_file_chooser_set_filter(chooser, filters[request.group - 1]);
    return filters;
}

// A name typed without an extension gets the current filter's first one ("*.txt" gives
// ".txt"); wildcard extensions add nothing.
std::string WithFilterExtension(const std::string& path, GtkFileChooser* chooser,
                                const std::vector<GtkFileFilter*>& filters,
                                const TFileRequest& request) {
    GtkFileFilter* current = gtk_file_chooser_get_filter(chooser);
    const std::size_t nameStart = path.find_last_of('/') + 1;
    if (current == nullptr || path.find('.', nameStart) != std::string::npos) return path;
    for (std::size_t i = 0; i < filters.size(); ++i) {
        if (filters[i] != current) continue;
        const std::vector<std::string> patterns = SplitPatterns(request.filters[i].patterns);
        if (patterns.empty() || patterns[0].rfind("*.", 0) != 0) return path;
        const std::string extension = patterns[0].substr(1);
        if (extension.find_first_of("*?[") != std::string::npos) return path;
        return path + extension;
    }
    return path;
}

void StartIn(GtkFileChooser* chooser, const std::string& dir) {
    if (dir.empty()) return;
    gchar* absolute = g_canonicalize_filename(dir.c_str(), nullptr);
    gtk_file_chooser_set_current_folder(chooser, absolute);
    g_free(absolute);
}

}  // namespace

void TGtkSystemDriver::Notify(const std::string& text, int serious) {
    MessageBox(text, serious, GTK_BUTTONS_OK);
}

int TGtkSystemDriver::Confirm(const std::string& text, int serious) {
    return MessageBox(text, serious, GTK_BUTTONS_OK_CANCEL) == GTK_RESPONSE_OK ? 1 : 0;
}

int TGtkSystemDriver::Proceed(const std::string& text, int serious) {
    switch (MessageBox(text, serious, GTK_BUTTONS_NONE)) {
        case GTK_RESPONSE_YES:
            return 1;
        case GTK_RESPONSE_NO:
            return 0;
        default:
            return -1;  // Cancel, or the box closed
    }
}

std::string TGtkSystemDriver::RequestFile(const TFileRequest& request) {
    const bool save = request.save != 0;
    TModalDialog dialog(gtk_file_chooser_dialog_new(
        request.title.c_str(), nullptr,
        save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr));
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog.Dialog());
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, save);
    const std::vector<GtkFileFilter*> filters = AddFilters(chooser, request);
    StartIn(chooser, request.initialDir);
    if (save) {
        gtk_file_chooser_set_current_name(chooser, request.initialName.c_str());
    } else if (!request.initialName.empty()) {
        const std::string dir = request.initialDir.empty() ? "." : request.initialDir;
        gchar* path = g_canonicalize_filename(request.initialName.c_str(), dir.c_str());
        gtk_file_chooser_select_filename(chooser, path);
        g_free(path);
    }
    if (dialog.Run() != GTK_RESPONSE_ACCEPT) return {};
    const std::string chosen = ChosenPath(chooser);
    return save ? WithFilterExtension(chosen, chooser, filters, request) : chosen;
}

std::string TGtkSystemDriver::RequestDir(const std::string& title, const std::string& initialPath) {
    TModalDialog dialog(gtk_file_chooser_dialog_new(title.c_str(), nullptr,
                                                    GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, "_Cancel",
                                                    GTK_RESPONSE_CANCEL, "_Select",
                                                    GTK_RESPONSE_ACCEPT, nullptr));
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog.Dialog());
    gtk_file_chooser_set_local_only(chooser, TRUE);
    StartIn(chooser, initialPath);
    if (dialog.Run() != GTK_RESPONSE_ACCEPT) return {};
    return ChosenPath(chooser);
}

}  // namespace gui::gtk
