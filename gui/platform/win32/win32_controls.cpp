// The gadget kinds the driver makes inside a window's client area, and the desktop.

#include "gui/platform/win32/win32_api.h"

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/gadgets.h"
#include "gui/platform/win32/win32_gadget.h"
#include "runtime/text.h"

namespace gui::win32 {

namespace {

DWORD ButtonStyle(int gadgetStyle) {
    const DWORD pushLike = (gadgetStyle & BUTTON_PUSHLIKE) ? BS_PUSHLIKE : 0;
    switch (gadgetStyle & BUTTON_KINDMASK) {
        case BUTTON_CHECKBOX:
            // The toolkit decides each new state itself, indeterminate included.
            return BS_3STATE | pushLike;
        case BUTTON_RADIO:
            return BS_RADIOBUTTON | pushLike;
        case BUTTON_OK:
            return BS_DEFPUSHBUTTON;
        default:
            return BS_PUSHBUTTON;
    }
}

bool Toggles(int gadgetStyle) {
    const int kind = gadgetStyle & BUTTON_KINDMASK;
    return kind == BUTTON_CHECKBOX || kind == BUTTON_RADIO;
}

std::wstring EditText(HWND edit) {
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), length + 1)));
    return text;
}

// Count of the text's units: code points for TEXTAREA_CHARS, lines for TEXTAREA_LINES.
int CountUpTo(const std::wstring& text, std::size_t end, int units) {
    int count = 0;
    for (std::size_t i = 0; i < end && i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (units == TEXTAREA_LINES) {
            count += text[i] == L'\n';
        } else if (!(text[i] >= 0xDC00 && text[i] <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF)) {
            ++count;
        }
    }
    return count;
}

int EditActivate(HWND edit, int command) {
    switch (command) {
        case ACTIVATE_CUT:
            SendMessageW(edit, WM_CUT, 0, 0);
            return 1;
        case ACTIVATE_COPY:
            SendMessageW(edit, WM_COPY, 0, 0);
            return 1;
        case ACTIVATE_PASTE:
            SendMessageW(edit, WM_PASTE, 0, 0);
            return 1;
        default:
            return -1;
    }
}

}  // namespace

// --- Buttons --------------------------------------------------------------------------

TWinButton::TWinButton(int gadgetStyle, const TGadgetPtr& group) : TWinGadget(GADGET_BUTTON, gadgetStyle) {
    MakeControl(WC_BUTTONW, WS_TABSTOP | ButtonStyle(style), 0, group);
    // Enter and Escape in dialog navigation press the OK and Cancel buttons.
    const int kind = style & BUTTON_KINDMASK;
    if (Hwnd() != nullptr && (kind == BUTTON_OK || kind == BUTTON_CANCEL))
        SetWindowLongPtrW(Hwnd(), GWLP_ID, kind == BUTTON_OK ? IDOK : IDCANCEL);
}

int TWinButton::State() const {
    int state = TWinGadget::State();
    if (check_ != 0) state |= STATE_SELECTED;
    if (check_ == CHECK_INDETERMINATE) state |= STATE_INDETERMINATE;
    return state;
}

void TWinButton::SetText(const std::string& text) {
    text_ = text;
    if (Hwnd() != nullptr) SetWindowTextW(Hwnd(), Wide(text).c_str());
}

void TWinButton::SetSelected(int selected) {
    if (!Toggles(style)) return;
    if (selected == CHECK_INDETERMINATE && (style & BUTTON_KINDMASK) == BUTTON_CHECKBOX)
        check_ = CHECK_INDETERMINATE;
    else
        check_ = selected != 0 ? 1 : 0;
    ShowCheck();
}

void TWinButton::ShowCheck() {
    if (Hwnd() == nullptr) return;
    const WPARAM native = check_ == CHECK_INDETERMINATE ? BST_INDETERMINATE : check_ != 0 ? BST_CHECKED : BST_UNCHECKED;
    SendMessageW(Hwnd(), BM_SETCHECK, native, 0);
}

// A check box goes from checked to unchecked and from anything else to checked; a radio
// button reports only being chosen.
void TWinButton::Command(WORD notification) {
    if (notification != BN_CLICKED) return;
    const TGadgetPtr self = shared_from_this();
    if ((style & BUTTON_KINDMASK) == BUTTON_RADIO) {
        if (check_ == 1) return;
        check_ = 1;
        ShowCheck();
    } else if (Toggles(style)) {
        check_ = check_ == 1 ? 0 : 1;
        ShowCheck();
    }
    RaiseGadgetEvent(GadgetAction, self, ReadButtonState(self));
}

// --- Text fields ----------------------------------------------------------------------

