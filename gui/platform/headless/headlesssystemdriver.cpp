#include "gui/platform/headless/headlessdrivers.h"

#include <stdexcept>

namespace gui::headless {
namespace {

TRequesterCall NewCall(TRequesterKind kind, const std::string& title, int serious = 0) {
    TRequesterCall call;
    call.kind = kind;
    call.title = title;
    call.serious = serious;
    return call;
}

}  // namespace

void THeadlessSystemDriver::Poll() {
    if (pollHandler_) pollHandler_();
    Drain();
}

void THeadlessSystemDriver::Wait() {
    while (pending_.empty()) {
        if (!waitHandler_) {
            throw std::logic_error("waiting for input with none pending and no wait handler");
        }
        waitHandler_();
    }
    Drain();
}

void THeadlessSystemDriver::Drain() {
    // Input may inject more input; it is handled in the same drain, in order.
    while (!pending_.empty()) {
        THandler input = std::move(pending_.front());
        pending_.pop_front();
        input();
    }
}

void THeadlessSystemDriver::MoveMouse(int x, int y) {
    mouseX = x;
    mouseY = y;
}

template <typename T>
void THeadlessSystemDriver::Answer(std::deque<T>& answers, T& into, TRequesterCall& call) {
    if (!answers.empty()) {
        into = std::move(answers.front());
        answers.pop_front();
        call.answered = true;
    } else if (unansweredHandler_) {
        unansweredHandler_(call);
    } else {
        throw std::logic_error("a requester opened with no answer queued: " + call.title);
    }
    calls.push_back(call);
}

void THeadlessSystemDriver::Notify(const std::string& text, int serious) {
    TRequesterCall call = NewCall(REQUEST_NOTIFY, text, serious);
    call.answered = true;
    calls.push_back(call);
}

int THeadlessSystemDriver::Confirm(const std::string& text, int serious) {
    TRequesterCall call = NewCall(REQUEST_CONFIRM, text, serious);
    call.result = 0;
    Answer(messageAnswers, call.result, call);
    return call.result;
}

int THeadlessSystemDriver::Proceed(const std::string& text, int serious) {
    TRequesterCall call = NewCall(REQUEST_PROCEED, text, serious);
    call.result = -1;
    Answer(messageAnswers, call.result, call);
    return call.result;
}

std::string THeadlessSystemDriver::RequestFile(const TFileRequest& request) {
    TRequesterCall call = NewCall(REQUEST_FILE, request.title);
    call.file = request;
    Answer(fileAnswers, call.answer, call);
    return call.answer;
}

std::string THeadlessSystemDriver::RequestDir(const std::string& title,
                                              const std::string& initialPath) {
    TRequesterCall call = NewCall(REQUEST_DIR, title);
    call.initialPath = initialPath;
    Answer(dirAnswers, call.answer, call);
    return call.answer;
}

int THeadlessSystemDriver::OpenURL(const std::string& url) {
    openedUrls.push_back(url);
    return openUrlResult;
}

}  // namespace gui::headless
