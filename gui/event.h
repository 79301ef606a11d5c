#pragma once
// Events: what the platform reports, as objects that travel through the emit-event
// hook chain into the queue.

#include <memory>
#include <string>

#include "runtime/object.h"

namespace gui {

// Id groups (mask bits) and the ids the toolkit defines.
enum : int {
    EVENT_APPMASK = 0x100,
    EVENT_KEYMASK = 0x200,
    EVENT_MOUSEMASK = 0x400,
    EVENT_TIMERMASK = 0x800,
    EVENT_HOTKEYMASK = 0x1000,
    EVENT_GADGETMASK = 0x2000,
    EVENT_WINDOWMASK = 0x4000,
    EVENT_MENUMASK = 0x8000,
    EVENT_STREAMMASK = 0x10000,
    EVENT_PROCESSMASK = 0x20000,
};

enum TEventId : int {
    AppSuspend = 0x101,
    AppResume = 0x102,
    AppTerminate = 0x103,
    AppOpenFile = 0x104,
    AppIdle = 0x105,
    KeyDown = 0x201,
    KeyUp = 0x202,
    KeyChar = 0x203,
    KeyRepeat = 0x204,
    MouseDown = 0x401,
    MouseUp = 0x402,
    MouseMove = 0x403,
    MouseWheel = 0x404,
    MouseEnter = 0x405,
    MouseLeave = 0x406,
    TimerTick = 0x801,
    HotkeyHit = 0x1001,
    GadgetAction = 0x2001,
    GadgetPaint = 0x2002,
    GadgetSelect = 0x2003,
    GadgetMenu = 0x2004,
    GadgetOpen = 0x2005,
    GadgetClose = 0x2006,
    GadgetDone = 0x2007,
    GadgetLostFocus = 0x2008,
    GadgetShape = 0x2009,
    GadgetDrag = 0x200A,
    GadgetDrop = 0x200B,
    WindowMove = 0x4001,
    WindowSize = 0x4002,
    WindowClose = 0x4003,
    WindowActivate = 0x4004,
    WindowAccept = 0x4005,
    MenuAction = 0x8001,
    StreamEof = 0x10001,
    StreamAvail = 0x10002,
    ProcessExit = 0x20001,
};

// Modifier bits of `mods`.
enum : int { MODIFIER_SHIFT = 1, MODIFIER_CONTROL = 2, MODIFIER_ALT = 4, MODIFIER_SYSTEM = 8 };

class TEvent;
using TEventPtr = std::shared_ptr<TEvent>;

class TEvent : public rt::TObject, public std::enable_shared_from_this<TEvent> {
public:
    int id = 0;
    rt::TObjectPtr source;
    int data = 0;
    int mods = 0;
    int x = 0, y = 0;
    rt::TObjectPtr extra;

    std::string ToString() const;
    // Runs the emit-event hook chain over this event (the queue hook stores it).
    void Emit();

    static TEventPtr Create(int id, rt::TObjectPtr source = nullptr, int data = 0, int mods = 0,
                            int x = 0, int y = 0, rt::TObjectPtr extra = nullptr);
    // User ids count up from 0x80000001.
    static int AllocUserId();
    static void RegisterId(int id, const std::string& name);
    // The registered name, or "" for an id without one.
    static std::string DescriptionForId(int id);
};

void EmitNewEvent(int id, rt::TObjectPtr source = nullptr, int data = 0, int mods = 0, int x = 0,
                  int y = 0, rt::TObjectPtr extra = nullptr);
int NewUserEventId(const std::string& name);

// The hook id whose chain Emit runs.
int EmitEventHookId();

// Event module set-up, once (the hook registry first).
void InitEvents();

}  // namespace gui
