#pragma once
// Driving the toolkit without a window system, for tests and the scenario runner.
//
// Input injected here behaves like native input: it waits in the system driver until
// the application next polls (TakeEvent, PeekQueuedEvent, PumpSystem) or waits
// (AwaitEvent, AwaitSystem), and is then handled as a screen would handle it: a click
// on a disabled or hidden gadget does nothing, a check box toggles before it reports,
// typed keys pass the field's key filter, a resize re-lays the window's gadgets.
//
// Two handlers let a driver program run alongside the application:
//   SetWaitHandler  runs when the application waits with no input pending (AwaitEvent
//                   with an empty queue). It should inject input or end the process; it
//                   is called again for as long as nothing is pending. Without one, a
//                   wait with nothing pending throws std::logic_error, because it would
//                   block for ever.
//   SetPollHandler  runs at the start of every poll that does not wait (TakeEvent or
//                   PeekQueuedEvent finding the queue empty), before pending input is
//                   handled; input it injects is handled in that same poll.
//
// A key pressed in a field is first looked up as a hot key of the field's window; a
// hot key emits its event and the field never sees the key.
//
// Requesters take their answers from queues; one opened with no answer queued calls
// the unanswered handler and then acts as cancelled (without a handler it throws
// std::logic_error).

#include <string>
#include <vector>

#include "gui/gadget.h"
#include "gui/platform/headless/headlessdrivers.h"
#include "gui/platform/headless/headlessgadget.h"

namespace gui::headless {

// Key codes of the keys a test types besides characters.
enum : int { KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_ENTER = 13, KEY_ESCAPE = 27, KEY_DELETE = 46 };

THeadlessSystemDriver& SystemDriver();
THeadlessGadgetDriver& GadgetDriver();

// Frees every window, drops pending input, answers, records, handlers and hot keys,
// turns localisation off without a language, and empties the event queue: a clean
// toolkit for the next test.
void Reset();
void SetDesktopSize(int w, int h);

// ---- Input ----
void Click(const TGadgetPtr& gadget, int mods = 0);
// A menu item of a window's menu bar as of its last RebuildMenuBar; items that are not
// in it (or are disabled) cannot be chosen.
void ChooseMenu(const TGadgetPtr& item, int mods = 0);
// The user selects all of the field's text (when selectAll) and types the text, one
// character at a time; each KeyDown and KeyChar passes the key filter first. Typing
// nothing with selectAll presses Delete on the selection.
void TypeText(const TGadgetPtr& field, const std::string& text, bool selectAll = true);
// One key (KEY_* or a character's upper-case code) with its character (0 for none).
void PressKey(const TGadgetPtr& field, int key, int character, int mods = 0);
void CloseWindow(const TGadgetPtr& window);
// The window's client area becomes w x h; the layout rule runs, WindowSize follows.
void ResizeClient(const TGadgetPtr& window, int w, int h);
void MoveWindow(const TGadgetPtr& window, int x, int y);
bool InputPending();

void SetWaitHandler(THeadlessSystemDriver::THandler handler);
void SetPollHandler(THeadlessSystemDriver::THandler handler);

// ---- Requesters and the URL opener ----
void QueueDirAnswer(const std::string& path);   // "" = cancelled
void QueueFileAnswer(const std::string& path);  // "" = cancelled
void QueueMessageAnswer(int result);            // Confirm: 1/0; Proceed: 1/0/-1
void SetUnansweredHandler(THeadlessSystemDriver::TUnansweredHandler handler);
const std::vector<TRequesterCall>& RequesterCalls();
const std::vector<std::string>& OpenedUrls();
// The URLs opened since the last call.
std::vector<std::string> TakeOpenedUrls();
void SetOpenUrlResult(int result);

// ---- Colour and font choosers, fonts, icon strips, pointer ----
void QueueColorAnswer(int rgb);  // 0xRRGGBB; -1 = cancelled
void QueueFontAnswer(const std::shared_ptr<TGuiFont>& font);  // null = cancelled
// The font faces the system has (a face not among them loads as the first).
void SetInstalledFonts(const std::vector<std::string>& faces);
// LoadIconStrip(source) gives a strip over this pixmap.
void AddIconSource(const std::string& source, const std::shared_ptr<TPixmap>& pixmap);
int PointerShape();
int PointerChanges();  // how often the driver was asked to change the shape

// ---- Read-back ----
struct TGadgetView {
    int kind = 0;
    std::string text;
    int state = 0;
    bool enabled = true;   // neither the gadget nor a group above it is disabled
    bool hidden = false;   // the gadget or a group above it is hidden
    int buttonState = 0;   // ReadButtonState
    int x = 0, y = 0, width = 0, height = 0;
    int clientWidth = 0, clientHeight = 0;
    int progress = 0;      // steps of 100
    std::string statusText;
    int tag = 0;           // menu items
};
TGadgetView Inspect(const TGadgetPtr& gadget);
int ProgressOf(const TGadgetPtr& bar);
std::string StatusBarTextOf(const TGadgetPtr& window);
std::vector<TMenuEntry> MenuBarOf(const TGadgetPtr& window);
// The item with this tag in the window's menu bar, or null.
TGadgetPtr FindMenuItem(const TGadgetPtr& window, int tag);

// The entries a list-like gadget shows, with their selection states.
std::vector<TListItemView> ListItemsOf(const TGadgetPtr& gadget);
std::vector<std::string> ListTextsOf(const TGadgetPtr& gadget);

const std::vector<TGadgetPtr>& Windows();
// Depth-first over the kids below root: the nth gadget of the kind with this text.
TGadgetPtr FindGadget(const TGadgetPtr& root, int kind, const std::string& text, int nth = 0);
// Every gadget of the kind below root, depth-first in creation order.
std::vector<TGadgetPtr> GadgetsOfKind(const TGadgetPtr& root, int kind);

}  // namespace gui::headless
