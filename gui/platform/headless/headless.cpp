#include "gui/platform/headless/headless.h"

#include <cctype>
#include <functional>
#include <utility>

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/eventqueue.h"
#include "gui/gadgetdriver.h"
#include "gui/gadgets.h"
#include "gui/hotkey.h"
#include "gui/localization.h"
#include "gui/systemdriver.h"
#include "runtime/text.h"

namespace gui::headless {
namespace {

THeadlessGadget& Native(const TGadgetPtr& gadget) {
    return static_cast<THeadlessGadget&>(*gadget);
}

// What a screen lets the user reach: a live gadget, neither it nor a group above it
// disabled or hidden.
bool Reachable(const TGadgetPtr& gadget) {
    return !Native(gadget).IsFreed() && !IsGadgetDisabled(gadget, 1) &&
           !IsGadgetHidden(gadget, 1);
}

bool Editable(const TGadgetPtr& gadget) {
    return gadget->Class() == GADGET_TEXTFIELD ||
           (gadget->Class() == GADGET_TEXTAREA && !(gadget->style & TEXTAREA_READONLY));
}

void ReportKey(const TGadgetPtr& gadget, int id, int data, int mods) {
    if (gadget->GetSensitivity() & SENSITIZE_KEYS) RaiseGadgetEvent(id, gadget, data, mods);
}

// One key reaching a focused field; selectionPending is true while all of the text is
// still selected.
void TypeKey(const TGadgetPtr& field, int key, char32_t character, int mods,
             bool& selectionPending) {
    if (!Reachable(field) || EmitHotKey(key, mods, field) || !Editable(field)) return;
    if (!KeyFilterPasses(field, KeyDown, key, mods)) return;
    ReportKey(field, KeyDown, key, mods);
    THeadlessGadget& native = Native(field);
    const std::string before = native.GetText();
    if (character != 0) {
        if (!KeyFilterPasses(field, KeyChar, static_cast<int>(character), mods)) return;
        ReportKey(field, KeyChar, static_cast<int>(character), mods);
        std::string typed;
        rt::AppendUtf8(typed, character);
        native.InsertTyped(typed, selectionPending);
        selectionPending = false;
    } else if (key == KEY_BACKSPACE || (key == KEY_DELETE && selectionPending)) {
        native.EraseTyped(selectionPending);
        selectionPending = false;
    }
    if (native.GetText() != before) RaiseGadgetEvent(GadgetAction, field, 0, mods);
}

int KeyCodeOf(char32_t character) {
    if (character < 128) return std::toupper(static_cast<int>(character));
    return static_cast<int>(character);
}

void AfterClick(const TGadgetPtr& gadget, int mods) {
    if (!Reachable(gadget)) return;
    if (gadget->GetSensitivity() & SENSITIZE_MOUSE) {
        RaiseGadgetEvent(MouseDown, gadget, 1, mods);
        RaiseGadgetEvent(MouseUp, gadget, 1, mods);
    }
    if (gadget->Class() != GADGET_BUTTON) return;
    const int kind = gadget->style & BUTTON_KINDMASK;
    if (kind == BUTTON_CHECKBOX) Native(gadget).ToggleCheck();
    if (kind == BUTTON_RADIO) gadget->SetSelected(1);
    RaiseGadgetEvent(GadgetAction, gadget, ReadButtonState(gadget), mods);
}

const TMenuEntry* FindEntry(const std::vector<TMenuEntry>& entries,
                            const std::function<bool(const TMenuEntry&)>& matches) {
    for (const TMenuEntry& entry : entries) {
        if (matches(entry)) return &entry;
        if (const TMenuEntry* found = FindEntry(entry.kids, matches)) return found;
    }
    return nullptr;
}

// Code points of UTF-8 text; bytes that are no UTF-8 come out as their escapes.
std::vector<char32_t> CodePoints(const std::string& text) {
    const std::u16string units = rt::Utf8ToUtf16(text);
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < units.size();) points.push_back(rt::NextCodePoint(units, i));
    return points;
}

// The item as a menu bar shows it: in some window's rebuilt bar, and enabled along
// its menu path.
bool ChoosableItem(const TGadgetPtr& item) {
    for (const TGadgetPtr& window : Windows()) {
        const auto sameItem = [&item](const TMenuEntry& entry) { return entry.item == item; };
        if (!FindEntry(Native(window).MenuBar(), sameItem)) continue;
        for (TGadgetPtr g = item; g && g->Class() == GADGET_MENUITEM; g = g->GetGroup()) {
            if (g->State() & STATE_DISABLED) return false;
        }
        return Reachable(window);
    }
    return false;
}

void CollectOfKind(const TGadgetPtr& root, int kind, std::vector<TGadgetPtr>& found) {
    for (const TGadgetPtr& kid : root->kids) {
        if (kid->Class() == kind) found.push_back(kid);
        CollectOfKind(kid, kind, found);
    }
}

}  // namespace

