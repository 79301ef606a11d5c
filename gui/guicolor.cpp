#include "gui/guicolor.h"

#include <atomic>
#include <iterator>

#include "gui/gadgetdriver.h"

namespace gui {
namespace {

struct TRgb {
    int red, green, blue;
};

constexpr TRgb DEFAULT_COLORS[] = {
    {240, 240, 240},  // window background
    {255, 255, 255},  // gadget background
    {0, 0, 0},        // gadget text
    {50, 150, 255},   // selection
    {0, 0, 255},      // link text
};

std::atomic<int> requestedColor{0};

}  // namespace

// The colours a platform without its own falls back to.
int TGadgetDriver::LookupColor(int kind, int& red, int& green, int& blue) {
    if (kind < 0 || kind >= static_cast<int>(std::size(DEFAULT_COLORS))) return 0;
    red = DEFAULT_COLORS[kind].red;
    green = DEFAULT_COLORS[kind].green;
    blue = DEFAULT_COLORS[kind].blue;
    return 1;
}

int LookupGuiColor(int kind, int& red, int& green, int& blue) {
    return CurrentGadgetDriver().LookupColor(kind, red, green, blue);
}

int RequestColor(int red, int green, int blue) {
    const int chosen = CurrentGadgetDriver().RequestColor(red, green, blue);
    if (!(chosen & COLOR_CHOSEN)) return 0;
    requestedColor = chosen & 0xFFFFFF;
    return 1;
}

int RequestedRed() { return (requestedColor >> 16) & 0xFF; }
int RequestedGreen() { return (requestedColor >> 8) & 0xFF; }
int RequestedBlue() { return requestedColor & 0xFF; }

}  // namespace gui
