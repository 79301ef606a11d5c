#include "gui/gadgets.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/eventqueue.h"
#include "gui/gadgetdriver.h"
#include "gui/iconstrip.h"
#include "gui/platform.h"
#include "gui/proxygadget.h"

namespace gui {
namespace {

struct TGadgetModule {
    std::shared_ptr<TGadgetDriver> driver;
    TGadgetPtr desktop;
    std::vector<TEventPtr> deferred;
    TPointerGadgets pointer;
};

TGadgetModule& Module() {
    static TGadgetModule module;
    return module;
}

TGadgetPtr Create(int kind, const std::string& text, int x, int y, int w, int h,
                  const TGadgetPtr& group, int style) {
    return CurrentGadgetDriver().CreateGadget(kind, text, x, y, w, h, ResolveGroup(group), style);
}

int CentredStart(int groupStart, int groupExtent, int extent) {
    return groupStart + (groupExtent - extent) / 2;
}

TEventPtr GadgetEvent(int id, const TGadgetPtr& gadget, int data, int mods, int x, int y,
                      rt::TObjectPtr extra) {
    return TEvent::Create(id, EventSourceOf(gadget), data, mods, x, y, std::move(extra));
}

int StateBit(const TGadgetPtr& gadget, int bit, int recursive) {
    for (TGadgetPtr g = gadget; g; g = recursive ? g->GetGroup() : nullptr) {
        if (g->State() & bit) return 1;
    }
    return 0;
}

}  // namespace

void InitGadgets() {
    static bool done = false;
    if (done) return;
    done = true;
    InitEventQueue();
    TEvent::RegisterId(GadgetDrag, "GadgetDrag");
    TEvent::RegisterId(GadgetDrop, "GadgetDrop");
    Module().driver = CreatePlatformGadgetDriver();
    if (!Module().driver) throw std::logic_error("the platform made no gadget driver");
}

TGadgetDriver& CurrentGadgetDriver() {
    InitGadgets();
    return *Module().driver;
}

TGadgetPtr MakeWindow(const std::string& title, int x, int y, int w, int h,
                      const TGadgetPtr& group, int style) {
    if (style & WINDOW_CENTER) {
        if (const TGadgetPtr g = ResolveGroup(group)) {
            x = CentredStart(g->GetXPos(), g->GetWidth(), w);
            y = CentredStart(g->GetYPos(), g->GetHeight(), h);
        } else {
            const TGadgetPtr desktop = DesktopGadget();
            x = CentredStart(0, std::min(desktop->ClientWidth(), desktop->GetWidth()), w);
            y = CentredStart(0, std::min(desktop->ClientHeight(), desktop->GetHeight()), h);
        }
    }
    return Create(GADGET_WINDOW, title, x, y, w, h, group, style);
}

TGadgetPtr MakeLabel(const std::string& text, int x, int y, int w, int h,
                     const TGadgetPtr& group, int style) {
    return Create(GADGET_LABEL, text, x, y, w, h, group, style);
}

TGadgetPtr MakeButton(const std::string& text, int x, int y, int w, int h,
                      const TGadgetPtr& group, int style) {
    return Create(GADGET_BUTTON, text, x, y, w, h, group, style);
}

TGadgetPtr MakeTextField(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_TEXTFIELD, "", x, y, w, h, group, style);
}

TGadgetPtr MakeTextArea(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_TEXTAREA, "", x, y, w, h, group, style);
}

TGadgetPtr MakeProgressBar(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_PROGBAR, "", x, y, w, h, group, style);
}

TGadgetPtr MakePanel(int x, int y, int w, int h, const TGadgetPtr& group, int style,
                     const std::string& title) {
    return Create(GADGET_PANEL, title, x, y, w, h, group, style);
}

TGadgetPtr MakeComboBox(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_COMBOBOX, "", x, y, w, h, group, style);
}