THeadlessSystemDriver& SystemDriver() {
    return static_cast<THeadlessSystemDriver&>(CurrentSystemDriver());
}

THeadlessGadgetDriver& GadgetDriver() {
    return static_cast<THeadlessGadgetDriver&>(CurrentGadgetDriver());
}

void Reset() {
    THeadlessSystemDriver& system = SystemDriver();
    system.SetWaitHandler(nullptr);
    system.SetPollHandler(nullptr);
    system.SetUnansweredHandler(nullptr);
    system.DropInput();
    system.dirAnswers.clear();
    system.fileAnswers.clear();
    system.messageAnswers.clear();
    system.calls.clear();
    system.openedUrls.clear();
    system.openUrlResult = 1;
    THeadlessGadgetDriver& gadgets = GadgetDriver();
    gadgets.colorAnswers.clear();
    gadgets.fontAnswers.clear();
    gadgets.iconSources.clear();
    gadgets.installedFonts = THeadlessGadgetDriver::DefaultFonts();
    while (const THotKeyPtr hotKey = FirstHotKey()) UnbindHotKey(hotKey);
    SetLocalizationMode(0);
    SetLocalizationLanguage(nullptr);
    for (const TGadgetPtr& window : std::vector<TGadgetPtr>(Windows())) DiscardGadget(window);
    PointerGadgets() = {};
    ReleaseDeferredEvents();
    while (TakeEvent() != 0) {
    }
}

void SetDesktopSize(int w, int h) { GadgetDriver().SetDesktopSize(w, h); }

void Click(const TGadgetPtr& gadget, int mods) {
    SystemDriver().Inject([gadget, mods] { AfterClick(gadget, mods); });
}

void ChooseMenu(const TGadgetPtr& item, int mods) {
    SystemDriver().Inject([item, mods] {
        if (ChoosableItem(item)) {
            RaiseGadgetEvent(MenuAction, item, Native(item).Tag(), mods);
        }
    });
}

void TypeText(const TGadgetPtr& field, const std::string& text, bool selectAll) {
    SystemDriver().Inject([field, text, selectAll] {
        bool selectionPending = selectAll;
        if (text.empty() && selectAll) TypeKey(field, KEY_DELETE, 0, 0, selectionPending);
        for (char32_t c : CodePoints(text)) {
            TypeKey(field, KeyCodeOf(c), c, 0, selectionPending);
        }
    });
}

void PressKey(const TGadgetPtr& field, int key, int character, int mods) {
    SystemDriver().Inject([field, key, character, mods] {
        bool selectionPending = false;
        TypeKey(field, key, static_cast<char32_t>(character), mods, selectionPending);
    });
}

void CloseWindow(const TGadgetPtr& window) {
    SystemDriver().Inject([window] {
        if (!Native(window).IsFreed()) RaiseGadgetEvent(WindowClose, window);
    });
}

void ResizeClient(const TGadgetPtr& window, int w, int h) {
    SystemDriver().Inject([window, w, h] {
        if (Native(window).IsFreed()) return;
        Native(window).ResizeClientArea(w, h);
        RaiseGadgetEvent(WindowSize, window, 0, 0, window->ClientWidth(), window->ClientHeight());
    });
}

void MoveWindow(const TGadgetPtr& window, int x, int y) {
    SystemDriver().Inject([window, x, y] {
        if (Native(window).IsFreed()) return;
        window->SetArea(x, y, window->GetWidth(), window->GetHeight());
        RaiseGadgetEvent(WindowMove, window, 0, 0, x, y);
    });
}

bool InputPending() { return SystemDriver().InputPending(); }

