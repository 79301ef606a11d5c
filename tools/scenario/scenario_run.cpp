#include "tools/scenario/scenario_run.h"

#include "tools/scenario/command_table.h"
#include "tools/scenario/steps.h"

namespace scenario {

TScenarioRun::TScenarioRun(std::string scriptName, TScript script, TScenarioHost& host)
    : scriptName_(std::move(scriptName)), script_(std::move(script)), host_(host) {}

TOutcome TScenarioRun::OnIdle() {
    while (next_ < script_.commands.size()) {
        const TCommand& command = script_.commands[next_++];
        currentLine_ = command.line;
        std::string failure;
        const bool input = Execute(command, failure);
        if (!failure.empty()) return Fail(command.line, failure);
        if (input) return {};
    }
    return Finished();
}

TOutcome TScenarioRun::OnPoll() {
    for (TTrigger& trigger : triggers_) ++trigger.polls;
    for (auto it = triggers_.begin(); it != triggers_.end(); ++it) {
        if (!Holds(*it)) continue;
        const TCommand armed = it->armed;
        triggers_.erase(it);
        std::string failure;
        Execute(armed, failure);
        if (!failure.empty()) return Fail(armed.line, failure);
        break;
    }
    return {};
}

TOutcome TScenarioRun::OnProcessEnd(int status) {
    if (next_ < script_.commands.size()) {
        return Fail(script_.commands[next_].line,
                    "the application ended (exit status " + std::to_string(status) +
                        ") before this line was reached");
    }
    return Finished();
}

TOutcome TScenarioRun::OnUnansweredRequester(const std::string& kind) {
    return Fail(CurrentLine(), "a " + kind + " requester opened with no answer queued");
}

bool TScenarioRun::Execute(const TCommand& command, std::string& failure) {
    switch (command.kind) {
    case TCommandKind::FileSystem:
        failure = RunFileCommand(command, host_);
        return false;
    case TCommandKind::User:
        failure = RunUserCommand(command, host_);
        return command.name != "answer-dir" && command.name != "answer-file";
    case TCommandKind::Expectation:
        failure = CheckExpectation(command, host_);
        return false;
    case TCommandKind::Trigger:
        triggers_.push_back({command, ArmedCommand(command), 0});
        return false;
    case TCommandKind::Setting:
        return false;
    }
    return false;
}

bool TScenarioRun::Holds(const TTrigger& trigger) {
    const std::string& condition = trigger.when.args[0];
    const std::string& value = trigger.when.args[1];
    if (condition == "polls") return trigger.polls >= ArgumentNumber(value);
    if (condition == "status") return host_.GadgetText("status") == value;
    const std::string bar = host_.StatusBarText();
    if (condition == "statusbar") return bar == value;
    return bar.compare(0, value.size(), value) == 0;  // statusbar-prefix
}

TOutcome TScenarioRun::Fail(int line, const std::string& message) const {
    return {TOutcome::Failed, scriptName_ + ":" + std::to_string(line) + ": " + message};
}

TOutcome TScenarioRun::Finished() {
    if (!triggers_.empty()) {
        return Fail(triggers_.front().when.line,
                    "the script ended with this trigger still armed (its condition never held)");
    }
    return {TOutcome::Passed, {}};
}

}  // namespace scenario