TGadgetPtr MakeListBox(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_LISTBOX, "", x, y, w, h, group, style);
}

TGadgetPtr MakeTabber(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_TABBER, "", x, y, w, h, group, style);
}

TGadgetPtr MakeTreeView(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_TREEVIEW, "", x, y, w, h, group, style);
}

TGadgetPtr MakeHTMLView(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_HTMLVIEW, "", x, y, w, h, group, style);
}

TGadgetPtr MakeSlider(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    return Create(GADGET_SLIDER, "", x, y, w, h, group, style);
}

TGadgetPtr MakeCanvas(int x, int y, int w, int h, const TGadgetPtr& group, int style) {
    TGadgetPtr canvas = Create(GADGET_CANVAS, "", x, y, w, h, group, style | PANEL_CANVAS);
    if (canvas) canvas->AttachGraphics(0);
    return canvas;
}

TGadgetPtr MakeToolbar(const std::string& iconSource, int x, int y, int w, int h,
                       const TGadgetPtr& group, int style) {
    TGadgetPtr toolbar = Create(GADGET_TOOLBAR, "", x, y, w, h, group, style);
    if (!toolbar) return nullptr;
    if (const TIconStripPtr strip = CurrentGadgetDriver().LoadIconStrip(iconSource)) {
        toolbar->SetIconStrip(strip);
        for (int icon = 0; icon < strip->count; ++icon) toolbar->InsertItem(icon, "", "", icon);
    }
    return toolbar;
}

TGadgetPtr MakeMenuItem(const std::string& text, int tag, const TGadgetPtr& parent, int hotKey,
                        int modifiers) {
    TGadgetPtr group = ResolveGroup(parent);
    if (group && group->Class() == GADGET_WINDOW) group = RootMenuOf(group);
    TGadgetPtr item = Create(GADGET_MENUITEM, text, 0, 0, 0, 0, group, tag);
    if (item && hotKey != 0) item->SetHotKey(hotKey, modifiers);
    return item;
}

TGadgetPtr DesktopGadget() {
    TGadgetModule& module = Module();
    if (!module.desktop) module.desktop = Create(GADGET_DESKTOP, "", 0, 0, 0, 0, nullptr, 0);
    return module.desktop;
}

TGadgetPtr ResolveGroup(const TGadgetPtr& gadget) {
    TGadgetPtr resolved = gadget;
    while (const auto* proxyGadget = dynamic_cast<const TProxyGadget*>(resolved.get())) {
        resolved = proxyGadget->proxy;
    }
    // The shared target of unset proxies is no group: kids must not collect on it.
    return resolved == TProxyGadget::NullGadget() ? nullptr : resolved;
}

void LayoutGadget(const TGadgetPtr& gadget, int left, int right, int top, int bottom) {
    gadget->SetLayout(left, right, top, bottom);
}

void ShapeGadget(const TGadgetPtr& gadget, int x, int y, int w, int h) {
    gadget->SetShape(x, y, w, h);
}

void PutGadgetText(const TGadgetPtr& gadget, const std::string& text) {
    CurrentGadgetDriver().DelocalizeGadget(gadget.get());
    gadget->SetText(text);
}

std::string FetchGadgetText(const TGadgetPtr& gadget) { return gadget->GetText(); }

void FilterGadget(const TGadgetPtr& gadget, TEventFilter filter, rt::TObjectPtr context) {
    gadget->SetFilter(std::move(filter), std::move(context));
}

void EnableGadgetInput(const TGadgetPtr& gadget) { gadget->SetEnabled(1); }
void DisableGadgetInput(const TGadgetPtr& gadget) { gadget->SetEnabled(0); }
void DiscardGadget(const TGadgetPtr& gadget) { gadget->CleanUp(); }
int ClientWidthOf(const TGadgetPtr& gadget) { return gadget->ClientWidth(); }
int ClientHeightOf(const TGadgetPtr& gadget) { return gadget->ClientHeight(); }
TGadgetPtr RootMenuOf(const TGadgetPtr& window) { return window->GetMenu(); }
void RebuildMenuBar(const TGadgetPtr& window) { window->UpdateMenu(); }

