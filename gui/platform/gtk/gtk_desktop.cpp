#include "gui/platform/gtk/gtk_controls.h"
#include "gui/platform/gtk/text_scale.h"

namespace gui::gtk {

TGtkDesktop::TGtkDesktop() {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor == nullptr) return;
    GdkRectangle geometry, workArea;
    gdk_monitor_get_geometry(monitor, &geometry);
    gdk_monitor_get_workarea(monitor, &workArea);
    // In the toolkit's pixels, so that a centred window of scaled size is centred.
    SetRect(Unscaled(geometry.x), Unscaled(geometry.y), Unscaled(geometry.width),
            Unscaled(geometry.height));
    workWidth_ = Unscaled(workArea.width);
    workHeight_ = Unscaled(workArea.height);
}

}  // namespace gui::gtk
