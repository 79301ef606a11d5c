#include "app/application.h"

#include "gui/gui.h"

namespace app {

void Application::ShowLogging(bool logging) {
    ReplaceStartStopButton(gadgets, logging ? "Stop logging" : "Start logging");
    SetInputGadgetsEnabled(gadgets, !logging);
}

std::string Application::IntervalText() const { return gui::FetchGadgetText(gadgets.intervalField); }

void Application::ShowStatus(StatusText text, std::string_view part) const {
    gui::PutGadgetText(gadgets.statusLabel, text.Filled(part));
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

void Application::NotifyChange(const ReportedChange& change) const {
    if (observer) observer->ChangeReported(change);
}

void Application::ShowError(StatusText text, std::string_view part) {
    ShowStatus(text, part);
    run.errorshown = true;
    if (observer) observer->ErrorShown(text.Filled(part));
}

void Application::EndWithError(StatusText text, std::string_view part) {
    ShowStatus(text, part);
    run.Fail();
}

}  // namespace app
