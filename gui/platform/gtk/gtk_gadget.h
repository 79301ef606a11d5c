#pragma once
// The part every GTK gadget shares: its native widgets, enable/show state, placement in
// the parent's client area, and the signal connections it must cut when it is freed.

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "gui/gadget.h"
#include "gui/platform/gtk/client_area.h"

namespace gui::gtk {

class TGtkGadget : public TGadget {
public:
    TGtkGadget(int kind, int gadgetStyle);
    ~TGtkGadget() override;

    int Class() const override { return kind_; }
    int State() const override;
    void SetEnabled(int enabled) override;
    void SetShow(int show) override;
    void Rethink() override;
    int Activate(int command) override;
    void Free() override;
    void SetTooltip(const std::string& tip) override;
    std::string GetTooltip() const override;
    int HasFocus() const override;
    void SetAccessibleName(const std::string& accessibleName) override;
    void SetAccessibleDescription(const std::string& description) override;
    void AddAccessibleLabel(const TGadgetPtr& label) override;

    // The widget placed in the parent's client area (null for the desktop and menu items).
    GtkWidget* Outer() const { return outer_; }
    // The widget that takes input (an entry inside its frame, a text view in its scroller).
    GtkWidget* Inner() const { return inner_; }
    // Where children go; null for kinds that hold none.
    virtual TervalaClientArea* ClientArea() const { return nullptr; }

    // The gadget a widget belongs to, or null.
    static TGtkGadget* OfWidget(GtkWidget* widget);

    // Connects a signal whose handler gets this gadget as data; cut on Free.
    void Connect(gpointer instance, const char* signal, GCallback handler);

protected:
    // Takes both widgets (a floating outer one is sunk), marks them as this gadget's and
    // wires the inner one's keys and mouse to the key filter and raw input events.
    void Adopt(GtkWidget* outer, GtkWidget* inner);
    // Typing in a text gadget: the signal that reports a changed text becomes GadgetAction
    // (data 0), and losing the focus GadgetLostFocus. Program changes go through Quietly.
    void ReportEdits(gpointer changeSource, const char* changedSignal);
    // Runs with the gadget's own signal handlers blocked, for changes made by the program.
    template <typename F>
    void Quietly(F change) {
        Block(true);
        change();
        Block(false);
    }

private:
    void Block(bool blocked);
    void Disconnect();

    int kind_;
    GtkWidget* outer_ = nullptr;
    GtkWidget* inner_ = nullptr;
    struct TConnection {
        GObject* instance;
        gulong id;
    };
    std::vector<TConnection> connections_;
    // Texts of the labels that name the gadget, in the order they were added.
    std::vector<std::string> labelTexts_;
    bool freed_ = false;
};

// The native widget of a gadget made by this driver (its Outer()), for tests and tools.
GtkWidget* WidgetOf(const TGadgetPtr& gadget);

// "&File" as GTK writes the mnemonic ("_File"); "&&" is a plain "&".
std::string MnemonicText(const std::string& text);

}  // namespace gui::gtk
