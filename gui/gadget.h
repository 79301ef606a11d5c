#pragma once
// The gadget record: one element of the user interface in a tree of groups and kids.
// The base class keeps the tree and the layout rule; every native operation is a
// virtual no-op here that a driver's gadget class overrides for the kinds it supports.

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "gui/gadgetitem.h"
#include "runtime/object.h"

namespace gui {

class TEvent;
class TGadget;
class TGuiFont;
class TPixmap;
class TIconStrip;
class TGraphics;

using TGadgetPtr = std::shared_ptr<TGadget>;

// Consulted before a key reaches a text field; 0 swallows the key.
using TEventFilter =
    std::function<int(const std::shared_ptr<TEvent>& event, const rt::TObjectPtr& context)>;

// Gadget kinds, the result of Class() and the first argument of CreateGadget.
enum TGadgetKind : int {
    GADGET_DESKTOP = 0,
    GADGET_WINDOW = 1,
    GADGET_BUTTON = 2,
    GADGET_PANEL = 3,
    GADGET_TEXTFIELD = 4,
    GADGET_TEXTAREA = 5,
    GADGET_COMBOBOX = 6,
    GADGET_LISTBOX = 7,
    GADGET_TOOLBAR = 8,
    GADGET_TABBER = 9,
    GADGET_TREEVIEW = 10,
    GADGET_HTMLVIEW = 11,
    GADGET_LABEL = 12,
    GADGET_SLIDER = 13,
    GADGET_PROGBAR = 14,
    GADGET_MENUITEM = 15,
    GADGET_NODE = 16,
    GADGET_CANVAS = 17,
};

// State() bits.
enum : int {
    STATE_MINIMIZED = 1,
    STATE_MAXIMIZED = 2,
    STATE_DISABLED = 4,
    STATE_HIDDEN = 8,
    STATE_SELECTED = 16,
    STATE_INDETERMINATE = 64,  // always together with STATE_SELECTED
};

// Style bits by kind.
enum : int {
    WINDOW_TITLEBAR = 1,
    WINDOW_RESIZABLE = 2,
    WINDOW_MENU = 4,
    WINDOW_STATUS = 8,
    WINDOW_TOOL = 16,
    WINDOW_CLIENTCOORDS = 32,
    WINDOW_HIDDEN = 64,
    WINDOW_ACCEPTFILES = 128,
    WINDOW_CENTER = 512,

    BUTTON_KINDMASK = 7,
    BUTTON_PUSH = 0,
    BUTTON_CHECKBOX = 2,
    BUTTON_RADIO = 3,
    BUTTON_OK = 4,
    BUTTON_CANCEL = 5,
    BUTTON_PUSHLIKE = 8,

    TEXTFIELD_PASSWORD = 1,
    TEXTAREA_WORDWRAP = 1,
    TEXTAREA_READONLY = 2,

    PANEL_CANVAS = 4 | 8,
};

// SetSelected() argument for a three-state check box.
inline constexpr int CHECK_INDETERMINATE = -1;

// Sensitivity bits: which raw input a gadget reports besides its own events.
enum : int { SENSITIZE_MOUSE = 1, SENSITIZE_KEYS = 2 };

// Activate() commands.
enum : int {
    ACTIVATE_FOCUS = 0,
    ACTIVATE_CUT = 1,
    ACTIVATE_COPY = 2,
    ACTIVATE_PASTE = 3,
    ACTIVATE_MINIMIZE = 4,
    ACTIVATE_MAXIMIZE = 5,
    ACTIVATE_RESTORE = 6,
    ACTIVATE_FORWARD = 10,
    ACTIVATE_BACK = 11,
    ACTIVATE_PRINT = 12,
    ACTIVATE_REDRAW = 13,
    // A window asks for the user's attention until it is activated (an urgency hint, a
    // flashing taskbar button).
    ACTIVATE_ATTENTION = 14,
};

// Units of the text-area operations.
enum : int { TEXTAREA_CHARS = 1, TEXTAREA_LINES = 2 };

class TGadget : public rt::TObject, public std::enable_shared_from_this<TGadget> {
public:
    TGadget() = default;
    ~TGadget() override = default;
    TGadget(const TGadget&) = delete;
    TGadget& operator=(const TGadget&) = delete;

