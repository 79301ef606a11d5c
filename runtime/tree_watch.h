#pragma once
// Change notification for a directory tree: which directories' entries changed, and when the
// notification itself cannot be trusted. The system's own mechanism lies behind it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
namespace rt {
struct TreeEvent {
    enum class Kind {
        Changed,   // an entry `name` of `directory` was made, removed, renamed or written
        Overflow,  // the system dropped events: any directory may have changed
        RootGone,  // the watched root was moved, removed or unmounted
    };
    Kind kind = Kind::Changed;
    std::string directory;  // as the watch was added (the root, or a path below it)
    // One name, no separator; empty when any entry of the directory may have changed (the
    // watch keeps a bounded number of names while nobody waits for them).
    std::string name;
};
class TTreeWatch {
public:
    // Null, with the system's reason, when no watch can be made.
    static std::unique_ptr<TTreeWatch> Open(const std::string& root, std::string& failure);
    ~TTreeWatch();
    enum class Added { Done, LimitReached, Failed };
    // Watches the entries of one directory of the tree (the root included). On Windows the
    // root's watch covers the whole tree and this only answers Done. `failure` gets the reason.
    Added Add(const std::string& directory, std::string& failure);
    // No more events of this directory (it was removed or moved away); nothing below it is
    // touched. A directory watched again under a new path keeps its new path.
    void Remove(const std::string& directory);
    static constexpr std::uint32_t FOREVER = UINT32_MAX;
    // Waits up to timeoutMs (FOREVER: without a limit) for events, and returns the ones that
    // came since the last Wait (empty on timeout, or when an interrupt that CatchInterrupts
    // records or another signal ended the wait): Overflow and RootGone first,
    // then each directory and name once, the directories in the order first named. Events
    // are gathered meanwhile, however long the caller is busy elsewhere.
    std::vector<TreeEvent> Wait(std::uint32_t timeoutMs);
    // Whether the file system holding the path may not report changes made by other
    // machines (network and user-space file systems); `kind` names it for a message.
    static bool MayMissChanges(const std::string& path, std::string& kind);
private:
    struct State;
    explicit TTreeWatch(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};
}  // namespace rt
