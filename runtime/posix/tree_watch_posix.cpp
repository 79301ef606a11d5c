#include "runtime/tree_watch.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "runtime/posix/interrupt_wake_posix.h"
#include "runtime/tree_event_list.h"

namespace rt {
namespace {

// Only what changes a directory's entries or a file's content: open and access events
// would come for every file the program itself reads. Links are followed, as the scan
// follows them.
constexpr std::uint32_t ENTRY_EVENTS = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE |
                                       IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                       IN_ONLYDIR;
constexpr std::uint32_t SELF_GONE = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;
// One read takes whatever the queue holds up to this size.
constexpr std::size_t READ_BYTES = 64 * 1024;
// After a read, the next events gather this long: a storm is read in batches rather than a
// few events a wake-up, and a change is heard of this much later at most.
constexpr int GATHER_MS = 5;

std::string SystemText(int error) { return std::generic_category().message(error); }

bool SameIdentity(const std::string& path, const struct stat& info) {
    struct stat now {};
    return stat(path.c_str(), &now) == 0 && now.st_dev == info.st_dev && now.st_ino == info.st_ino;
}

struct Magic {
    std::uint32_t type;
    const char* name;
};
// File systems whose changes may be made by other machines or processes that the kernel's
// notification never sees.
constexpr Magic REMOTE_FILE_SYSTEMS[] = {
    {0x6969, "NFS"},        {0x517B, "SMB"},        {0xFF534D42, "CIFS"}, {0xFE534D42, "SMB2"},
    {0x65735546, "FUSE"},   {0x01021997, "9P"},     {0x00C36400, "Ceph"}, {0x5346414F, "AFS"},
    {0x6B414653, "AFS"},    {0x73757245, "Coda"},   {0x564C, "NCP"},      {0x01161970, "GFS2"},
    {0x7461636F, "OCFS2"},  {0x0BD00BD0, "Lustre"}, {0x47504653, "GPFS"}, {0x20030528, "OrangeFS"},
    {0x786F4256, "vboxsf"},
};

// An eventfd's count, raised or taken.
void Raise(int counter) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(counter, &one, sizeof one);
}
void Lower(int counter) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t taken = read(counter, &count, sizeof count);
}

// Signals are the owner's: a wait of its own is what they interrupt.
std::thread WithoutSignals(std::function<void()> run) {
    sigset_t all{};
    sigset_t before{};
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    std::thread thread(std::move(run));
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return thread;
}

}  // namespace

// A reader thread empties the system's queue as events come, however long the owner is busy
// elsewhere, into a queue of its own that holds each directory and name once: the system's
// queue overflows only when the whole program is held up.
struct TTreeWatch::State {
    int fd = -1;
    int stop = -1;   // raised when the reader is to end
    int ready = -1;  // raised when the reader queued events
    int rootWatch = -1;
    std::thread reader;
    // Guards everything below, shared by the reader and the watch's owner.
    std::mutex guard;
    bool rootGoneReported = false;
    // inotify has one watch per directory, however many paths reach it (a link to a
    // watched directory, or the path it was moved to).
    std::unordered_map<int, std::vector<std::string>> pathsOf;
    std::unordered_map<std::string, int> watchOf;
    // Read and not yet handed over: what calls for a full run, in order, and what changed.
    std::vector<TreeEvent> alarms;
    TNamedDirectories changed;

    ~State() {
        if (reader.joinable()) {
            Raise(stop);
            reader.join();
        }
        for (const int open : {fd, stop, ready}) {
            if (open >= 0) close(open);
        }
    }

    // The path may name another directory's watch by now: that one keeps it.
    void Unname(int watch, const std::string& path) {
        const auto named = watchOf.find(path);
        if (named != watchOf.end() && named->second == watch) watchOf.erase(named);
    }

    // Paths that no longer reach the directory of this watch (it was moved) stop naming it.
    void Forget(int watch, const std::string& path) {
        std::erase(pathsOf[watch], path);
        Unname(watch, path);
    }

    void KeepLivePaths(int watch, const struct stat& info) {
        const std::vector<std::string> known = pathsOf[watch];
        for (const std::string& path : known) {
            if (!SameIdentity(path, info)) Forget(watch, path);
        }
    }

    // The path no longer names the watch's directory; the kernel's watch goes with its last path.
    void Release(int watch, const std::string& path) {
        Forget(watch, path);
        if (!pathsOf[watch].empty()) return;  // another path still reaches it
        pathsOf.erase(watch);
        inotify_rm_watch(fd, watch);
    }

    void Drop(int watch) {
        const auto found = pathsOf.find(watch);
        if (found == pathsOf.end()) return;
        for (const std::string& path : found->second) Unname(watch, path);
        pathsOf.erase(found);
    }

    void Alarm(TreeEvent::Kind kind) { AppendTreeEvent(alarms, {kind, {}, {}}); }

