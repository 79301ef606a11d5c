#include "gui/platform/gtk/gtk_controls.h"

#include "gui/driversupport.h"

namespace gui::gtk {

TGtkProgressBar::TGtkProgressBar(int gadgetStyle) : TGtkGadget(GADGET_PROGBAR, gadgetStyle) {
    GtkWidget* bar = gtk_progress_bar_new();
    Adopt(bar, bar);
}

void TGtkProgressBar::SetValue(float fraction) {
    // The bar is set once per entry; GTK redraws only when the shown step changes.
    const int steps = ProgressSteps(fraction);
    if (steps == steps_) return;
    steps_ = steps;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(Outer()), steps_ / 100.0);
}

}  // namespace gui::gtk
