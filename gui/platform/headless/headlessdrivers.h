#pragma once
// The in-memory drivers. The gadget driver makes THeadlessGadgets; the system driver
// keeps a queue of injected native input that Poll and Wait turn into events, answers
// requesters from queued answers and records every URL it is asked to open.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/gadgetdriver.h"
#include "gui/systemdriver.h"

namespace gui::headless {

class THeadlessGadgetDriver : public TGadgetDriver {
public:
    std::string UserName() override { return "user"; }
    std::string ComputerName() override { return "headless"; }
    // A face that is not installed loads as the first installed one, under its name.
    std::shared_ptr<TGuiFont> LoadFont(const std::string& fontName, double size,
                                       int flags) override;
    TGadgetPtr CreateGadget(int kind, const std::string& text, int x, int y, int w, int h,
                            const TGadgetPtr& group, int style) override;
    TGadgetPtr ActiveGadget() override { return nullptr; }
    // The choosers take their answers from the queues; with none queued they act as
    // cancelled.
    int RequestColor(int red, int green, int blue) override;
    std::shared_ptr<TGuiFont> RequestFont(const std::shared_ptr<TGuiFont>& font) override;
    void SetPointer(int shape) override;
    // The strip over the pixmap added for the source; null for an unknown source.
    std::shared_ptr<TIconStrip> LoadIconStrip(const std::string& source) override;

    // Top-level windows that exist (not yet freed), in creation order.
    const std::vector<TGadgetPtr>& Windows() const { return windows_; }
    void ForgetWindow(const TGadget* window);
    void SetDesktopSize(int w, int h);

    std::vector<std::string> installedFonts = DefaultFonts();
    std::deque<int> colorAnswers;  // 0xRRGGBB, or -1 for cancelled
    std::deque<std::shared_ptr<TGuiFont>> fontAnswers;  // null for cancelled
    std::map<std::string, std::shared_ptr<TPixmap>> iconSources;
    int pointerShape = 0;
    int pointerChanges = 0;

    static std::vector<std::string> DefaultFonts();

private:
    TGadgetPtr desktop_;
    std::vector<TGadgetPtr> windows_;
    int nextFontHandle_ = 1;
};

enum TRequesterKind : int {
    REQUEST_DIR,
    REQUEST_FILE,
    REQUEST_NOTIFY,
    REQUEST_CONFIRM,
    REQUEST_PROCEED,
};

// One requester or message box the application opened, with what it was answered.
struct TRequesterCall {
    TRequesterKind kind = REQUEST_DIR;
    std::string title;        // requesters: the title; message boxes: the text
    int serious = 0;
    std::string initialPath;  // directory requester: as made absolute
    TFileRequest file;        // file requester: the parsed request
    std::string answer;       // the path returned
    int result = 0;           // Confirm / Proceed result
    bool answered = false;    // false when no answer was queued
};

class THeadlessSystemDriver : public TSystemDriver {
public:
    using THandler = std::function<void()>;
    using TUnansweredHandler = std::function<void(const TRequesterCall&)>;

    void Poll() override;
    void Wait() override;
    void MoveMouse(int x, int y) override;
    void SetMouseVisible(int visible) override { mouseVisible = visible; }
    void Notify(const std::string& text, int serious) override;
    int Confirm(const std::string& text, int serious) override;
    int Proceed(const std::string& text, int serious) override;
    std::string RequestFile(const TFileRequest& request) override;
    std::string RequestDir(const std::string& title, const std::string& initialPath) override;
    int OpenURL(const std::string& url) override;
    void PostNotification(const std::string& title, const std::string& text) override {
        notifications.push_back(title + ": " + text);
    }

    // Native input, handled in order by the next Poll or Wait.
    void Inject(THandler input) { pending_.push_back(std::move(input)); }
    bool InputPending() const { return !pending_.empty(); }
    void DropInput() { pending_.clear(); }

    void SetWaitHandler(THandler handler) { waitHandler_ = std::move(handler); }
    void SetPollHandler(THandler handler) { pollHandler_ = std::move(handler); }
    void SetUnansweredHandler(TUnansweredHandler handler) {
        unansweredHandler_ = std::move(handler);
    }

    std::deque<std::string> dirAnswers;
    std::deque<std::string> fileAnswers;
    std::deque<int> messageAnswers;
    std::vector<TRequesterCall> calls;
    std::vector<std::string> openedUrls;
    std::vector<std::string> notifications;  // "title: text"
    int openUrlResult = 1;
    int mouseX = 0, mouseY = 0;
    int mouseVisible = 1;

private:
    void Drain();
    // Takes the next queued answer into the call, or asks the unanswered handler.
    template <typename T>
    void Answer(std::deque<T>& answers, T& into, TRequesterCall& call);

    std::deque<THandler> pending_;
    THandler waitHandler_;
    THandler pollHandler_;
    TUnansweredHandler unansweredHandler_;
};

}  // namespace gui::headless