    // Fields. parent and source are weak: a group owns its kids, and a proxy owns
    // the gadget it stands for, never the other way round.
    std::weak_ptr<TGadget> source;
    std::weak_ptr<TGadget> parent;
    std::vector<TGadgetPtr> kids;
    int xpos = 0, ypos = 0, width = 0, height = 0;
    std::string name;
    rt::TObjectPtr extra;
    int style = 0;
    int sensitivity = 0;
    int visible = 0;
    int total = 1;
    int lockl = 0, lockr = 0, lockt = 0, lockb = 0;
    int lockx = 0, locky = 0, lockw = 0, lockh = 0;
    int lockcw = 0, lockch = 0;
    TEventFilter eventfilter;
    rt::TObjectPtr context;
    std::vector<std::shared_ptr<TGadgetItem>> items;
    std::vector<int> arrPrevSelection;
    rt::TObjectPtr datasource;
    std::vector<std::string> datakeys;

    // Tree.
    virtual void SetFilter(TEventFilter filter, rt::TObjectPtr filterContext);
    virtual int HasDescendant(const TGadget* gadget) const;
    virtual void _setparent(const TGadgetPtr& group, int index);
    // The first index where the selection differs from the last call's; -1 when none.
    virtual int SelectionChanged();
    virtual TGadgetPtr Handle() { return shared_from_this(); }

    // Geometry and layout.
    virtual int GetXPos() const { return xpos; }
    virtual int GetYPos() const { return ypos; }
    virtual int GetWidth() const { return width; }
    virtual int GetHeight() const { return height; }
    virtual TGadgetPtr GetGroup() const { return parent.lock(); }
    virtual void SetShape(int x, int y, int w, int h);
    virtual void SetArea(int x, int y, int w, int h);
    virtual void SetRect(int x, int y, int w, int h);
    virtual void LockLayout();
    virtual void SetLayout(int left, int right, int top, int bottom);
    virtual void LayoutKids();
    virtual void DoLayout();

    // Items of list-like gadgets (see gadgetitem.h). The base keeps `items` and mirrors
    // every change through the driver half below; the selection lives in the driver.
    // Indexes outside the list are ignored (reads give 0, "" or null).
    virtual void Clear();
    // An index outside 0..ItemCount() appends.
    virtual void InsertItem(int index, const std::string& text, const std::string& tip = {},
                            int icon = -1, rt::TObjectPtr itemExtra = nullptr, int flags = 0);
    virtual void SetItem(int index, const std::string& text, const std::string& tip = {},
                         int icon = -1, rt::TObjectPtr itemExtra = nullptr, int flags = 0);
    virtual void RemoveItem(int index);
    virtual int ItemCount() const;
    virtual std::string ItemText(int index) const;
    virtual std::string ItemTip(int index) const;
    virtual int ItemFlags(int index) const;
    virtual int ItemIcon(int index) const;
    virtual rt::TObjectPtr ItemExtra(int index) const;
    virtual void SetItemState(int index, int state);
    virtual int ItemState(int index);
    // op: SELECT_CLEAR, SELECT_SET or SELECT_TOGGLE; index -1 applies it to every item.
    virtual void SelectItem(int index, int op);
    // The only selected index; -1 when none or several are selected.
    virtual int SelectedItem();
    // Selected indexes, ascending.
    virtual std::vector<int> SelectedItems();

    // Data-source binding (see datasource.h): the items follow the key texts of a
    // string array, an object list or an object array.
    virtual void SetDataSource(rt::TObjectPtr dataSource);
    // Brings the items in line with the source; 1 when it emptied the gadget because the
    // source has no keys left.
    virtual int SyncDataSource();
    // Edits the items from the keys of the last sync (`datakeys`) toward these keys.
    virtual void SyncData(const std::vector<std::string>& keys);
    virtual void InsertItemFromKey(int index, const std::string& key);
    static std::vector<std::string> KeysFromList(const std::list<rt::TObjectPtr>& list);
    static std::vector<std::string> KeysFromObjectArray(const std::vector<rt::TObjectPtr>& array);