TWinTextField::TWinTextField(int gadgetStyle, const TGadgetPtr& group) : TWinGadget(GADGET_TEXTFIELD, gadgetStyle) {
    MakeControl(WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL | ((style & TEXTFIELD_PASSWORD) ? ES_PASSWORD : 0),
                WS_EX_CLIENTEDGE, group);
}

void TWinTextField::SetText(const std::string& text) {
    if (Hwnd() != nullptr) Quietly([&] { SetWindowTextW(Hwnd(), Wide(text).c_str()); });
}

std::string TWinTextField::GetText() const { return Hwnd() != nullptr ? WindowText(Hwnd()) : std::string(); }

void TWinTextField::Command(WORD notification) {
    if (notification == EN_CHANGE && !IsQuiet()) RaiseGadgetEvent(GadgetAction, shared_from_this(), 0);
    if (notification == EN_KILLFOCUS) RaiseGadgetEvent(GadgetLostFocus, shared_from_this());
}

int TWinTextField::Activate(int command) {
    const int done = Hwnd() != nullptr ? EditActivate(Hwnd(), command) : 0;
    return done >= 0 ? done : TWinGadget::Activate(command);
}

// A read-only edit control refuses typing, pasting and dropping, and still lets the user
// select and copy its text.
void TWinTextField::SetReadOnly(int readOnly) {
    if (Hwnd() != nullptr) SendMessageW(Hwnd(), EM_SETREADONLY, readOnly != 0, 0);
}

// --- Text areas -----------------------------------------------------------------------

TWinTextArea::TWinTextArea(int gadgetStyle, const TGadgetPtr& group) : TWinGadget(GADGET_TEXTAREA, gadgetStyle) {
    DWORD native = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_NOHIDESEL;
    if (!(style & TEXTAREA_WORDWRAP)) native |= ES_AUTOHSCROLL | WS_HSCROLL;
    if (style & TEXTAREA_READONLY) native |= ES_READONLY;
    if (MakeControl(WC_EDITW, native, WS_EX_CLIENTEDGE, group))
        SendMessageW(Hwnd(), EM_SETLIMITTEXT, 0, 0);  // no limit of 32K characters
}

void TWinTextArea::SetText(const std::string& text) {
    if (Hwnd() != nullptr) Quietly([&] { SetWindowTextW(Hwnd(), WithCrLf(Wide(text)).c_str()); });
}

std::string TWinTextArea::GetText() const {
    if (Hwnd() == nullptr) return {};
    const std::wstring text = EditText(Hwnd());
    return WithoutCr(Narrow(text.data(), text.size()));
}

// Appending puts the caret at the end, which brings the end into view: the report
// follows its newest line.
void TWinTextArea::AddText(const std::string& text) {
    if (Hwnd() == nullptr) return;
    Quietly([&] {
        const LRESULT end = GetWindowTextLengthW(Hwnd());
        SendMessageW(Hwnd(), EM_SETSEL, end, end);
        SendMessageW(Hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WithCrLf(Wide(text)).c_str()));
        SendMessageW(Hwnd(), EM_SCROLLCARET, 0, 0);
    });
}

int TWinTextArea::AreaLen(int units) const {
    if (Hwnd() == nullptr) return 0;
    if (units == TEXTAREA_LINES) return static_cast<int>(SendMessageW(Hwnd(), EM_GETLINECOUNT, 0, 0));
    const std::wstring text = EditText(Hwnd());
    return CountUpTo(text, text.size(), TEXTAREA_CHARS);
}

