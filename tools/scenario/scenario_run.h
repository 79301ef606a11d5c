#pragma once
// Plays a script against the application. The host's hooks call in at three moments:
// the application waits while idle (the script advances), it polls while busy (the
// armed triggers are checked), and it ends the process. Each call says whether the
// scenario goes on, has passed or has failed.

#include <atomic>
#include <string>
#include <vector>

#include "tools/scenario/scenario_host.h"
#include "tools/scenario/script.h"

namespace scenario {

struct TOutcome {
    enum Kind { Continue, Passed, Failed };
    Kind kind = Continue;
    std::string message;  // the failure, "SCRIPT:LINE: ..."
};

class TScenarioRun {
public:
    TScenarioRun(std::string scriptName, TScript script, TScenarioHost& host);

    // The application waits for input with an empty queue.
    TOutcome OnIdle();
    // The application polled and found the queue empty.
    TOutcome OnPoll();
    // The application ends the process with this status.
    TOutcome OnProcessEnd(int status);
    // A requester of this kind ("directory", "file") opened with no answer queued.
    TOutcome OnUnansweredRequester(const std::string& kind);

    // The line of the command run last (or about to run); safe from any thread.
    int CurrentLine() const { return currentLine_.load(); }
    std::size_t CommandCount() const { return script_.commands.size(); }

private:
    struct TTrigger {
        TCommand when;
        TCommand armed;
        long long polls = 0;
    };

    // Runs one command; true when it gave the application input.
    bool Execute(const TCommand& command, std::string& failure);
    bool Holds(const TTrigger& trigger);
    TOutcome Fail(int line, const std::string& message) const;
    TOutcome Finished();

    std::string scriptName_;
    TScript script_;
    TScenarioHost& host_;
    std::size_t next_ = 0;
    std::vector<TTrigger> triggers_;
    std::atomic<int> currentLine_{0};
};

}  // namespace scenario
