#pragma once
// What the toolkit offers its native drivers and nothing else: event reporting, key
// filters, progress steps, root menus and the gadgets under the pointer. Kept out of
// gui/gui.h: the application never reports gadget events itself.

#include "gui/gadget.h"

namespace gui {

// The steps of 100 a progress bar shows for a fraction (truncated, 0..100).
int ProgressSteps(float fraction);
// The root menu gadget of a window, made through the driver and appended as the window's
// last child.
TGadgetPtr CreateRootMenu(const TGadgetPtr& window);

// Event reporting. The event's source is the last gadget along `source` links. Raise
// emits at once; Defer collects until ReleaseDeferredEvents.
void RaiseGadgetEvent(int id, const TGadgetPtr& gadget, int data = 0, int mods = 0, int x = 0,
                      int y = 0, rt::TObjectPtr extra = nullptr);
void DeferGadgetEvent(int id, const TGadgetPtr& gadget, int data = 0, int mods = 0, int x = 0,
                      int y = 0, rt::TObjectPtr extra = nullptr);
void ReleaseDeferredEvents();
// The gadget events are reported for.
TGadgetPtr EventSourceOf(const TGadgetPtr& gadget);
// Before a key reaches the gadget: 0 when its event filter swallows the key event, else 1
// (also without a filter).
int KeyFilterPasses(const TGadgetPtr& gadget, int id, int data, int mods);

// The gadgets the driver tracks under the mouse pointer; freeing a gadget clears each
// one that refers to it.
struct TPointerGadgets {
    TGadgetPtr hover;
    TGadgetPtr pressed;
    TGadgetPtr captured;
};
TPointerGadgets& PointerGadgets();

}  // namespace gui
