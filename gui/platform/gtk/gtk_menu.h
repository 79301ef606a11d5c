#pragma once
// Menu items: gadgets of their own that the window's menu bar is rebuilt from. Their
// native GtkMenuItems live only until the next rebuild.

#include <gtk/gtk.h>

#include <string>

#include "gui/gadget.h"

namespace gui::gtk {

class TGtkMenuItem : public TGadget {
public:
    explicit TGtkMenuItem(int tag) : tag_(tag) {}
    ~TGtkMenuItem() override;

    int Class() const override { return GADGET_MENUITEM; }
    int State() const override;
    void SetText(const std::string& text) override;
    std::string GetText() const override { return name; }
    void SetEnabled(int enabled) override;
    void SetSelected(int selected) override;
    void Free() override;

    int Tag() const { return tag_; }
    // A native item showing this one now (its submenu filled from the kids).
    GtkWidget* MakeNative();

private:
    int tag_;
    bool enabled_ = true;
    bool checked_ = false;
    GtkWidget* native_ = nullptr;  // weak: cleared when GTK destroys it
};

// Replaces the shell's entries by native items for the menu's kids.
void RebuildMenuShell(GtkMenuShell* shell, const TGadgetPtr& menu);

}  // namespace gui::gtk
