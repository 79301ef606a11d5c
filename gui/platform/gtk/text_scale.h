#pragma once
// The user's text scale: the desktop's font resolution (Xft.dpi, which GNOME's
// text-scaling-factor sets) over 96. The toolkit's rectangles are in pixels at 96 dpi; the
// driver scales them by this factor at the native boundary, as fonts are scaled.

namespace gui::gtk {

double TextScale();
// A toolkit coordinate or edge in device pixels, and back.
int Scaled(int value);
int Unscaled(int value);
// A length from its two edges, so that adjoining gadgets stay adjoining after rounding.
inline int ScaledLength(int start, int length) { return Scaled(start + length) - Scaled(start); }

}  // namespace gui::gtk