    void Translate(const inotify_event& event) {
        if (event.mask & IN_Q_OVERFLOW) {
            Alarm(TreeEvent::Kind::Overflow);
            return;
        }
        const bool root = event.wd == rootWatch;
        if (root && (event.mask & (SELF_GONE | IN_IGNORED)) != 0) {
            if (!rootGoneReported) Alarm(TreeEvent::Kind::RootGone);
            rootGoneReported = true;
        } else if (event.mask & IN_UNMOUNT) {
            // A file system mounted below the root went away: what shows there now is unknown.
            Alarm(TreeEvent::Kind::Overflow);
        }
        if (event.mask & IN_IGNORED) Drop(event.wd);
        if (event.len == 0) return;  // the directory's own events: its parent reports them
        const auto found = pathsOf.find(event.wd);
        if (found == pathsOf.end()) return;  // a watch already removed
        const std::string name(event.name, strnlen(event.name, event.len));
        for (const std::string& path : found->second) changed.Name(path, name);
    }

    // The reader's loop: each read's events queued at once, then Wait told.
    void Read() {
        alignas(inotify_event) char buffer[READ_BYTES];
        pollfd sources[] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
        for (;;) {
            if (poll(sources, 2, -1) <= 0) continue;  // a failed poll is tried again
            if (sources[1].revents != 0) return;
            bool queued = false;
            for (ssize_t length; (length = read(fd, buffer, sizeof buffer)) > 0; queued = true) {
                const std::lock_guard lock(guard);
                for (ssize_t at = 0; at < length;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                    Translate(*event);
                    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                }
            }
            if (queued) Raise(ready);
            if (poll(&sources[1], 1, GATHER_MS) > 0) return;  // a stop ends the pause
        }
    }

    std::vector<TreeEvent> HandOver() {
        const std::lock_guard lock(guard);
        return TakeTreeEvents(alarms, changed);
    }

    bool Idle() {
        const std::lock_guard lock(guard);
        return alarms.empty() && changed.Empty();
    }
};

TTreeWatch::TTreeWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}
TTreeWatch::~TTreeWatch() = default;

std::unique_ptr<TTreeWatch> TTreeWatch::Open(const std::string& root, std::string& failure) {
    auto state = std::make_unique<State>();
    state->fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    state->stop = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    state->ready = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (state->fd < 0 || state->stop < 0 || state->ready < 0) {
        const int error = errno;
        failure = SystemText(error);
        if (error == EMFILE) failure += " (the limit is fs.inotify.max_user_instances)";
        return nullptr;
    }
    std::unique_ptr<TTreeWatch> watch(new TTreeWatch(std::move(state)));
    if (watch->Add(root, failure) != Added::Done) return nullptr;
    State& opened = *watch->state_;
    opened.rootWatch = opened.watchOf.at(root);
    opened.reader = WithoutSignals([&opened] { opened.Read(); });
    return watch;
}

TTreeWatch::Added TTreeWatch::Add(const std::string& directory, std::string& failure) {
    State& state = *state_;
    // Held from the watch's making on: the reader takes its events by its path.
    const std::lock_guard lock(state.guard);
    struct stat info {};
    const int watch = inotify_add_watch(state.fd, directory.c_str(), ENTRY_EVENTS);
    if (watch < 0 || stat(directory.c_str(), &info) != 0) {
        const int error = errno;
        failure = SystemText(error);
        if (error != ENOSPC) return Added::Failed;
        failure += " (the limit of watched directories, fs.inotify.max_user_watches, is reached)";
        return Added::LimitReached;
    }
    state.KeepLivePaths(watch, info);
    const auto previous = state.watchOf.find(directory);
    if (previous != state.watchOf.end() && previous->second != watch) {
        state.Release(previous->second, directory);  // another directory was there before
    }
    auto& paths = state.pathsOf[watch];
    if (std::find(paths.begin(), paths.end(), directory) == paths.end()) paths.push_back(directory);
    state.watchOf[directory] = watch;
    return Added::Done;
}

void TTreeWatch::Remove(const std::string& directory) {
    State& state = *state_;
    const std::lock_guard lock(state.guard);
    const auto found = state.watchOf.find(directory);
    if (found == state.watchOf.end()) return;
    state.Release(found->second, directory);
}

std::vector<TreeEvent> TTreeWatch::Wait(std::uint32_t timeoutMs) {
    State& state = *state_;
    Lower(state.ready);
    if (state.Idle()) {
        // A negative descriptor (interrupts not caught) is left out by poll.
        pollfd sources[] = {{state.ready, POLLIN, 0},
                            {posix::InterruptWakeDescriptor(), POLLIN, 0}};
        const int timeout = timeoutMs == FOREVER
                                ? -1
                                : static_cast<int>(std::min<std::uint32_t>(timeoutMs, INT_MAX));
        if (poll(sources, 2, timeout) <= 0) return {};  // timeout or signal
        if (sources[1].revents != 0) Lower(sources[1].fd);
        Lower(state.ready);
    }
    return state.HandOver();
}

bool TTreeWatch::MayMissChanges(const std::string& path, std::string& kind) {
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0) return false;
    for (const Magic& magic : REMOTE_FILE_SYSTEMS) {
        if (static_cast<std::uint32_t>(info.f_type) == magic.type) {
            kind = magic.name;
            return true;
        }
    }
    return false;
}

}  // namespace rt
