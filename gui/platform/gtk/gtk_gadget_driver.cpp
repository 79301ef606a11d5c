#include "gui/platform/gtk/gtk_gadget_driver.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "gui/platform.h"
#include "gui/platform/gtk/gtk_controls.h"
#include "gui/platform/gtk/gtk_menu.h"
#include "gui/platform/gtk/gtk_session.h"
#include "gui/platform/gtk/gtk_window.h"

namespace gui {

std::shared_ptr<TGadgetDriver> CreatePlatformGadgetDriver() {
    return std::make_shared<gtk::TGtkGadgetDriver>();
}

}  // namespace gui

namespace gui::gtk {

namespace {

GtkWindow* NativeWindowOf(const TGadgetPtr& gadget) {
    const auto* window = dynamic_cast<const TGtkWindow*>(gadget.get());
    return window != nullptr ? window->Native() : nullptr;
}

}  // namespace

TGtkGadgetDriver::TGtkGadgetDriver() { StartGtk(); }

std::string TGtkGadgetDriver::UserName() { return g_get_user_name(); }

std::string TGtkGadgetDriver::ComputerName() { return g_get_host_name(); }

TGadgetPtr TGtkGadgetDriver::MakeNative(int kind, const TGadgetPtr& group, int style) {
    switch (kind) {
        case GADGET_DESKTOP:
            if (!desktop_) desktop_ = std::make_shared<TGtkDesktop>();
            return desktop_;
        case GADGET_WINDOW: {
            auto window = std::make_shared<TGtkWindow>(style, NativeWindowOf(group));
            std::erase_if(windows_, [](const std::weak_ptr<TGadget>& w) { return w.expired(); });
            windows_.push_back(window);
            return window;
        }
        case GADGET_BUTTON:
            return std::make_shared<TGtkButton>(style);
        case GADGET_TEXTFIELD:
            return std::make_shared<TGtkTextField>(style);
        case GADGET_TEXTAREA:
            return std::make_shared<TGtkTextArea>(style);
        case GADGET_LABEL:
            return std::make_shared<TGtkLabel>(style);
        case GADGET_PROGBAR:
            return std::make_shared<TGtkProgressBar>(style);
        case GADGET_MENUITEM:
            return std::make_shared<TGtkMenuItem>(style);
        default:
            return nullptr;  // kinds this driver does not make
    }
}

TGadgetPtr TGtkGadgetDriver::CreateGadget(int kind, const std::string& text, int x, int y, int w,
                                          int h, const TGadgetPtr& group, int style) {
    // A child gadget needs a parent with a client area to live in.
    const auto* groupGadget = dynamic_cast<const TGtkGadget*>(group.get());
    const bool needsArea = kind != GADGET_DESKTOP && kind != GADGET_WINDOW && kind != GADGET_MENUITEM;
    if (needsArea && (groupGadget == nullptr || groupGadget->ClientArea() == nullptr)) return nullptr;

    return FinishCreation(MakeNative(kind, group, style), kind, text, x, y, w, h, group, style);
}

TGadgetPtr TGtkGadgetDriver::ActiveGadget() {
    for (const std::weak_ptr<TGadget>& entry : windows_) {
        const TGadgetPtr window = entry.lock();
        GtkWindow* native = NativeWindowOf(window);
        if (native == nullptr || !gtk_window_is_active(native)) continue;
        for (GtkWidget* widget = gtk_window_get_focus(native); widget != nullptr;
             widget = gtk_widget_get_parent(widget)) {
            if (TGtkGadget* gadget = TGtkGadget::OfWidget(widget)) return gadget->shared_from_this();
        }
        return window;
    }
    return nullptr;
}

}  // namespace gui::gtk
