#pragma once
// The Win32 system driver: the message pump with dialog navigation, message boxes, the
// file and folder requesters and the shell's "open".

#include <string>

#include "gui/systemdriver.h"

namespace gui::win32 {

class TWinSystemDriver : public TSystemDriver {
public:
    TWinSystemDriver();
    ~TWinSystemDriver() override;

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
    // Windows hears of news through the window's flashing taskbar button instead.
    void PostNotification(const std::string&, const std::string&) override {}

    // The modifier state as of the last Shift, Control, Alt or logo key message.
    int Modifiers() const { return modifiers_; }

private:
    // Takes every pending message; the number taken.
    int Drain();

    int modifiers_ = 0;
    long long quietSince_ = 0;  // when a poll last found nothing, in counter ticks
    bool oleStarted_ = false;
};

}  // namespace gui::win32
