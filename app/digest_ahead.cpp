#include "app/digest_ahead.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "app/md5.h"
#include "app/workers.h"
#include "runtime/filesystem.h"
#include "runtime/work_ahead.h"

namespace app {

TDigestAhead::TDigestAhead() = default;
TDigestAhead::~TDigestAhead() = default;

void TDigestAhead::Enter(std::shared_ptr<const std::vector<std::string>> entryPaths) {
    Drop();
    entryPaths_ = std::move(entryPaths);
    const std::size_t lanes = std::max(1u, std::thread::hardware_concurrency());
    work_ = std::make_unique<rt::TWorkAhead>(
        entryPaths_->size(),
        [paths = entryPaths_](std::size_t index) -> std::optional<std::string> {
            const std::string& path = (*paths)[index];
            if (rt::EntryType(path) != rt::ENTRY_FILE) return std::nullopt;
            return md5OfFile(path, MD5_CHUNK_SIZE);
        },
        lanes);
}

Flow TDigestAhead::Await(Application& app, std::size_t position, std::string& ident) {
    const auto ready = [&](std::uint32_t ms) { return work_->WaitFor(position, ms); };
    if (PollUntil(app, ready) == Flow::Stop) return Flow::Stop;
    if (std::optional<std::string> digest = work_->Take(position)) {
        ident = std::move(*digest);
        return Flow::Continue;
    }
    return AwaitDigest(app, *StartDigest((*entryPaths_)[position]), ident);
}

void TDigestAhead::Drop() { work_.reset(); }

}  // namespace app
