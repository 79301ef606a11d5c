#include "gui/event.h"

#include <cstdint>

#include "gui/hook.h"

namespace gui {
namespace {

struct TEventModule {
    int emitHookId = -1;
    // "}257{AppSuspend}258{AppResume}...": a lookup is one search for "}id{".
    std::string descriptions = "}";
    std::uint32_t lastUserId = 0x80000000u;
};

TEventModule& Module() {
    static TEventModule module;
    return module;
}

void RegisterStandardIds() {
    static const struct {
        int id;
        const char* name;
    } names[] = {
        {AppSuspend, "AppSuspend"},       {AppResume, "AppResume"},
        {AppTerminate, "AppTerminate"},   {AppOpenFile, "AppOpenFile"},
        {AppIdle, "AppIdle"},             {KeyDown, "KeyDown"},
        {KeyUp, "KeyUp"},                 {KeyChar, "KeyChar"},
        {KeyRepeat, "KeyRepeat"},         {MouseDown, "MouseDown"},
        {MouseUp, "MouseUp"},             {MouseMove, "MouseMove"},
        {MouseWheel, "MouseWheel"},       {MouseEnter, "MouseEnter"},
        {MouseLeave, "MouseLeave"},       {TimerTick, "TimerTick"},
        {HotkeyHit, "HotkeyHit"},         {GadgetAction, "GadgetAction"},
        {GadgetPaint, "GadgetPaint"},     {GadgetSelect, "GadgetSelect"},
        {GadgetMenu, "GadgetMenu"},       {GadgetOpen, "GadgetOpen"},
        {GadgetClose, "GadgetClose"},     {GadgetDone, "GadgetDone"},
        {GadgetLostFocus, "GadgetLostFocus"}, {GadgetShape, "GadgetShape"},
        {WindowMove, "WindowMove"},       {WindowSize, "WindowSize"},
        {WindowClose, "WindowClose"},     {WindowActivate, "WindowActivate"},
        {WindowAccept, "WindowAccept"},   {MenuAction, "MenuAction"},
        {StreamEof, "StreamEof"},         {StreamAvail, "StreamAvail"},
        {ProcessExit, "ProcessExit"},
    };
    for (const auto& entry : names) TEvent::RegisterId(entry.id, entry.name);
}

}  // namespace

void InitEvents() {
    static bool done = false;
    if (done) return;
    done = true;
    InitHooks();
    Module().emitHookId = NewHookId();
    RegisterStandardIds();
}

int EmitEventHookId() {
    InitEvents();
    return Module().emitHookId;
}

std::string TEvent::ToString() const {
    std::string description = DescriptionForId(id);
    if (description.empty()) {
        const auto unsignedId = static_cast<std::uint32_t>(id);
        if (unsignedId & 0x80000000u) {
            description = "UserEvent" + std::to_string(unsignedId - 0x80000000u);
        } else {
            description = "Unknown Event, id=" + std::to_string(id);
        }
    }
    const auto* text = dynamic_cast<const rt::TTextObject*>(extra.get());
    return description + ": data=" + std::to_string(data) + ", mods=" + std::to_string(mods) +
           ", x=" + std::to_string(x) + ", y=" + std::to_string(y) + ", extra=\"" +
           (text ? text->text : std::string()) + "\"";
}

void TEvent::Emit() {
    CallHooks(EmitEventHookId(), shared_from_this());
}

TEventPtr TEvent::Create(int id, rt::TObjectPtr source, int data, int mods, int x, int y,
                         rt::TObjectPtr extra) {
    auto event = std::make_shared<TEvent>();
    event->id = id;
    event->source = std::move(source);
    event->data = data;
    event->mods = mods;
    event->x = x;
    event->y = y;
    event->extra = std::move(extra);
    return event;
}

int TEvent::AllocUserId() {
    InitEvents();
    return static_cast<int>(++Module().lastUserId);
}

void TEvent::RegisterId(int id, const std::string& name) {
    InitEvents();
    Module().descriptions += std::to_string(id) + "{" + name + "}";
}

std::string TEvent::DescriptionForId(int id) {
    InitEvents();
    const std::string& table = Module().descriptions;
    const std::string key = "}" + std::to_string(id) + "{";
    const std::size_t at = table.find(key);
    if (at == std::string::npos) return {};
    const std::size_t start = at + key.size();
    const std::size_t end = table.find('}', start);
    if (end == std::string::npos) return {};
    return table.substr(start, end - start);
}

void EmitNewEvent(int id, rt::TObjectPtr source, int data, int mods, int x, int y,
                  rt::TObjectPtr extra) {
    TEvent::Create(id, std::move(source), data, mods, x, y, std::move(extra))->Emit();
}

int NewUserEventId(const std::string& name) {
    const int id = TEvent::AllocUserId();
    if (!name.empty()) TEvent::RegisterId(id, name);
    return id;
}

}  // namespace gui
