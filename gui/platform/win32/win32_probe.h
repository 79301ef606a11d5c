#pragma once
// What a test or tool sees of the Win32 driver's native windows, and input given through
// the system as a user's would be, without the Win32 headers. Rectangles are in device
// pixels, relative to the client area of the gadget's window.

#include <string>
#include <vector>

#include "gui/gadget.h"

namespace gui::win32::probe {

struct TRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const TRect&) const = default;
};

// Logical pixels (96 per inch) as a window of this DPI shows them.
TRect Scaled(int dpi, int x, int y, int w, int h);

int WindowDpi(const TGadgetPtr& window);
TRect NativeRect(const TGadgetPtr& gadget);
// The client area the gadgets share: the window's, without the status bar.
TRect GadgetArea(const TGadgetPtr& window);
std::string NativeClass(const TGadgetPtr& gadget);  // lower case: "button", "edit"...
std::string NativeText(const TGadgetPtr& gadget);
std::string StatusBarText(const TGadgetPtr& window);
bool IsShown(const TGadgetPtr& gadget);
bool HasFocus(const TGadgetPtr& gadget);
bool UsesUiFont(const TGadgetPtr& gadget);

// Check boxes: 1 checked, 0 unchecked, -1 indeterminate; whether it has three states.
int CheckState(const TGadgetPtr& button);
bool IsThreeState(const TGadgetPtr& button);
// Text areas.
bool IsReadOnly(const TGadgetPtr& area);
bool WrapsWords(const TGadgetPtr& area);
bool ShowsLastLine(const TGadgetPtr& area);
int ProgressPosition(const TGadgetPtr& bar);

// The menu bar's entries, and the entries of the submenu of one of them, as shown
// ("&File"); separators are empty.
std::vector<std::string> MenuTitles(const TGadgetPtr& window);
std::vector<std::string> SubmenuTitles(const TGadgetPtr& window, int index);

// Input as the system delivers a user's: keys by their toolkit codes (virtual keys),
// pressed and released in order while the held ones stay down; a left click in the
// middle of a gadget; the close box; the frame dragged to a new size.
bool BringToFront(const TGadgetPtr& window);
void Focus(const TGadgetPtr& gadget);
void PressKeys(const std::vector<int>& keys, const std::vector<int>& held = {});
void Click(const TGadgetPtr& gadget);
void PressCloseBox(const TGadgetPtr& window);
void ResizeFrame(const TGadgetPtr& window, int clientWidth, int clientHeight);

// A modal dialog of this process (message box, requester) answered from another thread,
// while the main thread is inside it: once one is up, its caption and texts are noted,
// the file name box gets fileName when one is given, and the dialog gets the command:
// DIALOG_OK, DIALOG_CANCEL, or DIALOG_CLOSE for its close box.
enum TDialogCommand : int { DIALOG_CLOSE = 0, DIALOG_OK = 1, DIALOG_CANCEL = 2 };
struct TDialogSeen {
    bool came = false;
    std::string caption;
    std::vector<std::string> texts;  // of its child windows, in order
};
class TDialogAnswer {
public:
    // With awaitedText, the dialog is answered once one of its child windows shows it.
    TDialogAnswer(TDialogCommand command, std::string fileName = {}, std::string awaitedText = {});
    ~TDialogAnswer();  // waits for the answering thread
    TDialogAnswer(const TDialogAnswer&) = delete;
    TDialogAnswer& operator=(const TDialogAnswer&) = delete;
    // What was seen; valid once the dialog has returned.
    const TDialogSeen& Seen();

private:
    struct TState;
    TState* state_;
};

// What the screen shows of the window, frame included, saved as a PNG file.
bool SaveScreenshot(const TGadgetPtr& window, const std::string& path);

}  // namespace gui::win32::probe
