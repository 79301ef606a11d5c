#include "tools/scenario/gadget_table.h"

namespace scenario {

const std::vector<std::string_view>& GadgetNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> list;
        for (const TGadgetEntry& entry : GADGET_TABLE) list.push_back(entry.name);
        return list;
    }();
    return names;
}

gui::TGadgetPtr GadgetNamed(const app::MainWindow& gadgets, std::string_view name) {
    for (const TGadgetEntry& entry : GADGET_TABLE) {
        if (entry.name == name) return gadgets.*entry.field;
    }
    return nullptr;
}

}  // namespace scenario
