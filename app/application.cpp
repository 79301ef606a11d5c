#include "app/application.h"

#include "gui/gui.h"

namespace app {

void Application::ShowLogging(bool logging) {
    ReplaceStartStopButton(gadgets, logging ? "Stop logging" : "Start logging");
    SetInputGadgetsEnabled(gadgets, !logging);
}

std::string Application::IntervalText() const { return gui::FetchGadgetText(gadgets.intervalField); }

void Application::ShowStatus(StatusText text, std::string_view part,
                             std::string_view second) const {
    gui::PutGadgetText(gadgets.statusLabel, text.Filled(part, second));
}

void Application::ShowStatusBar(const std::string& text) const {
    gui::PutStatusBarText(gadgets.window, text);
}

void Application::ShowProgress(float done, float total) const {
    gui::PutProgressValue(gadgets.progressBar, total > 0 ? done / total : 0.0f);
}

void Application::ShowReport(const std::string& text) const {
    gui::PutGadgetText(gadgets.reportArea, text);
}

void Application::AppendReport(const std::string& line) const {
    gui::AppendAreaText(gadgets.reportArea, line);
}

bool Application::NotifyChange(const ReportedChange& change) const {
    return !observer || observer->ChangeReported(change);
}

void Application::NotifyError(const std::string& text) const {
    if (observer) observer->ErrorShown(text);
}

void Application::ShowNotice(const std::string& text) const {
    if (observer) observer->NoticeShown(text);
}

void Application::ShowChangesOutsideWindow() const {
    // A front end with an observer reports every change itself.
    if (observer || run.changecount == 0 || gui::ActiveGadget()) return;
    const char* noun = run.changecount == 1 ? " change below " : " changes below ";
    gui::PostNotification(std::to_string(run.changecount) + noun + run.dir);
    gui::RequestAttention(gadgets.window);
}

void Application::ShowError(StatusText text, std::string_view part, std::string_view second) {
    ShowStatus(text, part, second);
    run.errorshown = true;
    NotifyError(text.Filled(part, second));
}

void Application::EndWithError(StatusText text, std::string_view part, std::string_view second) {
    ShowStatus(text, part, second);
    run.Fail();
    NotifyError(text.Filled(part, second));
}

}  // namespace app
