#pragma once
// The GTK system driver: the main loop as Poll and Wait, the modal requesters and message
// boxes, the pointer and the desktop's default "open" action.

#include <string>

#include "gui/systemdriver.h"

namespace gui::gtk {

class TGtkSystemDriver : public TSystemDriver {
public:
    TGtkSystemDriver();

    void Poll() override;
    void Wait() override;
    void MoveMouse(int x, int y) override;
    void SetMouseVisible(int visible) override;
    void Notify(const std::string& text, int serious) override;
    int Confirm(const std::string& text, int serious) override;
    int Proceed(const std::string& text, int serious) override;
    std::string RequestFile(const TFileRequest& request) override;
    std::string RequestDir(const std::string& title, const std::string& initialPath) override;
    int OpenURL(const std::string& url) override;
};

}  // namespace gui::gtk
