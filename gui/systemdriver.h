#pragma once
// The platform's system services: native input, message boxes, requesters and the
// default "open" action. One instance, made when the system module initialises.

#include <string>
#include <vector>

#include "runtime/object.h"

namespace gui {

// One choice of a file requester's filter: "Text files" with "*.txt;*.log".
struct TFileFilter {
    std::string name;
    std::string patterns;
    bool operator==(const TFileFilter&) const = default;
};

// A file requester as the driver receives it, its arguments already parsed.
struct TFileRequest {
    std::string title;
    std::string extensions;            // as the caller gave them
    std::vector<TFileFilter> filters;  // empty: no filter choices
    int group = 0;                     // filter to preselect, from 1; 0 none
    std::string initialDir;            // empty: none
    std::string initialName;
    int save = 0;                      // ask before replacing, add the filter's extension
};

class TSystemDriver : public rt::TObject {
public:
    ~TSystemDriver() override = default;

    // Handle all pending native input without blocking; events go out through Emit.
    virtual void Poll() = 0;
    // Block until native input is pending, then Poll.
    virtual void Wait() = 0;
    virtual void MoveMouse(int x, int y) = 0;
    virtual void SetMouseVisible(int visible) = 0;
    virtual void Notify(const std::string& text, int serious) = 0;
    virtual int Confirm(const std::string& text, int serious) = 0;  // 1 OK, 0 Cancel
    virtual int Proceed(const std::string& text, int serious) = 0;  // 1 Yes, 0 No, -1 Cancel
    virtual std::string RequestFile(const TFileRequest& request) = 0;        // "" cancelled
    virtual std::string RequestDir(const std::string& title,
                                   const std::string& initialPath) = 0;      // "" cancelled
    virtual int OpenURL(const std::string& url) = 0;  // 1 when the system took it
    // A notification on the desktop, outside every window; nothing happens where the
    // desktop shows none.
    virtual void PostNotification(const std::string& title, const std::string& text) = 0;
};

// The installed driver; initialises the toolkit's lower modules on first use.
TSystemDriver& CurrentSystemDriver();

// System module set-up, once (events first).
void InitSystem();

}  // namespace gui