void PutStatusBarText(const TGadgetPtr& window, const std::string& text) {
    window->SetStatusText(text);
}

int ReadButtonState(const TGadgetPtr& button) {
    const int state = button->State();
    if (state & STATE_INDETERMINATE) return -1;
    return (state & STATE_SELECTED) ? 1 : 0;
}

void AppendAreaText(const TGadgetPtr& area, const std::string& text) { area->AddText(text); }
void PutProgressValue(const TGadgetPtr& bar, float fraction) { bar->SetValue(fraction); }

TGadgetPtr ActiveGadget() { return CurrentGadgetDriver().ActiveGadget(); }
int HasKeyboardFocus(const TGadgetPtr& gadget) { return gadget->HasFocus(); }
void FocusGadget(const TGadgetPtr& gadget) { gadget->Activate(ACTIVATE_FOCUS); }
void RequestAttention(const TGadgetPtr& window) { window->Activate(ACTIVATE_ATTENTION); }

void NameGadget(const TGadgetPtr& gadget, const std::string& name) {
    gadget->SetAccessibleName(name);
}

void DescribeGadget(const TGadgetPtr& gadget, const std::string& description) {
    gadget->SetAccessibleDescription(description);
}

void LabelGadget(const TGadgetPtr& gadget, const TGadgetPtr& label) {
    gadget->AddAccessibleLabel(label);
}

void AnnounceGadgetText(const TGadgetPtr& gadget) { gadget->SetAnnounced(1); }
void MakeTextReadOnly(const TGadgetPtr& field) { field->SetReadOnly(1); }

int IsGadgetDisabled(const TGadgetPtr& gadget, int recursive) {
    return StateBit(gadget, STATE_DISABLED, recursive);
}

int IsGadgetHidden(const TGadgetPtr& gadget, int recursive) {
    return StateBit(gadget, STATE_HIDDEN, recursive);
}

int ProgressSteps(float fraction) {
    if (!(fraction > 0.0f)) return 0;  // also NaN
    if (fraction >= 1.0f) return 100;
    return static_cast<int>(fraction * 100.0f);
}

TGadgetPtr CreateRootMenu(const TGadgetPtr& window) {
    return CurrentGadgetDriver().CreateGadget(GADGET_MENUITEM, "", 0, 0, 0, 0, window, 0);
}

TGadgetPtr EventSourceOf(const TGadgetPtr& gadget) {
    TGadgetPtr source = gadget;
    while (TGadgetPtr next = source->source.lock()) source = std::move(next);
    return source;
}

int KeyFilterPasses(const TGadgetPtr& gadget, int id, int data, int mods) {
    if (!gadget->eventfilter) return 1;
    return gadget->eventfilter(TEvent::Create(id, gadget, data, mods), gadget->context) != 0;
}

void RaiseGadgetEvent(int id, const TGadgetPtr& gadget, int data, int mods, int x, int y,
                      rt::TObjectPtr extra) {
    GadgetEvent(id, gadget, data, mods, x, y, std::move(extra))->Emit();
}

void DeferGadgetEvent(int id, const TGadgetPtr& gadget, int data, int mods, int x, int y,
                      rt::TObjectPtr extra) {
    Module().deferred.push_back(GadgetEvent(id, gadget, data, mods, x, y, std::move(extra)));
}

void ReleaseDeferredEvents() {
    // Events deferred while these are emitted wait for the next release.
    const std::vector<TEventPtr> pending = std::exchange(Module().deferred, {});
    for (const TEventPtr& event : pending) event->Emit();
}

TPointerGadgets& PointerGadgets() { return Module().pointer; }

}  // namespace gui
