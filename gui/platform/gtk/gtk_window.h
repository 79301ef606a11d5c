#pragma once
// A top-level window: a GtkWindow holding, top to bottom, the menu bar, the client area and
// the status bar. Its shape is the client area's when it has WINDOW_CLIENTCOORDS, else the
// frame's; its client size is what the client area was last given.

#include <string>

#include "gui/platform/gtk/gtk_gadget.h"

namespace gui::gtk {

class TGtkWindow : public TGtkGadget {
public:
    TGtkWindow(int gadgetStyle, GtkWindow* transientFor);
    ~TGtkWindow() override;

    TervalaClientArea* ClientArea() const override { return area_; }
    int ClientWidth() const override;
    int ClientHeight() const override;
    int State() const override;
    void Rethink() override;
    int Activate(int command) override;
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    std::string GetStatusText() const override { return statusText_; }
    void SetStatusText(const std::string& text) override;
    void Free() override;
    TGadgetPtr GetMenu() override;
    void UpdateMenu() override;
    void SetMinimumSize(int w, int h) override;
    void SetMaximumSize(int w, int h) override;

    GtkWindow* Native() const { return GTK_WINDOW(Outer()); }

    // Signal handlers.
    void ClientResized(int w, int h);
    void Configured();
    void StateChanged(GdkWindowState state) { windowState_ = state; }

private:
    // Height the menu bar and status bar take above and below the client area.
    int ChromeHeight() const;
    void ResizeNative();
    void ApplySizeHints();
    // Puts statusText_ into the status bar.
    void ShowStatusText();
    static gboolean OnStatusDue(gpointer window);
    void CancelStatusUpdate();

    TervalaClientArea* area_;
    GtkWidget* menuBar_;
    GtkWidget* statusBar_;
    std::string statusText_;
    // When the status bar last took a text, and the pending update of a newer one.
    long long statusShownAt_ = 0;
    guint statusDue_ = 0;
    TGadgetPtr menu_;
    GdkWindowState windowState_ = GdkWindowState(0);
    int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

}  // namespace gui::gtk
