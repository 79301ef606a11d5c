#pragma once
// Colours: the system colours of the current driver and the colour chooser.

namespace gui {

// Colour kinds of LookupColor.
enum : int {
    COLOR_WINDOW_BACKGROUND = 0,
    COLOR_GADGET_BACKGROUND = 1,
    COLOR_GADGET_TEXT = 2,
    COLOR_SELECTION = 3,
    COLOR_LINK = 4,
};

// Added by a driver's RequestColor to 0xRRGGBB when a colour was chosen.
inline constexpr int COLOR_CHOSEN = 0x1000000;

// LookupColor of the current driver: writes the three components, 1 for a known kind.
int LookupGuiColor(int kind, int& red, int& green, int& blue);
// The colour chooser preset to the colour; when a colour is chosen it is remembered
// (RequestedRed...) and 1 returned, else 0.
int RequestColor(int red, int green, int blue);
int RequestedRed();
int RequestedGreen();
int RequestedBlue();

}  // namespace gui
