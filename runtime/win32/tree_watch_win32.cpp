#include "runtime/tree_watch.h"

#include <windows.h>

#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "runtime/path.h"
#include "runtime/tree_event_list.h"
#include "runtime/win32/interrupt_wake_win32.h"
#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {

// Names made, removed or renamed, and files written; no access times, no attributes.
constexpr DWORD CHANGES = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                          FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
// The system refuses larger buffers for directories on network shares.
constexpr DWORD BUFFER_BYTES = 64 * 1024;
// How often the reader asks, while nothing changes, whether the root is still there.
constexpr DWORD ROOT_CHECK_MS = 1000;

std::string SystemText(DWORD error) {
    return std::system_category().message(static_cast<int>(error));
}

// "a\b\c.txt" below the root: the entry "c.txt" of the directory root\a\b.
TreeEvent ChangedEntry(const std::string& root, const std::string& relative) {
    const std::size_t slash = relative.rfind('\\');
    if (slash == std::string::npos) return {TreeEvent::Kind::Changed, root, relative};
    return {TreeEvent::Kind::Changed, JoinEntryPath(root, relative.substr(0, slash)),
            relative.substr(slash + 1)};
}

}  // namespace

// A reader thread takes the system's records as they come, however long the owner is busy
// elsewhere, into a queue of its own that holds each directory and name once: the system's
// buffer runs over only when the whole program is held up.
struct TTreeWatch::State {
    std::string root;
    HANDLE directory = INVALID_HANDLE_VALUE;
    FileIdentity identity;
    OVERLAPPED overlapped{};
    HANDLE stop = nullptr;   // set when the reader is to end
    HANDLE ready = nullptr;  // set when the reader queued events
    bool reading = false;
    bool gone = false;
    // DWORDs: the records the system writes into it are aligned to them.
    std::vector<DWORD> buffer = std::vector<DWORD>(BUFFER_BYTES / sizeof(DWORD));
    std::thread reader;
    // Guards what the reader queued and Wait did not yet hand over: what calls for a full
    // run, in order, and what changed.
    std::mutex guard;
    std::vector<TreeEvent> alarms;
    TNamedDirectories changed;

    ~State() {
        if (reader.joinable()) {
            SetEvent(stop);
            reader.join();
        }
        if (reading) {
            // The system must be done with the buffer before it goes.
            DWORD ignored = 0;
            CancelIoEx(directory, &overlapped);
            GetOverlappedResult(directory, &overlapped, &ignored, TRUE);
        }
        for (const HANDLE event : {overlapped.hEvent, stop, ready}) {
            if (event != nullptr) CloseHandle(event);
        }
        if (directory != INVALID_HANDLE_VALUE) CloseHandle(directory);
    }

    bool Read() {
        ResetEvent(overlapped.hEvent);
        reading = ReadDirectoryChangesW(directory, buffer.data(), BUFFER_BYTES, TRUE, CHANGES,
                                        nullptr, &overlapped, nullptr) != 0;
        return reading;
    }

    // No event comes when the root itself is renamed or removed: whether its path still
    // names the directory that is watched is asked instead. A removed directory lingers,
    // waiting to be deleted, while this watch holds it open.
    bool RootStillThere() const {
        FILE_STANDARD_INFO standard{};
        if (GetFileInformationByHandleEx(directory, FileStandardInfo, &standard, sizeof standard) &&
            standard.DeletePending) {
            return false;
        }
        const EntryStatus status = win32::StatusAt(win32::LongPath(root));
        return status.kind == ENTRY_DIR && status.identity == identity;
    }

    void Translate(DWORD bytes, std::vector<TreeEvent>& events) const {
        const auto* records = reinterpret_cast<const char*>(buffer.data());
        for (DWORD at = 0; at < bytes;) {
            const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(records + at);
            const std::string relative =
                win32::Narrow(record->FileName, record->FileNameLength / sizeof(wchar_t));
            if (!relative.empty()) AppendTreeEvent(events, ChangedEntry(root, relative));
            if (record->NextEntryOffset == 0) break;
            at += record->NextEntryOffset;
        }
    }

