#include "gui/platform/gtk/compact_style.h"

namespace gui::gtk {

namespace {

// The widgets keep the desktop's interface font; the driver scales the rectangles with it.
// The default theme pads entries and buttons to 34 px; this keeps the borders and a little
// horizontal room and drops the rest, so one line of text fills a 20 to 24 px rectangle.
const char kStyleSheet[] = R"css(
.tervala-compact entry {
    min-height: 0; min-width: 0;
    padding: 0 4px;
}
.tervala-compact entry.tervala-narrow {
    padding: 0;
}
.tervala-compact button {
    min-height: 0; min-width: 0;
    padding: 0 4px;
}
.tervala-compact checkbutton {
    min-height: 0;
    padding: 0;
}
.tervala-compact checkbutton check {
    margin: 0 4px 0 2px;
}
.tervala-compact label {
    min-height: 0;
}
.tervala-compact progressbar trough,
.tervala-compact progressbar progress {
    min-height: 16px;
}
.tervala-compact textview,
.tervala-compact scrolledwindow {
    min-height: 0; min-width: 0;
}
.tervala-compact scrolledwindow scrollbar slider {
    min-width: 6px; min-height: 6px;
}
statusbar.tervala-compact {
    min-height: 0;
    padding: 0 4px;
}
statusbar.tervala-compact label {
    margin: 2px 0;
}
)css";

}  // namespace

void InstallCompactStyle() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kStyleSheet, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

}  // namespace gui::gtk
