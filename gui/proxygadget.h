#pragma once
// A gadget that stands for another: it forwards the target's native, text, state, item
// and other operations, keeps its own geometry and tree, and the target's events are
// reported with the proxy as their source.

#include <memory>
#include <string>
#include <vector>

#include "gui/gadget.h"

namespace gui {

class TProxyGadget : public TGadget {
public:
    // A proxy standing for nothing yet (NullGadget).
    static std::shared_ptr<TProxyGadget> Create();
    // The shared target of proxies without one: every forwarded operation does nothing.
    static TGadgetPtr NullGadget();

    TGadgetPtr proxy = NullGadget();  // never null

    // Stands for g from now on (null: for nothing); the old target's events stop being
    // reported as the proxy's, g's start. A target that stands, through proxies, for
    // this proxy itself is refused (every call would go round for ever).
    void SetProxy(const TGadgetPtr& g);
    TGadgetPtr GetProxy() const { return proxy; }
    // The target's status text.
    void SetStatus(const std::string& text) { SetStatusText(text); }

    int GetXPos() const override { return proxy->GetXPos(); }
    int GetYPos() const override { return proxy->GetYPos(); }
    int GetWidth() const override { return proxy->GetWidth(); }
    int GetHeight() const override { return proxy->GetHeight(); }
    TGadgetPtr GetGroup() const override { return proxy->GetGroup(); }
    int HasDescendant(const TGadget* gadget) const override {
        return proxy->HasDescendant(gadget);
    }
    std::intptr_t Query(int what) override { return proxy->Query(what); }
    void CleanUp() override { proxy->CleanUp(); }
    void Free() override { proxy->Free(); }
    void SetShape(int x, int y, int w, int h) override { proxy->SetShape(x, y, w, h); }
    void SetLayout(int left, int right, int top, int bottom) override {
        proxy->SetLayout(left, right, top, bottom);
    }
    void Rethink() override { proxy->Rethink(); }
    int ClientWidth() const override { return proxy->ClientWidth(); }
    int ClientHeight() const override { return proxy->ClientHeight(); }
    int Activate(int command) override { return proxy->Activate(command); }
    int State() const override { return proxy->State(); }
    int Class() const override { return proxy->Class(); }

    void SetText(const std::string& text) override { proxy->SetText(text); }
    std::string GetText() const override { return proxy->GetText(); }
    void SetTooltip(const std::string& tip) override { proxy->SetTooltip(tip); }
    std::string GetTooltip() const override { return proxy->GetTooltip(); }
    int HasFocus() const override { return proxy->HasFocus(); }
    void SetAccessibleName(const std::string& accessibleName) override {
        proxy->SetAccessibleName(accessibleName);
    }
    void SetAccessibleDescription(const std::string& description) override {
        proxy->SetAccessibleDescription(description);
    }
    void AddAccessibleLabel(const TGadgetPtr& label) override { proxy->AddAccessibleLabel(label); }
    void SetAnnounced(int announced) override { proxy->SetAnnounced(announced); }
    void SetReadOnly(int readOnly) override { proxy->SetReadOnly(readOnly); }
    void SetFont(const std::shared_ptr<TGuiFont>& font) override { proxy->SetFont(font); }
    void SetColor(int red, int green, int blue) override { proxy->SetColor(red, green, blue); }
    void RemoveColor() override { proxy->RemoveColor(); }
    void SetAlpha(float alpha) override { proxy->SetAlpha(alpha); }
    void SetTextColor(int red, int green, int blue) override {
        proxy->SetTextColor(red, green, blue);
    }
    void SetPixmap(const std::shared_ptr<TPixmap>& pixmap, int flags) override {
        proxy->SetPixmap(pixmap, flags);
    }
    void SetIconStrip(const std::shared_ptr<TIconStrip>& strip) override {
        proxy->SetIconStrip(strip);
    }
    void SetShow(int show) override { proxy->SetShow(show); }
    void SetEnabled(int enabled) override { proxy->SetEnabled(enabled); }
    void SetSelected(int selected) override { proxy->SetSelected(selected); }
    void SetHotKey(int key, int modifiers) override { proxy->SetHotKey(key, modifiers); }
    void SetSensitivity(int flags) override { proxy->SetSensitivity(flags); }
    int GetSensitivity() const override { return proxy->GetSensitivity(); }
    std::string GetStatusText() const override { return {}; }
    void SetStatusText(const std::string& text) override { proxy->SetStatusText(text); }
    TGadgetPtr GetMenu() override { return proxy->GetMenu(); }
    void PopupMenu(const TGadgetPtr& menu, rt::TObjectPtr menuExtra) override {
        proxy->PopupMenu(menu, std::move(menuExtra));
    }
    void UpdateMenu() override { proxy->UpdateMenu(); }
    void SetMinimumSize(int w, int h) override { proxy->SetMinimumSize(w, h); }
    void SetMaximumSize(int w, int h) override { proxy->SetMaximumSize(w, h); }

