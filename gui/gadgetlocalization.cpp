// The driver's record of localised gadgets. Each keeps its text and tooltip tokens and
// shows them through the localisation engine again whenever the mode or the language
// changes; an explicit text (PutGadgetText) or freeing the gadget ends the record.

#include "gui/gadgetdriver.h"

#include <optional>
#include <vector>

#include "gui/gadgetitem.h"
#include "gui/localization.h"

namespace gui {

TLocalizedGadget* TGadgetDriver::LiveEntry(const TGadget* gadget) {
    const auto found = _mapLocalized.find(gadget);
    if (found == _mapLocalized.end()) return nullptr;
    // A gadget dropped without being freed may have left its entry, and a new gadget
    // may now live at its address.
    if (found->second.gadget.lock().get() != gadget) {
        _mapLocalized.erase(found);
        return nullptr;
    }
    return &found->second;
}

void TGadgetDriver::SetLocalizationMode(int mode) {
    const int previous = TLocalizationEngine::GetMode();
    TLocalizationEngine::_SetMode(mode);
    if ((previous ^ mode) & LOCALIZATION_ON) ApplyLanguage();
}

void TGadgetDriver::SetLanguage(const std::shared_ptr<TGadgetLanguage>& language) {
    TLocalizationEngine::_SetLanguage(language);
    ApplyLanguage();
}

void TGadgetDriver::ApplyLanguage() {
    std::vector<TGadgetPtr> recorded;
    {
        std::lock_guard<std::mutex> lock(localizedLock_);
        std::erase_if(_mapLocalized,
                      [](const auto& entry) { return entry.second.gadget.expired(); });
        for (const auto& [key, entry] : _mapLocalized) recorded.push_back(entry.gadget.lock());
    }
    // Outside the lock: showing a text may come back here (a gadget's SetText).
    for (const TGadgetPtr& gadget : recorded) ApplyLocalization(gadget);
}

void TGadgetDriver::SetGadgetLocalization(const TGadgetPtr& gadget, const std::string& textToken,
                                          const std::string& tipToken) {
    {
        std::lock_guard<std::mutex> lock(localizedLock_);
        _mapLocalized[gadget.get()] = {gadget, textToken, tipToken};
    }
    ApplyLocalization(gadget);
}

void TGadgetDriver::ApplyLocalization(const TGadgetPtr& gadget) {
    std::optional<TLocalizedGadget> entry;
    {
        std::lock_guard<std::mutex> lock(localizedLock_);
        if (const TLocalizedGadget* live = LiveEntry(gadget.get())) entry = *live;
    }
    if (entry) {
        gadget->SetText(TLocalizationEngine::LocalizeString(entry->textToken));
        gadget->SetTooltip(TLocalizationEngine::LocalizeString(entry->tipToken));
    }
    for (int i = 0; i < gadget->ItemCount(); ++i) {
        if (gadget->ItemFlags(i) & ITEM_LOCALIZED) LocalizeGadgetItem(gadget, i);
    }
}

// Through the item operations, so that a proxy shows its target's items.
void TGadgetDriver::LocalizeGadgetItem(const TGadgetPtr& gadget, int index) {
    if (index < 0 || index >= gadget->ItemCount()) return;
    TGadgetItem item;
    item.Set(gadget->ItemText(index), gadget->ItemTip(index), gadget->ItemIcon(index),
             gadget->ItemExtra(index), gadget->ItemFlags(index));
    const TItemDisplay shown = ItemDisplay(item, gadget->ItemState(index));
    gadget->SetListItem(index, shown.text, shown.tip, shown.icon, item.extra);
}

int TGadgetDriver::GadgetLocalized(const TGadget* gadget) {
    std::lock_guard<std::mutex> lock(localizedLock_);
    return LiveEntry(gadget) ? 1 : 0;
}

void TGadgetDriver::DelocalizeGadget(const TGadget* gadget) {
    std::lock_guard<std::mutex> lock(localizedLock_);
    _mapLocalized.erase(gadget);
}

void TGadgetDriver::SetCreationText(const TGadgetPtr& gadget, const std::string& text) {
    if (TLocalizationEngine::GetMode() & LOCALIZATION_TOKENS) {
        SetGadgetLocalization(gadget, text, "");
    } else {
        gadget->SetText(text);
    }
}

void SetLocalizationMode(int mode) { CurrentGadgetDriver().SetLocalizationMode(mode); }
int LocalizationMode() { return TLocalizationEngine::GetMode(); }

void SetLocalizationLanguage(const std::shared_ptr<TGadgetLanguage>& language) {
    CurrentGadgetDriver().SetLanguage(language);
}

std::shared_ptr<TGadgetLanguage> LocalizationLanguage() {
    return TLocalizationEngine::GetLanguage();
}

std::string LocalizeString(const std::string& text) {
    return TLocalizationEngine::LocalizeString(text);
}

void LocalizeGadget(const TGadgetPtr& gadget, const std::string& textToken,
                    const std::string& tipToken) {
    CurrentGadgetDriver().SetGadgetLocalization(gadget, textToken, tipToken);
}

void DelocalizeGadget(const TGadgetPtr& gadget) {
    CurrentGadgetDriver().DelocalizeGadget(gadget.get());
}

}  // namespace gui
