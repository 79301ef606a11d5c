#include "runtime/tree_watch.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "runtime/clock.h"
#include "runtime/native_path.h"
#include "runtime/path.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

namespace {

using Kind = TreeEvent::Kind;

bool Same(const TreeEvent& a, const TreeEvent& b) {
    return a.kind == b.kind && a.directory == b.directory && a.name == b.name;
}

std::string Describe(const TreeEvent& event) {
    const char* kinds[] = {"Changed", "Overflow", "RootGone"};
    return std::string(kinds[static_cast<int>(event.kind)]) + "(" + event.directory + ", " +
           event.name + ")";
}

bool Holds(const std::vector<TreeEvent>& events, const TreeEvent& wanted) {
    return std::any_of(events.begin(), events.end(),
                       [&](const TreeEvent& event) { return Same(event, wanted); });
}

// Events until every wanted one came, or a few seconds passed.
std::vector<TreeEvent> Collect(TTreeWatch& watch, const std::vector<TreeEvent>& wanted) {
    std::vector<TreeEvent> events;
    const std::uint64_t due = Millisecs() + 5000;
    while (Millisecs() < due) {
        for (TreeEvent& event : watch.Wait(100)) events.push_back(std::move(event));
        const bool all = std::all_of(wanted.begin(), wanted.end(),
                                     [&](const TreeEvent& event) { return Holds(events, event); });
        if (all) break;
    }
    return events;
}

// Wine's recursive watch goes on naming a renamed or moved directory by its old path, misses
// a directory made again where a moved one was, and keeps a removed root until the watch
// lets go of it.
bool UnderWine() {
#ifdef _WIN32
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Renames of a file of a 100-character name that are more than the system keeps for a watch
// that is not read: on Linux two events each against the queue's length, on Windows two
// records of over 200 bytes each against its 64 KiB buffer. 0 when the queue is too long to
// fill in a test.
long RenamesBeyondTheQueue() {
#ifdef _WIN32
    return 1000;
#else
    long events = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> events;
    return events > 0 && events <= 100000 ? events / 2 + 1 : 0;
#endif
}

void Write(const std::string& path) {
    std::ofstream file(NativePath(path), std::ios::app | std::ios::binary);
    file << 'x';
    ASSERT_TRUE(file.good()) << path;
}

void Rename(const std::string& from, const std::string& to) {
    std::filesystem::rename(NativePath(from), NativePath(to));
}

}  // namespace

// Each step changes the tree as a user would; the events must name the directory whose
// entries changed, under the path it was last watched as.
TEST(TreeWatch, EventsNameTheDirectoryWhoseEntriesChanged) {
    TempDir scratch;
    const std::string root = scratch / "tree";
    const std::string outside = scratch / "outside";
    std::filesystem::create_directory(NativePath(root));
    std::filesystem::create_directory(NativePath(outside));
    std::string failure;
    const auto watch = TTreeWatch::Open(root, failure);
    ASSERT_TRUE(watch) << failure;
    std::string kind;
    EXPECT_FALSE(TTreeWatch::MayMissChanges(root, kind)) << kind;

    const auto in = [&](const std::string& relative) { return JoinEntryPath(root, relative); };
    const auto changed = [&](const std::string& directory, const std::string& name) {
        return TreeEvent{Kind::Changed, directory.empty() ? root : in(directory), name};
    };
    const auto add = [&](const std::string& relative) {
        std::string reason;
        ASSERT_EQ(watch->Add(in(relative), reason), TTreeWatch::Added::Done) << reason;
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<TreeEvent> wanted;
        std::vector<TreeEvent> unwanted;
        bool wineDiffers = false;
    };
    const Step steps[] = {
        {"make a directory",
         [&] {
             std::filesystem::create_directory(NativePath(in("d")));
             add("d");
         },
         {changed("", "d")},
         {}},
        {"write a file", [&] { Write(in("d/f.txt")); }, {changed("d", "f.txt")}, {}},
        {"rename a file",
         [&] { Rename(in("d/f.txt"), in("d/g.txt")); },
         {changed("d", "f.txt"), changed("d", "g.txt")},
         {}},
        {"remove a file",
         [&] { std::filesystem::remove(NativePath(in("d/g.txt"))); },
         {changed("d", "g.txt")},
         {}},
        // Watched under its new path before the old one is given up, as a walk of the
        // parent finds it.
        {"rename a directory",
         [&] {
             Rename(in("d"), in("e"));
             add("e");
             watch->Remove(in("d"));
         },
         {changed("", "d"), changed("", "e")},
         {}},
        {"write in the renamed directory",
         [&] { Write(in("e/h.txt")); },
         {changed("e", "h.txt")},
         {changed("d", "h.txt")},
         true},
        {"move a directory out",
         [&] {
             Rename(in("e"), JoinEntryPath(outside, "e"));
             watch->Remove(in("e"));
         },
         {changed("", "e")},
         {}},
        {"move it back in under a new name",
         [&] {
             Write(JoinEntryPath(outside, "e/x.txt"));
             Rename(JoinEntryPath(outside, "e"), in("back"));
             add("back");
             Write(in("back/y.txt"));
         },
         {changed("", "back"), changed("back", "y.txt")},
         {changed("e", "x.txt"), changed("d", "x.txt")},
         true},
        {"replace a directory by a new one of its name",
         [&] {
             std::filesystem::remove_all(NativePath(in("back")));
             std::filesystem::create_directory(NativePath(in("back")));
             add("back");
             Write(in("back/z.txt"));
         },
         {changed("back", "z.txt")},
         {},
         true},
        {"remove the root",
         [&] { std::filesystem::remove_all(NativePath(root)); },
         {TreeEvent{Kind::RootGone, {}, {}}},
         {},
         true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        if (step.wineDiffers && UnderWine()) continue;
        const std::vector<TreeEvent> events = Collect(*watch, step.wanted);
        std::string seen;
        for (const TreeEvent& event : events) seen += Describe(event) + " ";
        for (const TreeEvent& wanted : step.wanted) EXPECT_TRUE(Holds(events, wanted)) << seen;
        for (const TreeEvent& unwanted : step.unwanted)
            EXPECT_FALSE(Holds(events, unwanted)) << seen;
    }
}

// The queue's length is the machine's: shortening it would shorten it for every program.
// More renames than the system's queue holds, made while the owner does not wait: the watch
// reads them meanwhile and hands each name over once, with no overflow. The renames come in
// parts a little apart, so that a loaded machine still lets the reader run between them.
TEST(TreeWatch, ChangesBeyondTheQueueAreGatheredWhileTheOwnerIsBusy) {
    const long renames = RenamesBeyondTheQueue();
    if (renames == 0) GTEST_SKIP() << "the event queue is too long to fill here";
    TempDir dir;
    std::string failure;
    const auto watch = TTreeWatch::Open(dir.path(), failure);
    ASSERT_TRUE(watch) << failure;
    const std::string names[] = {dir.write(std::string(100, 'a'), ""), dir / std::string(100, 'b')};
    for (long i = 0; i < renames; ++i) {
        Rename(names[i % 2], names[(i + 1) % 2]);
        if (i % 256 == 255) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const TreeEvent a{Kind::Changed, dir.path(), std::string(100, 'a')};
    const TreeEvent b{Kind::Changed, dir.path(), std::string(100, 'b')};
    const std::vector<TreeEvent> events = Collect(*watch, {a, b});
    EXPECT_TRUE(Holds(events, a) && Holds(events, b));
    EXPECT_FALSE(Holds(events, {Kind::Overflow, {}, {}}));
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [&](const TreeEvent& event) { return Same(event, a); }),
              1);
}

TEST(TreeWatch, ADirectoryThatCannotBeWatchedIsRefusedWithTheSystemsReason) {
    TempDir scratch;
    const std::string file = scratch.write("f.txt", "x");
    std::string failure;
    EXPECT_FALSE(TTreeWatch::Open(scratch / "missing", failure));
    EXPECT_FALSE(failure.empty());
    failure.clear();
    EXPECT_FALSE(TTreeWatch::Open(file, failure));
    EXPECT_FALSE(failure.empty());
}
