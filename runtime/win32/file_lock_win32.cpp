#include "runtime/file_lock.h"

#include <windows.h>

#include "runtime/clock.h"
#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {

constexpr std::uint32_t RETRY_MS = 5;
// The locked range lies far beyond any data: Windows locks keep others from the bytes
// they cover, and the database layer's own locks sit just above 1 GiB.
constexpr DWORD LOCK_OFFSET_HIGH = 0x7FFFFFF0;

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

HANDLE OpenRegular(const std::wstring& path, bool create, TFileLock::Outcome& outcome) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        outcome = missing ? TFileLock::Outcome::Missing : TFileLock::Outcome::Failed;
        return INVALID_HANDLE_VALUE;
    }
    if (GetFileType(file) != FILE_TYPE_DISK || win32::StatusOf(file).kind != ENTRY_FILE) {
        CloseHandle(file);
        outcome = TFileLock::Outcome::Failed;
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

bool TryLock(HANDLE file) {
    OVERLAPPED at{};
    at.OffsetHigh = LOCK_OFFSET_HIGH;
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

}  // namespace

std::unique_ptr<TFileLock> TFileLock::Acquire(const std::string& path, bool create,
                                              std::uint32_t timeoutMs, Outcome& outcome) {
    const std::wstring longPath = win32::LongPath(path);
    const std::uint64_t due = Millisecs() + timeoutMs;
    for (;;) {
        const HANDLE file = OpenRegular(longPath, create, outcome);
        if (file == INVALID_HANDLE_VALUE) return nullptr;
        while (!TryLock(file)) {
            const bool held = GetLastError() == ERROR_LOCK_VIOLATION;
            if (!held || Millisecs() >= due) {
                outcome = held ? Outcome::Busy : Outcome::Failed;
                CloseHandle(file);
                return nullptr;
            }
            SleepMs(RETRY_MS);
        }
        if (win32::StatusOf(file).identity == win32::StatusAt(longPath).identity) {
            outcome = Outcome::Held;
            return std::unique_ptr<TFileLock>(new TFileLock(reinterpret_cast<std::intptr_t>(file)));
        }
        // The holder replaced the file while this one waited: lock the one named now.
        CloseHandle(file);
    }
}

bool TFileLock::Holds(const std::string& path) const {
    const EntryStatus named = win32::StatusAt(win32::LongPath(path));
    return named.exists && win32::StatusOf(AsHandle(handle_)).identity == named.identity;
}

// Closing the handle releases its locks.
TFileLock::~TFileLock() { CloseHandle(AsHandle(handle_)); }

}  // namespace rt
