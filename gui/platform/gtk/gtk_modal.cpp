#include "gui/platform/gtk/gtk_modal.h"

namespace gui::gtk {

GtkWindow* ActiveToplevel() {
    GtkWindow* active = nullptr;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* entry = toplevels; entry != nullptr && active == nullptr; entry = entry->next) {
        if (gtk_window_is_active(GTK_WINDOW(entry->data))) active = GTK_WINDOW(entry->data);
    }
    g_list_free(toplevels);
    return active;
}

TModalDialog::TModalDialog(GtkWidget* dialog) : dialog_(dialog), focused_(ActiveToplevel()) {
    if (focused_ != nullptr) {
        g_object_ref(focused_);
        gtk_window_set_transient_for(GTK_WINDOW(dialog_), focused_);
    }
    gtk_window_set_modal(GTK_WINDOW(dialog_), TRUE);
}

TModalDialog::~TModalDialog() {
    gtk_widget_destroy(dialog_);
    if (focused_ == nullptr) return;
    if (gtk_widget_get_visible(GTK_WIDGET(focused_))) gtk_window_present(focused_);
    g_object_unref(focused_);
}

int TModalDialog::Run() { return gtk_dialog_run(GTK_DIALOG(dialog_)); }

}  // namespace gui::gtk