    // The reader's: a read's records, and what they say of the system's buffer and the root.
    void Complete() {
        DWORD bytes = 0;
        reading = false;
        // A read that failed (ERROR_NOTIFY_ENUM_DIR among others) or came back empty means
        // the system's buffer ran over and its changes are lost.
        const bool read = GetOverlappedResult(directory, &overlapped, &bytes, FALSE) != 0;
        std::vector<TreeEvent> events;
        if (read && bytes > 0) Translate(bytes, events);
        const bool rootGone = !Read() || !RootStillThere();
        const std::lock_guard lock(guard);
        for (const TreeEvent& event : events) changed.Name(event.directory, event.name);
        if (rootGone) {
            RootGone();
        } else if (!read || bytes == 0) {
            AppendTreeEvent(alarms, {TreeEvent::Kind::Overflow, {}, {}});
        }
    }

    // Under the guard.
    void RootGone() {
        gone = true;
        AppendTreeEvent(alarms, {TreeEvent::Kind::RootGone, {}, {}});
    }

    // The reader's loop, until the watch ends or the root is gone. No record comes when the
    // root itself goes: it is asked after now and then.
    void ReadAll() {
        const HANDLE sources[] = {stop, overlapped.hEvent};
        while (!gone) {
            const DWORD woke = WaitForMultipleObjects(2, sources, FALSE, ROOT_CHECK_MS);
            if (woke == WAIT_OBJECT_0) return;
            if (woke == WAIT_OBJECT_0 + 1) {
                Complete();
            } else if (!RootStillThere()) {
                const std::lock_guard lock(guard);
                RootGone();
            } else {
                continue;
            }
            SetEvent(ready);
        }
    }

    std::vector<TreeEvent> HandOver() {
        const std::lock_guard lock(guard);
        return TakeTreeEvents(alarms, changed);
    }
};

TTreeWatch::TTreeWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}
TTreeWatch::~TTreeWatch() = default;

std::unique_ptr<TTreeWatch> TTreeWatch::Open(const std::string& root, std::string& failure) {
    auto state = std::make_unique<State>();
    state->root = root;
    // Shared for deleting too, so that renames and removals in the tree are not held up.
    state->directory =
        CreateFileW(win32::LongPath(root).c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (state->directory == INVALID_HANDLE_VALUE) {
        failure = SystemText(GetLastError());
        return nullptr;
    }
    const EntryStatus status = win32::StatusOf(state->directory);
    if (status.kind != ENTRY_DIR) {
        failure = status.Answered() ? SystemText(ERROR_DIRECTORY) : status.failure;
        return nullptr;
    }
    state->identity = status.identity;
    state->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    state->stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    state->ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (state->overlapped.hEvent == nullptr || state->stop == nullptr ||
        state->ready == nullptr || !state->Read()) {
        failure = SystemText(GetLastError());
        return nullptr;
    }
    State& opened = *state;
    opened.reader = std::thread([&opened] { opened.ReadAll(); });
    return std::unique_ptr<TTreeWatch>(new TTreeWatch(std::move(state)));
}

// The root's watch covers the whole tree.
TTreeWatch::Added TTreeWatch::Add(const std::string&, std::string&) { return Added::Done; }

void TTreeWatch::Remove(const std::string&) {}

std::vector<TreeEvent> TTreeWatch::Wait(std::uint32_t timeoutMs) {
    State& state = *state_;
    const HANDLE wake = win32::InterruptWakeEvent();
    const HANDLE sources[] = {state.ready, wake};
    // FOREVER is the system's INFINITE.
    if (WaitForMultipleObjects(wake ? 2 : 1, sources, FALSE, timeoutMs) != WAIT_OBJECT_0) return {};
    return state.HandOver();
}

bool TTreeWatch::MayMissChanges(const std::string& path, std::string& kind) {
    const std::wstring wide = win32::Wide(path);
    wchar_t volume[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(wide.c_str(), volume, MAX_PATH + 1)) return false;
    if (GetDriveTypeW(volume) != DRIVE_REMOTE) return false;
    kind = "network";
    return true;
}

}  // namespace rt
