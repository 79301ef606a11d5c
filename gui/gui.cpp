#include "gui/gui.h"

namespace gui {

void InitGui() { InitGadgets(); }

}  // namespace gui
