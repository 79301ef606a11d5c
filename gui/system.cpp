#include "gui/system.h"

#include <stdexcept>

#include "gui/eventqueue.h"
#include "gui/platform.h"
#include "gui/requestprep.h"
#include "runtime/clock.h"

namespace gui {
namespace {

struct TSystemModule {
    std::shared_ptr<TSystemDriver> driver;
    bool busy = false;  // a Poll or Wait is running
    std::string appTitle;
};

TSystemModule& Module() {
    static TSystemModule module;
    return module;
}

// Clears the busy flag however the driver call ends.
class TBusyScope {
public:
    TBusyScope() { Module().busy = true; }
    ~TBusyScope() { Module().busy = false; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
};

}  // namespace

void InitSystem() {
    static bool done = false;
    if (done) return;
    done = true;
    InitEvents();
    Module().driver = CreatePlatformSystemDriver();
    if (!Module().driver) throw std::logic_error("the platform made no system driver");
}

TSystemDriver& CurrentSystemDriver() {
    InitSystem();
    return *Module().driver;
}

void PumpSystem() {
    TSystemDriver& driver = CurrentSystemDriver();
    if (Module().busy) return;
    TBusyScope busy;
    driver.Poll();
}

void AwaitSystem() {
    TSystemDriver& driver = CurrentSystemDriver();
    if (Module().busy) return;
    TBusyScope busy;
    driver.Wait();
}

void SetAppTitle(const std::string& title) { Module().appTitle = title; }
std::string AppTitle() { return Module().appTitle; }

void Notify(const std::string& text, int serious) {
    CurrentSystemDriver().Notify(text, serious);
}

int Confirm(const std::string& text, int serious) {
    return CurrentSystemDriver().Confirm(text, serious);
}

int Proceed(const std::string& text, int serious) {
    return CurrentSystemDriver().Proceed(text, serious);
}

std::string RequestFile(const std::string& title, const std::string& extensions, int save,
                        const std::string& initialPath) {
    return CurrentSystemDriver().RequestFile(
        PrepareFileRequest(title, extensions, save, initialPath));
}

std::string RequestDir(const std::string& title, const std::string& initialPath) {
    return CurrentSystemDriver().RequestDir(title, AbsoluteInitialDir(initialPath));
}

void PostNotification(const std::string& text) {
    CurrentSystemDriver().PostNotification(AppTitle(), text);
}

int OpenURL(const std::string& url) {
    // An empty text names nothing; it would otherwise open the current directory.
    if (url.empty()) return 0;
    return CurrentSystemDriver().OpenURL(NormalizeURL(url));
}

std::string DateText(std::time_t when) { return rt::FormatLocalTime("%d %b %Y", when); }
std::string TimeText(std::time_t when) { return rt::FormatLocalTime("%H:%M:%S", when); }
std::string DateText() { return DateText(std::time(nullptr)); }
std::string TimeText() { return TimeText(std::time(nullptr)); }

void MoveMouse(int x, int y) { CurrentSystemDriver().MoveMouse(x, y); }
void ShowPointer() { CurrentSystemDriver().SetMouseVisible(1); }
void HidePointer() { CurrentSystemDriver().SetMouseVisible(0); }

}  // namespace gui
