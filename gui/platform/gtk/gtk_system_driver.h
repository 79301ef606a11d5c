#pragma once
// The GTK system driver: the main loop as Poll and Wait, the modal requesters and message
// boxes, the pointer and the desktop's default "open" action.

#include <string>

#include "gui/systemdriver.h"

namespace gui::gtk {

// Work posted to the main loop from another thread: the next Poll asks GTK at once.
void WakeNextPoll();

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
    void PostNotification(const std::string& title, const std::string& text) override;

private:
    // Dispatches what the main loop has ready; how many sources it dispatched.
    int Drain();

    // When a poll last found nothing to dispatch (GLib's monotonic microseconds).
    long long quietSince_ = 0;
};

}  // namespace gui::gtk
