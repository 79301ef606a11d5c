#include "gui/platform/gtk/gtk_menu.h"

#include <memory>

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/platform/gtk/display_text.h"
#include "gui/platform/gtk/gtk_gadget.h"

namespace gui::gtk {

namespace {

using TItemRef = std::weak_ptr<TGadget>;

void OnActivate(GtkMenuItem*, gpointer data) {
    const TGadgetPtr item = static_cast<TItemRef*>(data)->lock();
    if (const auto* menuItem = dynamic_cast<const TGtkMenuItem*>(item.get()))
        RaiseGadgetEvent(MenuAction, item, menuItem->Tag());
}

void DeleteItemRef(gpointer data, GClosure*) { delete static_cast<TItemRef*>(data); }

}  // namespace

TGtkMenuItem::~TGtkMenuItem() {
    if (native_ != nullptr) g_object_remove_weak_pointer(G_OBJECT(native_), reinterpret_cast<gpointer*>(&native_));
}

int TGtkMenuItem::State() const {
    return (enabled_ ? 0 : STATE_DISABLED) | (checked_ ? STATE_SELECTED : 0);
}

void TGtkMenuItem::SetText(const std::string& text) {
    name = text;
    if (native_ != nullptr) gtk_menu_item_set_label(GTK_MENU_ITEM(native_), MnemonicText(DisplayText(text)).c_str());
}

void TGtkMenuItem::SetEnabled(int enabled) {
    enabled_ = enabled != 0;
    if (native_ != nullptr) gtk_widget_set_sensitive(native_, enabled_);
}

void TGtkMenuItem::SetSelected(int selected) {
    checked_ = selected != 0;
    if (native_ != nullptr && GTK_IS_CHECK_MENU_ITEM(native_))
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(native_), checked_);
}

void TGtkMenuItem::Free() {
    if (native_ != nullptr) gtk_widget_destroy(native_);
}

GtkWidget* TGtkMenuItem::MakeNative() {
    if (name.empty() && kids.empty()) return gtk_separator_menu_item_new();
    const std::string label = MnemonicText(name);
    GtkWidget* item = checked_ ? gtk_check_menu_item_new_with_mnemonic(label.c_str())
                               : gtk_menu_item_new_with_mnemonic(label.c_str());
    if (checked_) gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), TRUE);
    gtk_widget_set_sensitive(item, enabled_);
    if (kids.empty()) {
        g_signal_connect_data(item, "activate", G_CALLBACK(OnActivate),
                              new TItemRef(shared_from_this()), DeleteItemRef, GConnectFlags(0));
    } else {
        GtkWidget* submenu = gtk_menu_new();
        RebuildMenuShell(GTK_MENU_SHELL(submenu), shared_from_this());
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), submenu);
    }
    if (native_ != nullptr)
        g_object_remove_weak_pointer(G_OBJECT(native_), reinterpret_cast<gpointer*>(&native_));
    native_ = item;
    g_object_add_weak_pointer(G_OBJECT(native_), reinterpret_cast<gpointer*>(&native_));
    return item;
}

void RebuildMenuShell(GtkMenuShell* shell, const TGadgetPtr& menu) {
    GList* old = gtk_container_get_children(GTK_CONTAINER(shell));
    for (GList* entry = old; entry != nullptr; entry = entry->next) gtk_widget_destroy(GTK_WIDGET(entry->data));
    g_list_free(old);
    if (!menu) return;
    for (const TGadgetPtr& kid : menu->kids) {
        auto* item = dynamic_cast<TGtkMenuItem*>(kid.get());
        if (item == nullptr) continue;
        GtkWidget* native = item->MakeNative();
        gtk_menu_shell_append(shell, native);
        gtk_widget_show_all(native);
    }
}

}  // namespace gui::gtk
