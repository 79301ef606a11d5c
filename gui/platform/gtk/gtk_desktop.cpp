#include "gui/platform/gtk/gtk_controls.h"

namespace gui::gtk {

TGtkDesktop::TGtkDesktop() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor == nullptr) return;
    GdkRectangle geometry, workArea;
    gdk_monitor_get_geometry(monitor, &geometry);
    gdk_monitor_get_workarea(monitor, &workArea);
    SetRect(geometry.x, geometry.y, geometry.width, geometry.height);
    workWidth_ = workArea.width;
    workHeight_ = workArea.height;
}

}  // namespace gui::gtk
