#include "gui/gadget.h"

#include <algorithm>
#include <stdexcept>

#include "gui/driversupport.h"
#include "gui/gadgetdriver.h"

namespace gui {
namespace {

void ForgetPointerGadget(const TGadget* gadget) {
    TPointerGadgets& pointer = PointerGadgets();
    for (TGadgetPtr* slot : {&pointer.hover, &pointer.pressed, &pointer.captured}) {
        if (slot->get() == gadget) slot->reset();
    }
}

}  // namespace

void TGadget::SetFilter(TEventFilter filter, rt::TObjectPtr filterContext) {
    eventfilter = std::move(filter);
    context = std::move(filterContext);
}

int TGadget::HasDescendant(const TGadget* gadget) const {
    if (gadget == this) return 1;
    return std::any_of(kids.begin(), kids.end(),
                       [gadget](const TGadgetPtr& kid) { return kid->HasDescendant(gadget); });
}

void TGadget::_setparent(const TGadgetPtr& group, int index) {
    if (group && HasDescendant(group.get())) {
        throw std::logic_error("a gadget cannot become a kid of itself or of its own kids");
    }
    const TGadgetPtr self = shared_from_this();
    if (const TGadgetPtr old = parent.lock()) {
        auto& siblings = old->kids;
        siblings.erase(std::find(siblings.begin(), siblings.end(), self));
    }
    parent = group;
    if (!group) return;
    auto& kidsOfGroup = group->kids;
    if (index >= 0 && index < static_cast<int>(kidsOfGroup.size())) {
        kidsOfGroup.insert(kidsOfGroup.begin() + index, self);
    } else {
        kidsOfGroup.push_back(self);
    }
}

void TGadget::CleanUp() {
    const TGadgetPtr self = shared_from_this();  // the parent's list may hold the last reference
    for (const TGadgetPtr& kid : std::vector<TGadgetPtr>(kids)) kid->CleanUp();
    Free();
    CurrentGadgetDriver().DelocalizeGadget(this);
    kids.clear();
    // Leaving the parent's kids too: a freed gadget left there would be laid out and
    // kept alive with its group.
    _setparent(nullptr, -1);
    extra.reset();
    eventfilter = nullptr;
    context.reset();
    items.clear();
    ForgetPointerGadget(this);
}

}  // namespace gui
