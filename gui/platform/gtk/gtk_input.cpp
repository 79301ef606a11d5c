#include "gui/platform/gtk/gtk_input.h"

#include <gdk/gdkkeysyms.h>

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/hotkey.h"
#include "gui/platform/gtk/gtk_gadget.h"

namespace gui::gtk {

namespace {

struct TKeyCode {
    guint keyval;
    int code;
};

constexpr TKeyCode kKeyCodes[] = {
    {GDK_KEY_BackSpace, 8},  {GDK_KEY_Tab, 9},         {GDK_KEY_ISO_Left_Tab, 9},
    {GDK_KEY_Return, 13},    {GDK_KEY_KP_Enter, 13},   {GDK_KEY_Shift_L, 16},
    {GDK_KEY_Shift_R, 16},   {GDK_KEY_Control_L, 17},  {GDK_KEY_Control_R, 17},
    {GDK_KEY_Alt_L, 18},     {GDK_KEY_Alt_R, 18},      {GDK_KEY_Pause, 19},
    {GDK_KEY_Caps_Lock, 20}, {GDK_KEY_Escape, 27},     {GDK_KEY_space, 32},
    {GDK_KEY_Page_Up, 33},   {GDK_KEY_Page_Down, 34},  {GDK_KEY_End, 35},
    {GDK_KEY_Home, 36},      {GDK_KEY_Left, 37},       {GDK_KEY_Up, 38},
    {GDK_KEY_Right, 39},     {GDK_KEY_Down, 40},       {GDK_KEY_Insert, 45},
    {GDK_KEY_Delete, 46},    {GDK_KEY_Super_L, 91},    {GDK_KEY_Super_R, 92},
    {GDK_KEY_Menu, 93},      {GDK_KEY_KP_Multiply, 106}, {GDK_KEY_KP_Add, 107},
    {GDK_KEY_KP_Subtract, 109}, {GDK_KEY_KP_Decimal, 110}, {GDK_KEY_KP_Divide, 111},
};

// Tab moves the focus before any window sees the key, so a filter never keeps the user
// from leaving a field.
bool IsFocusKey(guint keyval) { return keyval == GDK_KEY_Tab || keyval == GDK_KEY_ISO_Left_Tab; }

// One keyboard: a press of the key already held is the system's auto-repeat.
guint heldKey = 0;

gboolean OnKeyPress(GtkWidget*, GdkEventKey* key, gpointer data) {
    const TGadgetPtr gadget = static_cast<TGtkGadget*>(data)->shared_from_this();
    const bool repeat = key->keyval == heldKey;
    heldKey = key->keyval;
    const int mods = ModifiersOf(key->state);
    const int code = KeyCodeOf(key->keyval);
    const int character = CharacterOf(key->keyval, key->state);
    if (EmitHotKey(code, mods, gadget)) return TRUE;
    if (!IsFocusKey(key->keyval)) {
        if (!KeyFilterPasses(gadget, KeyDown, code, mods)) return TRUE;
        if (character != 0 && !KeyFilterPasses(gadget, KeyChar, character, mods)) return TRUE;
    }
    if ((gadget->sensitivity & SENSITIZE_KEYS) && !(gadget->State() & STATE_DISABLED)) {
        RaiseGadgetEvent(repeat ? KeyRepeat : KeyDown, gadget, code, mods);
        if (character != 0) RaiseGadgetEvent(KeyChar, gadget, character, mods);
    }
    return FALSE;
}

gboolean OnKeyRelease(GtkWidget*, GdkEventKey* key, gpointer data) {
    const TGadgetPtr gadget = static_cast<TGtkGadget*>(data)->shared_from_this();
    if (key->keyval == heldKey) heldKey = 0;
    if ((gadget->sensitivity & SENSITIZE_KEYS) && !(gadget->State() & STATE_DISABLED))
        RaiseGadgetEvent(KeyUp, gadget, KeyCodeOf(key->keyval), ModifiersOf(key->state));
    return FALSE;
}

TGadgetPtr MouseGadget(gpointer data) {
    const TGadgetPtr gadget = static_cast<TGtkGadget*>(data)->shared_from_this();
    return (gadget->sensitivity & SENSITIZE_MOUSE) ? gadget : nullptr;
}

// Pointer position in the gadget's own coordinates.
void GadgetPoint(gpointer data, double rootX, double rootY, int& x, int& y) {
    GtkWidget* widget = static_cast<TGtkGadget*>(data)->Outer();
    int originX = 0, originY = 0;
    if (GdkWindow* window = gtk_widget_get_window(widget)) gdk_window_get_origin(window, &originX, &originY);
    if (!gtk_widget_get_has_window(widget)) {
        GtkAllocation allocation;
        gtk_widget_get_allocation(widget, &allocation);
        originX += allocation.x;
        originY += allocation.y;
    }
    x = static_cast<int>(rootX) - originX;
    y = static_cast<int>(rootY) - originY;
}

int ButtonNumber(guint button) {
    switch (button) {
        case 1: return 1;
        case 3: return 2;
        case 2: return 3;
        default: return static_cast<int>(button);
    }
}

gboolean OnButton(GtkWidget*, GdkEventButton* button, gpointer data) {
    TPointerGadgets& pointer = PointerGadgets();
    const TGadgetPtr self = static_cast<TGtkGadget*>(data)->shared_from_this();
    if (button->type == GDK_BUTTON_PRESS) pointer.pressed = self;
    if (button->type == GDK_BUTTON_RELEASE && pointer.pressed == self) pointer.pressed = nullptr;
    const TGadgetPtr gadget = MouseGadget(data);
    if (!gadget || (button->type != GDK_BUTTON_PRESS && button->type != GDK_BUTTON_RELEASE))
        return FALSE;
    int x = 0, y = 0;
    GadgetPoint(data, button->x_root, button->y_root, x, y);
    RaiseGadgetEvent(button->type == GDK_BUTTON_PRESS ? MouseDown : MouseUp, gadget,
                     ButtonNumber(button->button), ModifiersOf(button->state), x, y);
    return FALSE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* motion, gpointer data) {
    if (const TGadgetPtr gadget = MouseGadget(data)) {
        int x = 0, y = 0;
        GadgetPoint(data, motion->x_root, motion->y_root, x, y);
        RaiseGadgetEvent(MouseMove, gadget, 0, ModifiersOf(motion->state), x, y);
    }
    return FALSE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* scroll, gpointer data) {
    const TGadgetPtr gadget = MouseGadget(data);
    if (!gadget || (scroll->direction != GDK_SCROLL_UP && scroll->direction != GDK_SCROLL_DOWN))
        return FALSE;
    int x = 0, y = 0;
    GadgetPoint(data, scroll->x_root, scroll->y_root, x, y);
    RaiseGadgetEvent(MouseWheel, gadget, scroll->direction == GDK_SCROLL_UP ? 1 : -1,
                     ModifiersOf(scroll->state), x, y);
    return FALSE;
}

gboolean OnCrossing(GtkWidget*, GdkEventCrossing* crossing, gpointer data) {
    TPointerGadgets& pointer = PointerGadgets();
    const TGadgetPtr self = static_cast<TGtkGadget*>(data)->shared_from_this();
    const bool enter = crossing->type == GDK_ENTER_NOTIFY;
    if (enter)
        pointer.hover = self;
    else if (pointer.hover == self)
        pointer.hover = nullptr;
    if (const TGadgetPtr gadget = MouseGadget(data)) {
        int x = 0, y = 0;
        GadgetPoint(data, crossing->x_root, crossing->y_root, x, y);
        RaiseGadgetEvent(enter ? MouseEnter : MouseLeave, gadget, 0, ModifiersOf(crossing->state),
                         x, y);
    }
    return FALSE;
}

}  // namespace

int ModifiersOf(guint state) {
    int mods = 0;
    if (state & GDK_SHIFT_MASK) mods |= MODIFIER_SHIFT;
    if (state & GDK_CONTROL_MASK) mods |= MODIFIER_CONTROL;
    if (state & GDK_MOD1_MASK) mods |= MODIFIER_ALT;
    if (state & (GDK_SUPER_MASK | GDK_META_MASK)) mods |= MODIFIER_SYSTEM;
    return mods;
}

int KeyCodeOf(guint keyval) {
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return static_cast<int>(keyval - GDK_KEY_a) + 'A';
    if ((keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) || (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9))
        return static_cast<int>(keyval);
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return static_cast<int>(keyval - GDK_KEY_KP_0) + 96;
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return static_cast<int>(keyval - GDK_KEY_F1) + 112;
    for (const TKeyCode& k : kKeyCodes) {
        if (k.keyval == keyval) return k.code;
    }
    return static_cast<int>(keyval);
}

int CharacterOf(guint keyval, guint state) {
    if (state & GDK_MOD1_MASK) return 0;  // Alt combinations choose menus, they type nothing
    const gunichar character = gdk_keyval_to_unicode(keyval);
    if (character == 0 || character == 0x7f) return 0;
    if ((state & GDK_CONTROL_MASK) && g_unichar_isalpha(character) && character < 128)
        return static_cast<int>(g_unichar_toupper(character) & 0x1f);
    return static_cast<int>(character);
}

void ReportInput(TGtkGadget& gadget, GtkWidget* widget) {
    gtk_widget_add_events(widget, GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK |
                                      GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                      GDK_POINTER_MOTION_MASK | GDK_SCROLL_MASK |
                                      GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK);
    gadget.Connect(widget, "key-press-event", G_CALLBACK(OnKeyPress));
    gadget.Connect(widget, "key-release-event", G_CALLBACK(OnKeyRelease));
    gadget.Connect(widget, "button-press-event", G_CALLBACK(OnButton));
    gadget.Connect(widget, "button-release-event", G_CALLBACK(OnButton));
    gadget.Connect(widget, "motion-notify-event", G_CALLBACK(OnMotion));
    gadget.Connect(widget, "scroll-event", G_CALLBACK(OnScroll));
    gadget.Connect(widget, "enter-notify-event", G_CALLBACK(OnCrossing));
    gadget.Connect(widget, "leave-notify-event", G_CALLBACK(OnCrossing));
}

}  // namespace gui::gtk
