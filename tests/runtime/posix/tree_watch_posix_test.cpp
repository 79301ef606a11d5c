// The kernel's watch limit, a signal during a wait, and directories reached by more than one
// path.

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "runtime/clock.h"
#include "runtime/console.h"
#include "runtime/tree_watch.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path);
    file << text;
    file.flush();
    return file.good();
}

// Runs in a child process, in a user namespace of its own: the watch limit lowered there
// is felt by no other program on the machine. A letter for the outcome ('S' when there is
// no such namespace here, else 'D', 'L' or 'F'), then the failure text.
std::string AddBeyondALimitOfOne(const TempDir& dir) {
    const std::string map = "0 " + std::to_string(geteuid()) + " 1\n";
    if (unshare(CLONE_NEWUSER) != 0 || !WriteFile("/proc/self/uid_map", map) ||
        !WriteFile("/proc/sys/user/max_inotify_watches", "1\n")) {
        return "S";
    }
    std::string failure;
    const auto watch = TTreeWatch::Open(dir.path(), failure);
    if (!watch) return "F" + failure;
    const TTreeWatch::Added added = watch->Add(dir / "sub", failure);
    return (added == TTreeWatch::Added::Done     ? "D"
            : added == TTreeWatch::Added::Failed ? "F"
                                                 : "L") +
           failure;
}

std::vector<TreeEvent> WaitFor(TTreeWatch& watch, TreeEvent::Kind kind) {
    std::vector<TreeEvent> events;
    for (int i = 0; i < 50; ++i) {
        for (TreeEvent& event : watch.Wait(100)) events.push_back(std::move(event));
        for (const TreeEvent& event : events) {
            if (event.kind == kind) return events;
        }
    }
    return events;
}

bool HasChange(const std::vector<TreeEvent>& events, const std::string& directory,
               const std::string& name) {
    return std::any_of(events.begin(), events.end(), [&](const TreeEvent& event) {
        return event.kind == TreeEvent::Kind::Changed && event.directory == directory &&
               event.name == name;
    });
}

}  // namespace

TEST(TreeWatchLimits, TheWatchLimitIsNamedWhenReached) {
    TempDir dir;
    mkdir((dir / "sub").c_str(), 0755);
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const std::string outcome = AddBeyondALimitOfOne(dir);
        const bool written = write(channel[1], outcome.data(), outcome.size()) ==
                             static_cast<ssize_t>(outcome.size());
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    std::string outcome;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) outcome.append(buffer, n);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_FALSE(outcome.empty());
    if (outcome == "S") GTEST_SKIP() << "no user namespace in which to lower the watch limit";
    EXPECT_EQ(outcome[0], 'L') << outcome;
    EXPECT_NE(outcome.find("fs.inotify.max_user_watches"), std::string::npos) << outcome;
}

// Ctrl+C must stop a program that waits for changes at once, not when the wait runs out.
// Wherever an interrupt lands, the wait ends at once: a watch waits without a time limit.
TEST(TreeWatchInterrupts, AnInterruptEndsTheWaitAtOnce) {
    enum class Lands { OnTheWaiter, OnAnotherThread, BeforeTheWait };
    for (const Lands lands : {Lands::OnTheWaiter, Lands::OnAnotherThread, Lands::BeforeTheWait}) {
        TempDir dir;
        EXPECT_EXIT(
            {
                std::string failure;
                const auto watch = TTreeWatch::Open(dir.path(), failure);
                CatchInterrupts();
                if (lands == Lands::BeforeTheWait) raise(SIGINT);
                const pthread_t waiter = pthread_self();
                std::thread interrupter([waiter, lands] {
                    if (lands == Lands::BeforeTheWait) return;
                    SleepMs(100);
                    pthread_kill(lands == Lands::OnTheWaiter ? waiter : pthread_self(), SIGINT);
                });
                const std::uint64_t start = Millisecs();
                const bool empty = watch && watch->Wait(60000).empty();
                const bool early = Millisecs() - start < 30000;
                interrupter.join();
                std::_Exit(empty && early && TakeInterrupt() ? 0 : 1);
            },
            testing::ExitedWithCode(0), "")
            << "interrupt " << int(lands);
    }
}

// One directory, two paths (a link to it): each path hears of its changes until given up.
TEST(TreeWatchLinks, ADirectoryReachedTwiceIsReportedUnderEachPath) {
    TempDir dir;
    mkdir((dir / "real").c_str(), 0755);
    symlink((dir / "real").c_str(), (dir / "link").c_str());
    std::string failure;
    const auto watch = TTreeWatch::Open(dir.path(), failure);
    ASSERT_TRUE(watch) << failure;
    ASSERT_EQ(watch->Add(dir / "real", failure), TTreeWatch::Added::Done) << failure;
    ASSERT_EQ(watch->Add(dir / "link", failure), TTreeWatch::Added::Done) << failure;
    dir.write("real/a", "");
    std::vector<TreeEvent> events = WaitFor(*watch, TreeEvent::Kind::Changed);
    EXPECT_TRUE(HasChange(events, dir / "real", "a"));
    EXPECT_TRUE(HasChange(events, dir / "link", "a"));
    watch->Remove(dir / "link");
    dir.write("real/b", "");
    events = WaitFor(*watch, TreeEvent::Kind::Changed);
    EXPECT_TRUE(HasChange(events, dir / "real", "b"));
    EXPECT_FALSE(HasChange(events, dir / "link", "b"));
}
