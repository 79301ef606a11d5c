#include "gui/platform/win32/win32_gadget_driver.h"

#include "gui/platform/win32/win32_api.h"

#include "gui/platform.h"
#include "gui/platform/win32/win32_gadget.h"

namespace gui {

std::shared_ptr<TGadgetDriver> CreatePlatformGadgetDriver() {
    return std::make_shared<win32::TWinGadgetDriver>();
}

}  // namespace gui

namespace gui::win32 {

namespace {

// A gadget whose native window could not be made is no gadget.
TGadgetPtr Made(const std::shared_ptr<TWinGadget>& gadget) {
    return gadget->Hwnd() != nullptr ? gadget : nullptr;
}

HWND OwnerOf(const TGadgetPtr& group) {
    const auto* window = dynamic_cast<const TWinWindow*>(group.get());
    return window != nullptr ? window->Hwnd() : nullptr;
}

}  // namespace

TWinGadgetDriver::TWinGadgetDriver() {
    BecomeDpiAware();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

std::string TWinGadgetDriver::UserName() {
    wchar_t name[256];
    DWORD length = 256;
    return GetUserNameW(name, &length) && length > 0 ? Narrow(name, length - 1) : std::string();
}

std::string TWinGadgetDriver::ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? Narrow(name, length) : std::string();
}

TGadgetPtr TWinGadgetDriver::MakeNative(int kind, const TGadgetPtr& group, int style) {
    switch (kind) {
        case GADGET_DESKTOP:
            if (!desktop_) desktop_ = std::make_shared<TWinDesktop>();
            return desktop_;
        case GADGET_WINDOW:
            return Made(std::make_shared<TWinWindow>(style, OwnerOf(group)));
        case GADGET_BUTTON:
            return Made(std::make_shared<TWinButton>(style, group));
        case GADGET_TEXTFIELD:
            return Made(std::make_shared<TWinTextField>(style, group));
        case GADGET_TEXTAREA:
            return Made(std::make_shared<TWinTextArea>(style, group));
        case GADGET_LABEL:
            return Made(std::make_shared<TWinLabel>(style, group));
        case GADGET_PROGBAR:
            return Made(std::make_shared<TWinProgressBar>(style, group));
        case GADGET_MENUITEM:
            return std::make_shared<TWinMenuItem>(style);
        default:
            return nullptr;  // kinds this driver does not make
    }
}

TGadgetPtr TWinGadgetDriver::CreateGadget(int kind, const std::string& text, int x, int y, int w,
                                          int h, const TGadgetPtr& group, int style) {
    // A child gadget needs a window to live in.
    const bool needsWindow = kind != GADGET_DESKTOP && kind != GADGET_WINDOW && kind != GADGET_MENUITEM;
    if (needsWindow && dynamic_cast<const TWinWindow*>(group.get()) == nullptr) return nullptr;
    return FinishCreation(MakeNative(kind, group, style), kind, text, x, y, w, h, group, style);
}

TGadgetPtr TWinGadgetDriver::ActiveGadget() {
    for (HWND hwnd = GetFocus(); hwnd != nullptr; hwnd = GetParent(hwnd)) {
        if (TWinGadget* gadget = TWinGadget::Of(hwnd)) return gadget->shared_from_this();
    }
    if (TWinGadget* window = TWinGadget::Of(GetActiveWindow())) return window->shared_from_this();
    return nullptr;
}

}  // namespace gui::win32
