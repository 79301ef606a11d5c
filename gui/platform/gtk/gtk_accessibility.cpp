// What the GTK gadgets tell assistive technology through ATK: names, descriptions and the
// labels tied to them.

#include <atk/atk.h>

#include "gui/platform/gtk/display_text.h"
#include "gui/platform/gtk/gtk_gadget.h"

namespace gui::gtk {

namespace {

AtkObject* AccessibleOf(GtkWidget* widget) { return gtk_widget_get_accessible(widget); }

// "Status: " names its field "Status:".
std::string NameText(const std::string& text) {
    const std::size_t end = text.find_last_not_of(" \t");
    return DisplayText(end == std::string::npos ? std::string() : text.substr(0, end + 1));
}

}  // namespace

int TGtkGadget::HasFocus() const {
    return inner_ != nullptr && gtk_widget_is_focus(inner_) ? 1 : 0;
}

void TGtkGadget::SetAccessibleName(const std::string& accessibleName) {
    if (inner_ != nullptr)
        atk_object_set_name(AccessibleOf(inner_), DisplayText(accessibleName).c_str());
}

void TGtkGadget::SetAccessibleDescription(const std::string& description) {
    if (inner_ != nullptr)
        atk_object_set_description(AccessibleOf(inner_), DisplayText(description).c_str());
}

// The relation goes both ways, and the labels' texts together become the name, as a
// reader would otherwise have to guess them from the layout.
void TGtkGadget::AddAccessibleLabel(const TGadgetPtr& label) {
    const auto* labelGadget = dynamic_cast<const TGtkGadget*>(label.get());
    if (inner_ == nullptr || labelGadget == nullptr || labelGadget->Inner() == nullptr) return;
    AtkObject* self = AccessibleOf(inner_);
    AtkObject* labelObject = AccessibleOf(labelGadget->Inner());
    atk_object_add_relationship(self, ATK_RELATION_LABELLED_BY, labelObject);
    atk_object_add_relationship(labelObject, ATK_RELATION_LABEL_FOR, self);
    labelTexts_.push_back(NameText(label->GetText()));
    std::string joined;
    for (const std::string& text : labelTexts_) joined += (joined.empty() ? "" : " ") + text;
    atk_object_set_name(self, joined.c_str());
}

}  // namespace gui::gtk
