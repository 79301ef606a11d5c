#include "gui/platform/gtk/gtk_controls.h"

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/gadgets.h"
#include "gui/platform/gtk/display_text.h"

namespace gui::gtk {

namespace {

TGtkButton* Self(gpointer data) { return static_cast<TGtkButton*>(data); }

void OnClicked(GtkButton*, gpointer data) { Self(data)->Clicked(); }

void OnToggled(GtkToggleButton*, gpointer data) { Self(data)->Toggled(); }

GtkWidget* NewButton(int gadgetStyle) {
    const bool pushLike = (gadgetStyle & BUTTON_PUSHLIKE) != 0;
    switch (gadgetStyle & BUTTON_KINDMASK) {
        case BUTTON_CHECKBOX:
            return pushLike ? gtk_toggle_button_new() : gtk_check_button_new();
        case BUTTON_RADIO: {
            GtkWidget* radio = gtk_radio_button_new(nullptr);
            gtk_toggle_button_set_mode(GTK_TOGGLE_BUTTON(radio), !pushLike);
            return radio;
        }
        default:
            return gtk_button_new();
    }
}

}  // namespace

TGtkButton::TGtkButton(int gadgetStyle) : TGtkGadget(GADGET_BUTTON, gadgetStyle) {
    GtkWidget* button = NewButton(style);
    gtk_button_set_use_underline(GTK_BUTTON(button), TRUE);
    Adopt(button, button);
    if (Toggles())
        Connect(button, "toggled", G_CALLBACK(OnToggled));
    else
        Connect(button, "clicked", G_CALLBACK(OnClicked));
}

bool TGtkButton::Toggles() const { return GTK_IS_TOGGLE_BUTTON(Inner()); }

int TGtkButton::State() const {
    int state = TGtkGadget::State();
    if (check_ != 0) state |= STATE_SELECTED;
    if (check_ == CHECK_INDETERMINATE) state |= STATE_INDETERMINATE;
    return state;
}

void TGtkButton::SetText(const std::string& text) {
    text_ = text;
    gtk_button_set_label(GTK_BUTTON(Inner()), MnemonicText(DisplayText(text)).c_str());
    // A caption wider than the button is cut with an ellipsis rather than widening it.
    if (GtkWidget* label = gtk_bin_get_child(GTK_BIN(Inner())); GTK_IS_LABEL(label))
        gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
}

void TGtkButton::SetSelected(int selected) {
    if (!Toggles()) return;
    const bool threeState = (style & BUTTON_KINDMASK) == BUTTON_CHECKBOX;
    if (selected == CHECK_INDETERMINATE && threeState)
        check_ = CHECK_INDETERMINATE;
    else
        check_ = selected != 0 ? 1 : 0;
    ShowCheck();
}

void TGtkButton::ShowCheck() {
    Quietly([this] {
        GtkToggleButton* toggle = GTK_TOGGLE_BUTTON(Inner());
        gtk_toggle_button_set_inconsistent(toggle, check_ == CHECK_INDETERMINATE);
        gtk_toggle_button_set_active(toggle, check_ != 0);
    });
}

void TGtkButton::Clicked() {
    const TGadgetPtr self = shared_from_this();
    RaiseGadgetEvent(GadgetAction, self, ReadButtonState(self));
}

// GTK has already flipped the native state; the toolkit's rule decides the new one:
// a check box goes from checked to unchecked and from anything else to checked, a radio
// button reports only being chosen.
void TGtkButton::Toggled() {
    const bool active = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Inner()));
    if ((style & BUTTON_KINDMASK) == BUTTON_RADIO) {
        check_ = active ? 1 : 0;
        if (!active) return;
    } else {
        check_ = check_ == 1 ? 0 : 1;
        ShowCheck();
    }
    Clicked();
}

}  // namespace gui::gtk