    void Clear() override { proxy->Clear(); }
    void InsertItem(int index, const std::string& text, const std::string& tip = {},
                    int icon = -1, rt::TObjectPtr itemExtra = nullptr, int flags = 0) override {
        proxy->InsertItem(index, text, tip, icon, std::move(itemExtra), flags);
    }
    void SetItem(int index, const std::string& text, const std::string& tip = {}, int icon = -1,
                 rt::TObjectPtr itemExtra = nullptr, int flags = 0) override {
        proxy->SetItem(index, text, tip, icon, std::move(itemExtra), flags);
    }
    void RemoveItem(int index) override { proxy->RemoveItem(index); }
    int ItemCount() const override { return proxy->ItemCount(); }
    std::string ItemText(int index) const override { return proxy->ItemText(index); }
    std::string ItemTip(int index) const override { return proxy->ItemTip(index); }
    int ItemFlags(int index) const override { return proxy->ItemFlags(index); }
    int ItemIcon(int index) const override { return proxy->ItemIcon(index); }
    rt::TObjectPtr ItemExtra(int index) const override { return proxy->ItemExtra(index); }
    void SetItemState(int index, int state) override { proxy->SetItemState(index, state); }
    int ItemState(int index) override { return proxy->ItemState(index); }
    void SelectItem(int index, int op) override { proxy->SelectItem(index, op); }
    int SelectedItem() override { return proxy->SelectedItem(); }
    std::vector<int> SelectedItems() override { return proxy->SelectedItems(); }

    void ClearListItems() override { proxy->ClearListItems(); }
    void InsertListItem(int index, const std::string& text, const std::string& tip, int icon,
                        rt::TObjectPtr itemExtra) override {
        proxy->InsertListItem(index, text, tip, icon, std::move(itemExtra));
    }
    void SetListItem(int index, const std::string& text, const std::string& tip, int icon,
                     rt::TObjectPtr itemExtra) override {
        proxy->SetListItem(index, text, tip, icon, std::move(itemExtra));
    }
    void RemoveListItem(int index) override { proxy->RemoveListItem(index); }
    void SetListItemState(int index, int state) override {
        proxy->SetListItemState(index, state);
    }
    int ListItemState(int index) override { return proxy->ListItemState(index); }

    TGadgetPtr RootNode() override { return proxy->RootNode(); }
    TGadgetPtr InsertNode(int index, const std::string& text, int icon) override {
        return proxy->InsertNode(index, text, icon);
    }
    void ModifyNode(const std::string& text, int icon) override { proxy->ModifyNode(text, icon); }
    TGadgetPtr SelectedNode() override { return proxy->SelectedNode(); }
    int CountKids() override { return proxy->CountKids(); }

    void ReplaceText(int pos, int length, const std::string& text, int units) override {
        proxy->ReplaceText(pos, length, text, units);
    }
    void AddText(const std::string& text) override { proxy->AddText(text); }
    std::string AreaText(int pos, int length, int units) const override {
        return proxy->AreaText(pos, length, units);
    }
    int AreaLen(int units) const override { return proxy->AreaLen(units); }
    void LockText() override { proxy->LockText(); }
    void UnlockText() override { proxy->UnlockText(); }
    void SetTabs(int tabWidth) override { proxy->SetTabs(tabWidth); }
    void SetMargins(int leftMargin) override { proxy->SetMargins(leftMargin); }
    int GetCursorPos(int units) const override { return proxy->GetCursorPos(units); }
    int GetSelectionLength(int units) const override { return proxy->GetSelectionLength(units); }
    void SetStyle(int red, int green, int blue, int flags, int pos, int length,
                  int units) override {
        proxy->SetStyle(red, green, blue, flags, pos, length, units);
    }
    void SetSelection(int pos, int length, int units) override {
        proxy->SetSelection(pos, length, units);
    }
    int CharX(int index) const override { return proxy->CharX(index); }
    int CharY(int index) const override { return proxy->CharY(index); }
    int CharAt(int line) const override { return proxy->CharAt(line); }
    int LineAt(int index) const override { return proxy->LineAt(index); }

    void SetValue(float value) override { proxy->SetValue(value); }
    void SetRange(int visibleRange, int totalRange) override {
        proxy->SetRange(visibleRange, totalRange);
    }
    void SetProp(int index, int value) override { proxy->SetProp(index, value); }
    int GetProp(int index) const override { return proxy->GetProp(index); }
    void AttachGraphics(int flags) override { proxy->AttachGraphics(flags); }
    std::shared_ptr<TGraphics> CanvasGraphics() override { return proxy->CanvasGraphics(); }
};

}  // namespace gui
