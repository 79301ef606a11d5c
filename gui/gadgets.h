#pragma once
// The toolkit's gadget functions for the application: creation, layout, text, state,
// menus and freeing (what only drivers use is in gui/driversupport.h). Each forwards to a
// virtual operation of the gadget or of the current driver; creation returns null on failure.

#include <memory>
#include <string>

#include "gui/gadget.h"

namespace gui {

// Creation. A null group makes a top-level window.
TGadgetPtr MakeWindow(const std::string& title, int x, int y, int w, int h,
                      const TGadgetPtr& group, int style);
TGadgetPtr MakeLabel(const std::string& text, int x, int y, int w, int h,
                     const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeButton(const std::string& text, int x, int y, int w, int h,
                      const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeTextField(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeTextArea(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeProgressBar(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakePanel(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0,
                     const std::string& title = {});
TGadgetPtr MakeComboBox(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeListBox(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeTabber(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeTreeView(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeHTMLView(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeSlider(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
TGadgetPtr MakeCanvas(int x, int y, int w, int h, const TGadgetPtr& group, int style = 0);
// A toolbar with one item per icon of the strip the driver loads from the source.
TGadgetPtr MakeToolbar(const std::string& iconSource, int x, int y, int w, int h,
                       const TGadgetPtr& group, int style = 0);
// The tag comes back as the data of the item's MenuAction events. A window as parent
// stands for its root menu.
TGadgetPtr MakeMenuItem(const std::string& text, int tag, const TGadgetPtr& parent,
                        int hotKey = 0, int modifiers = 0);
TGadgetPtr DesktopGadget();

// While the gadget is a proxy (proxygadget.h), the gadget it stands for; null for a
// proxy that stands for nothing.
TGadgetPtr ResolveGroup(const TGadgetPtr& gadget);

// Changes.
void LayoutGadget(const TGadgetPtr& gadget, int left, int right, int top, int bottom);
void ShapeGadget(const TGadgetPtr& gadget, int x, int y, int w, int h);
// Safe from another thread on a label while the main thread polls.
void PutGadgetText(const TGadgetPtr& gadget, const std::string& text);
std::string FetchGadgetText(const TGadgetPtr& gadget);
void FilterGadget(const TGadgetPtr& gadget, TEventFilter filter, rt::TObjectPtr context);
void EnableGadgetInput(const TGadgetPtr& gadget);
void DisableGadgetInput(const TGadgetPtr& gadget);
// Frees the gadget and its subtree; the gadget must not be used afterwards.
void DiscardGadget(const TGadgetPtr& gadget);
int ClientWidthOf(const TGadgetPtr& gadget);
int ClientHeightOf(const TGadgetPtr& gadget);
TGadgetPtr RootMenuOf(const TGadgetPtr& window);
void RebuildMenuBar(const TGadgetPtr& window);
void PutStatusBarText(const TGadgetPtr& window, const std::string& text);
// -1 indeterminate, 1 checked, 0 otherwise.
int ReadButtonState(const TGadgetPtr& button);
void AppendAreaText(const TGadgetPtr& area, const std::string& text);
void PutProgressValue(const TGadgetPtr& bar, float fraction);
// The gadget holding the keyboard focus in the active window, or the active window; null
// while no window of the program is active.
TGadgetPtr ActiveGadget();
int HasKeyboardFocus(const TGadgetPtr& gadget);
void FocusGadget(const TGadgetPtr& gadget);
// Asks for the user's attention until the window is activated.
void RequestAttention(const TGadgetPtr& window);

// For assistive technology (see TGadget).
void NameGadget(const TGadgetPtr& gadget, const std::string& name);
void DescribeGadget(const TGadgetPtr& gadget, const std::string& description);
void LabelGadget(const TGadgetPtr& gadget, const TGadgetPtr& label);
void AnnounceGadgetText(const TGadgetPtr& gadget);
void MakeTextReadOnly(const TGadgetPtr& field);

int IsGadgetDisabled(const TGadgetPtr& gadget, int recursive);
int IsGadgetHidden(const TGadgetPtr& gadget, int recursive);

// Gadget module set-up, once: the lower modules, then the gadget driver.
void InitGadgets();

}  // namespace gui
