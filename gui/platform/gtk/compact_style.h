#pragma once
// A style sheet that lets the toolkit's widgets fit the small rectangles desktop layouts give
// them (24-px rows, 75-px buttons) with their text still whole.

#include <gtk/gtk.h>

namespace gui::gtk {

// The class the client area carries; the compact rules apply only below it.
inline constexpr const char* kCompactClass = "tervala-compact";
// The class of text fields narrower than kNarrowFieldWidth, which keep no padding.
inline constexpr const char* kNarrowClass = "tervala-narrow";
inline constexpr int kNarrowFieldWidth = 40;

// Installs the style sheet for the default screen, once (GTK's start does it).
void InstallCompactStyle();

}  // namespace gui::gtk
