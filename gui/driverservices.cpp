#include "gui/driverservices.h"

#include <optional>

#include "gui/gadgetdriver.h"

namespace gui {
namespace {

std::optional<int>& LastPointerShape() {
    static std::optional<int> shape;
    return shape;
}

}  // namespace

void SetPointer(int shape) {
    if (LastPointerShape() == shape) return;
    LastPointerShape() = shape;
    CurrentGadgetDriver().SetPointer(shape);
}

std::string UserName() { return CurrentGadgetDriver().UserName(); }
std::string ComputerName() { return CurrentGadgetDriver().ComputerName(); }

}  // namespace gui