int TWinTextArea::GetCursorPos(int units) const {
    if (Hwnd() == nullptr) return 0;
    DWORD start = 0;
    SendMessageW(Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return CountUpTo(EditText(Hwnd()), start, units);
}

void TWinTextArea::Command(WORD notification) {
    if (notification == EN_CHANGE && !IsQuiet()) RaiseGadgetEvent(GadgetAction, shared_from_this(), 0);
    if (notification == EN_KILLFOCUS) RaiseGadgetEvent(GadgetLostFocus, shared_from_this());
}

int TWinTextArea::Activate(int command) {
    const int done = Hwnd() != nullptr ? EditActivate(Hwnd(), command) : 0;
    return done >= 0 ? done : TWinGadget::Activate(command);
}

// --- Labels ---------------------------------------------------------------------------

TWinLabel::TWinLabel(int gadgetStyle, const TGadgetPtr& group)
    : TWinGadget(GADGET_LABEL, gadgetStyle), thread_(GetCurrentThreadId()) {
    MakeControl(WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, group);
}

// GetText answers with the new text at once, even before the window has shown it.
void TWinLabel::SetText(const std::string& text) {
    const std::lock_guard<std::mutex> lock(text_.lock);
    text_.text = text;
    if (Hwnd() == nullptr) return;
    if (GetCurrentThreadId() == thread_) {
        SetWindowTextW(Hwnd(), Wide(text).c_str());
        return;
    }
    // Never wait for the window's thread, which may be waiting for this one.
    if (TWinWindow* window = Window()) {
        PostMessageW(window->Hwnd(), kShowPendingText, 0, reinterpret_cast<LPARAM>(Hwnd()));
        WakeNextPoll();
    }
}

void TWinLabel::ShowPendingText() {
    const std::lock_guard<std::mutex> lock(text_.lock);
    SetWindowTextW(Hwnd(), Wide(text_.text).c_str());
}

std::string TWinLabel::GetText() const {
    auto& text = const_cast<TLabelText&>(text_);
    const std::lock_guard<std::mutex> lock(text.lock);
    return text.text;
}

// --- Progress bars --------------------------------------------------------------------

TWinProgressBar::TWinProgressBar(int gadgetStyle, const TGadgetPtr& group) : TWinGadget(GADGET_PROGBAR, gadgetStyle) {
    if (MakeControl(PROGRESS_CLASSW, 0, 0, group)) SendMessageW(Hwnd(), PBM_SETRANGE32, 0, 100);
}

void TWinProgressBar::SetValue(float fraction) {
    // The bar is set once per entry; the control redraws only when the shown step changes.
    const int steps = ProgressSteps(fraction);
    if (steps == steps_ || Hwnd() == nullptr) return;
    steps_ = steps;
    SendMessageW(Hwnd(), PBM_SETPOS, static_cast<WPARAM>(steps_), 0);
}

// --- Desktop --------------------------------------------------------------------------

TWinDesktop::TWinDesktop() {
    BecomeDpiAware();
    const UINT dpi = DpiOf(nullptr);
    SetRect(0, 0, UnscaleBy(GetSystemMetrics(SM_CXSCREEN), dpi), UnscaleBy(GetSystemMetrics(SM_CYSCREEN), dpi));
    RECT work{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        workWidth_ = UnscaleBy(work.right - work.left, dpi);
        workHeight_ = UnscaleBy(work.bottom - work.top, dpi);
    } else {
        workWidth_ = width;
        workHeight_ = height;
    }
}

// --- Menu items -----------------------------------------------------------------------

int TWinMenuItem::State() const { return (enabled_ ? 0 : STATE_DISABLED) | (checked_ ? STATE_SELECTED : 0); }

void TWinMenuItem::SetText(const std::string& text) {
    name = text;
    if (menu_ != nullptr && command_ != 0)
        ModifyMenuW(menu_, command_, MF_BYCOMMAND | MF_STRING, command_, Wide(text).c_str());
    Redraw();
}

void TWinMenuItem::SetEnabled(int enabled) {
    enabled_ = enabled != 0;
    if (menu_ != nullptr && command_ != 0)
        EnableMenuItem(menu_, command_, MF_BYCOMMAND | (enabled_ ? MF_ENABLED : MF_GRAYED));
    Redraw();
}

void TWinMenuItem::SetSelected(int selected) {
    checked_ = selected != 0;
    if (menu_ != nullptr && command_ != 0)
        CheckMenuItem(menu_, command_, MF_BYCOMMAND | (checked_ ? MF_CHECKED : MF_UNCHECKED));
}

void TWinMenuItem::Redraw() {
    if (owner_ != nullptr && IsWindow(owner_)) DrawMenuBar(owner_);
}

void TWinMenuItem::AppendTo(HMENU menu, HWND window, UINT& nextCommand,
                            std::vector<std::weak_ptr<TGadget>>& commands) {
    owner_ = window;
    menu_ = nullptr;
    command_ = 0;
    if (name.empty() && kids.empty()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    const UINT flags = (enabled_ ? MF_ENABLED : MF_GRAYED) | (checked_ ? MF_CHECKED : MF_UNCHECKED);
    if (!kids.empty()) {
        HMENU submenu = CreatePopupMenu();
        for (const TGadgetPtr& kid : kids) {
            if (auto* item = dynamic_cast<TWinMenuItem*>(kid.get())) item->AppendTo(submenu, window, nextCommand, commands);
        }
        AppendMenuW(menu, MF_POPUP | MF_STRING | flags, reinterpret_cast<UINT_PTR>(submenu), Wide(name).c_str());
        return;
    }
    menu_ = menu;
    command_ = nextCommand++;
    commands.push_back(weak_from_this());
    AppendMenuW(menu, MF_STRING | flags, command_, Wide(name).c_str());
}

}  // namespace gui::win32
