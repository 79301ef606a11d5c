#include "gui/proxygadget.h"

namespace gui {
namespace {

// The target of proxies that stand for nothing. It is shared, so the operations a
// proxy forwards must leave it as it is: those that would store something do nothing.
class TNullGadget : public TGadget {
public:
    void SetShape(int, int, int, int) override {}
    void SetLayout(int, int, int, int) override {}
    void InsertItem(int, const std::string&, const std::string&, int, rt::TObjectPtr,
                    int) override {}
    void SetItem(int, const std::string&, const std::string&, int, rt::TObjectPtr,
                 int) override {}
    void SetSensitivity(int) override {}
};

}  // namespace

TGadgetPtr TProxyGadget::NullGadget() {
    static const TGadgetPtr nullGadget = std::make_shared<TNullGadget>();
    return nullGadget;
}

std::shared_ptr<TProxyGadget> TProxyGadget::Create() { return std::make_shared<TProxyGadget>(); }

void TProxyGadget::SetProxy(const TGadgetPtr& g) {
    for (TGadget* target = g.get(); target;) {
        if (target == this) return;
        const auto* next = dynamic_cast<const TProxyGadget*>(target);
        target = next ? next->proxy.get() : nullptr;
    }
    if (proxy && proxy->source.lock().get() == this) proxy->source.reset();
    proxy = g ? g : NullGadget();
    if (g) g->source = weak_from_this();
}

}  // namespace gui
