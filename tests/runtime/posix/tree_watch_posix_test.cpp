// The kernel's limits on change notification, and directories reached by more than one path.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "runtime/tree_watch.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

namespace {

// A kernel setting changed for a moment and given back: other programs on the machine
// share it, so the change must not outlive the call that needs it.
class KernelSetting {
public:
    explicit KernelSetting(std::string name) : path_("/proc/sys/fs/inotify/" + std::move(name)) {
        std::ifstream(path_) >> saved_;
    }
    ~KernelSetting() { Put(saved_); }
    long Saved() const { return saved_; }
    bool Put(long value) const {
        std::ofstream file(path_);
        file << value << '\n';
        file.flush();
        return saved_ > 0 && file.good();
    }

private:
    std::string path_;
    long saved_ = 0;
};

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

// More events than the queue holds: the watch says so, and goes on reporting afterwards.
TEST(TreeWatchLimits, AFullQueueIsReportedAsOverflow) {
    TempDir dir;
    std::string failure;
    std::unique_ptr<TTreeWatch> watch;
    long queue = 0;
    {
        KernelSetting setting("max_queued_events");
        // The queue takes its length when the watch is opened.
        queue = setting.Put(16) ? 16 : setting.Saved();
        watch = TTreeWatch::Open(dir.path(), failure);
    }
    ASSERT_TRUE(watch) << failure;
    if (queue > 100000) GTEST_SKIP() << "the event queue is too long to fill here";
    // Each new empty file is two events: made, and closed after writing.
    for (long i = 0; i <= queue / 2; ++i) dir.write("f" + std::to_string(i), "");
    const std::vector<TreeEvent> events = WaitFor(*watch, TreeEvent::Kind::Overflow);
    EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const TreeEvent& event) {
        return event.kind == TreeEvent::Kind::Overflow;
    }));
    dir.write("after", "");
    EXPECT_TRUE(HasChange(WaitFor(*watch, TreeEvent::Kind::Changed), dir.path(), "after"));
}

TEST(TreeWatchLimits, TheWatchLimitIsNamedWhenReached) {
    TempDir dir;
    mkdir((dir / "sub").c_str(), 0755);
    std::string failure;
    const auto watch = TTreeWatch::Open(dir.path(), failure);
    ASSERT_TRUE(watch) << failure;
    TTreeWatch::Added added = TTreeWatch::Added::Done;
    {
        KernelSetting setting("max_user_watches");
        if (!setting.Put(1)) GTEST_SKIP() << "the watch limit cannot be lowered here";
        added = watch->Add(dir / "sub", failure);
    }
    EXPECT_EQ(added, TTreeWatch::Added::LimitReached);
    EXPECT_NE(failure.find("fs.inotify.max_user_watches"), std::string::npos) << failure;
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
