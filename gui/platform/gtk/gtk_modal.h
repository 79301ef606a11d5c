#pragma once
// A modal dialog over the window that had the focus, which gets the focus back when the
// dialog closes.

#include <gtk/gtk.h>

namespace gui::gtk {

// The toplevel window that has the keyboard focus, or null.
GtkWindow* ActiveToplevel();

class TModalDialog {
public:
    explicit TModalDialog(GtkWidget* dialog);
    // Destroys the dialog and gives the focus back.
    ~TModalDialog();
    TModalDialog(const TModalDialog&) = delete;
    TModalDialog& operator=(const TModalDialog&) = delete;

    // Shows the dialog and returns its response once the user has closed it.
    int Run();
    GtkWidget* Dialog() const { return dialog_; }

private:
    GtkWidget* dialog_;
    GtkWindow* focused_;  // referenced while the dialog is up
};

}  // namespace gui::gtk