    // Native object.
    virtual int Insert(const TGadgetPtr& /*group*/) { return 0; }
    virtual std::intptr_t Query(int /*what*/) { return 0; }
    virtual void CleanUp();
    virtual void Free() {}
    virtual void Rethink() {}
    virtual int ClientWidth() const { return 0; }
    virtual int ClientHeight() const { return 0; }
    virtual int Activate(int /*command*/) { return 0; }
    virtual int State() const { return 0; }
    virtual void SetText(const std::string& /*text*/) {}
    virtual std::string GetText() const { return {}; }
    virtual void SetFont(const std::shared_ptr<TGuiFont>& /*font*/) {}
    virtual void SetColor(int /*red*/, int /*green*/, int /*blue*/) {}
    virtual void RemoveColor() {}
    virtual void SetAlpha(float /*alpha*/) {}
    virtual void SetTextColor(int /*red*/, int /*green*/, int /*blue*/) {}
    virtual void SetTooltip(const std::string& /*tip*/) {}
    virtual std::string GetTooltip() const { return {}; }
    virtual void SetPixmap(const std::shared_ptr<TPixmap>& /*pixmap*/, int /*flags*/) {}
    virtual void SetIconStrip(const std::shared_ptr<TIconStrip>& /*strip*/) {}
    virtual void SetShow(int /*show*/) {}
    virtual void SetEnabled(int /*enabled*/) {}
    virtual void SetSelected(int /*selected*/) {}
    virtual void SetHotKey(int /*key*/, int /*modifiers*/) {}
    virtual void SetSensitivity(int flags) { sensitivity = flags; }
    virtual int GetSensitivity() const { return sensitivity; }
    virtual int Class() const { return 0; }
    virtual std::string GetStatusText() const { return {}; }
    virtual void SetStatusText(const std::string& /*text*/) {}
    virtual TGadgetPtr GetMenu() { return nullptr; }
    virtual void PopupMenu(const TGadgetPtr& /*menu*/, rt::TObjectPtr /*menuExtra*/) {}
    virtual void UpdateMenu() {}
    virtual void SetMinimumSize(int /*w*/, int /*h*/) {}
    virtual void SetMaximumSize(int /*w*/, int /*h*/) {}
    // The gadget holds its window's keyboard focus, also while another program is active.
    virtual int HasFocus() const { return 0; }

    // What assistive technology reads besides the gadget's text. A gadget with labels is
    // named by their texts in order; an announced gadget has each new text read out
    // without taking the focus. A read-only text field keeps its text against every input
    // (keys, paste, drop, assistive tools) and changes only through SetText.
    virtual void SetAccessibleName(const std::string& /*name*/) {}
    virtual void SetAccessibleDescription(const std::string& /*description*/) {}
    virtual void AddAccessibleLabel(const TGadgetPtr& /*label*/) {}
    virtual void SetAnnounced(int /*announced*/) {}
    virtual void SetReadOnly(int /*readOnly*/) {}

    // Driver half of the item operations.
    virtual void ClearListItems() {}
    virtual void InsertListItem(int /*index*/, const std::string& /*text*/,
                                const std::string& /*tip*/, int /*icon*/,
                                rt::TObjectPtr /*itemExtra*/) {}
    virtual void SetListItem(int /*index*/, const std::string& /*text*/,
                             const std::string& /*tip*/, int /*icon*/,
                             rt::TObjectPtr /*itemExtra*/) {}
    virtual void RemoveListItem(int /*index*/) {}
    virtual void SetListItemState(int /*index*/, int /*state*/) {}
    virtual int ListItemState(int /*index*/) { return 0; }

    // Tree views.
    virtual TGadgetPtr RootNode() { return nullptr; }
    virtual TGadgetPtr InsertNode(int /*index*/, const std::string& /*text*/, int /*icon*/) {
        return nullptr;
    }
    virtual void ModifyNode(const std::string& /*text*/, int /*icon*/) {}
    virtual TGadgetPtr SelectedNode() { return nullptr; }
    virtual int CountKids() { return 0; }

    // Text areas.
    virtual void ReplaceText(int /*pos*/, int /*length*/, const std::string& /*text*/,
                             int /*units*/) {}
    virtual void AddText(const std::string& /*text*/) {}
    virtual std::string AreaText(int /*pos*/, int /*length*/, int /*units*/) const { return {}; }
    virtual int AreaLen(int /*units*/) const { return 0; }
    virtual void LockText() {}
    virtual void UnlockText() {}
    virtual void SetTabs(int /*tabWidth*/) {}
    virtual void SetMargins(int /*leftMargin*/) {}
    virtual int GetCursorPos(int /*units*/) const { return 0; }
    virtual int GetSelectionLength(int /*units*/) const { return 0; }
    virtual void SetStyle(int /*red*/, int /*green*/, int /*blue*/, int /*flags*/, int /*pos*/,
                          int /*length*/, int /*units*/) {}
    virtual void SetSelection(int /*pos*/, int /*length*/, int /*units*/) {}
    virtual int CharX(int /*index*/) const { return 0; }
    virtual int CharY(int /*index*/) const { return 0; }
    virtual int CharAt(int /*line*/) const { return 0; }
    virtual int LineAt(int /*index*/) const { return 0; }

    // Sliders, progress bars, HTML views, canvases.
    virtual void SetValue(float /*value*/) {}
    virtual void SetRange(int /*visibleRange*/, int /*totalRange*/) {}
    virtual void SetProp(int /*index*/, int /*value*/) {}
    virtual int GetProp(int /*index*/) const { return 0; }
    virtual void AttachGraphics(int /*flags*/) {}
    virtual std::shared_ptr<TGraphics> CanvasGraphics() { return nullptr; }
    virtual std::string Run(const std::string& /*script*/) { return {}; }
};

}  // namespace gui
