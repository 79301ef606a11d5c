#include "gui/platform/gtk/text_scale.h"

#include <gtk/gtk.h>

#include <cmath>

namespace gui::gtk {

double TextScale() {
    GdkScreen* screen = gdk_screen_get_default();
    const double dpi = screen != nullptr ? gdk_screen_get_resolution(screen) : -1.0;
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

int Scaled(int value) { return static_cast<int>(std::lround(value * TextScale())); }

int Unscaled(int value) { return static_cast<int>(std::lround(value / TextScale())); }

}  // namespace gui::gtk