void SetWaitHandler(THeadlessSystemDriver::THandler handler) {
    SystemDriver().SetWaitHandler(std::move(handler));
}

void SetPollHandler(THeadlessSystemDriver::THandler handler) {
    SystemDriver().SetPollHandler(std::move(handler));
}

void QueueDirAnswer(const std::string& path) { SystemDriver().dirAnswers.push_back(path); }
void QueueFileAnswer(const std::string& path) { SystemDriver().fileAnswers.push_back(path); }
void QueueMessageAnswer(int result) { SystemDriver().messageAnswers.push_back(result); }

void SetUnansweredHandler(THeadlessSystemDriver::TUnansweredHandler handler) {
    SystemDriver().SetUnansweredHandler(std::move(handler));
}

const std::vector<TRequesterCall>& RequesterCalls() { return SystemDriver().calls; }
const std::vector<std::string>& OpenedUrls() { return SystemDriver().openedUrls; }

std::vector<std::string> TakeOpenedUrls() {
    return std::exchange(SystemDriver().openedUrls, {});
}

void SetOpenUrlResult(int result) { SystemDriver().openUrlResult = result; }

TGadgetView Inspect(const TGadgetPtr& gadget) {
    TGadgetView view;
    view.kind = gadget->Class();
    view.text = gadget->GetText();
    view.state = gadget->State();
    view.enabled = !IsGadgetDisabled(gadget, 1);
    view.hidden = IsGadgetHidden(gadget, 1) != 0;
    view.buttonState = ReadButtonState(gadget);
    view.x = gadget->GetXPos();
    view.y = gadget->GetYPos();
    view.width = gadget->GetWidth();
    view.height = gadget->GetHeight();
    view.clientWidth = gadget->ClientWidth();
    view.clientHeight = gadget->ClientHeight();
    view.progress = Native(gadget).Progress();
    view.statusText = gadget->GetStatusText();
    view.tag = Native(gadget).Tag();
    return view;
}

int ProgressOf(const TGadgetPtr& bar) { return Native(bar).Progress(); }
std::string StatusBarTextOf(const TGadgetPtr& window) { return window->GetStatusText(); }
std::vector<TMenuEntry> MenuBarOf(const TGadgetPtr& window) { return Native(window).MenuBar(); }

TGadgetPtr FindMenuItem(const TGadgetPtr& window, int tag) {
    const auto sameTag = [tag](const TMenuEntry& entry) { return entry.tag == tag; };
    const TMenuEntry* entry = FindEntry(Native(window).MenuBar(), sameTag);
    return entry ? entry->item : nullptr;
}

void QueueColorAnswer(int rgb) { GadgetDriver().colorAnswers.push_back(rgb); }

void QueueFontAnswer(const std::shared_ptr<TGuiFont>& font) {
    GadgetDriver().fontAnswers.push_back(font);
}

void SetInstalledFonts(const std::vector<std::string>& faces) {
    GadgetDriver().installedFonts = faces;
}

void AddIconSource(const std::string& source, const std::shared_ptr<TPixmap>& pixmap) {
    GadgetDriver().iconSources[source] = pixmap;
}

int PointerShape() { return GadgetDriver().pointerShape; }
int PointerChanges() { return GadgetDriver().pointerChanges; }

std::vector<TListItemView> ListItemsOf(const TGadgetPtr& gadget) {
    return Native(gadget).ListItems();
}

std::vector<std::string> ListTextsOf(const TGadgetPtr& gadget) {
    std::vector<std::string> texts;
    for (const TListItemView& item : Native(gadget).ListItems()) texts.push_back(item.text);
    return texts;
}

const std::vector<TGadgetPtr>& Windows() { return GadgetDriver().Windows(); }

TGadgetPtr FindGadget(const TGadgetPtr& root, int kind, const std::string& text, int nth) {
    for (const TGadgetPtr& gadget : GadgetsOfKind(root, kind)) {
        if (gadget->GetText() == text && nth-- == 0) return gadget;
    }
    return nullptr;
}

std::vector<TGadgetPtr> GadgetsOfKind(const TGadgetPtr& root, int kind) {
    std::vector<TGadgetPtr> found;
    CollectOfKind(root, kind, found);
    return found;
}

}  // namespace gui::headless
