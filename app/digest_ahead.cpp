#include "app/digest_ahead.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "app/md5.h"
#include "app/workers.h"
#include "runtime/filesystem.h"
#include "runtime/stream.h"
#include "runtime/work_ahead.h"

namespace app {

TDigestAhead::TDigestAhead() = default;
TDigestAhead::~TDigestAhead() = default;

void TDigestAhead::Enter(std::shared_ptr<const rt::TDirectory> directory,
                         std::shared_ptr<const std::vector<std::string>> names) {
    Drop();
    directory_ = std::move(directory);
    names_ = std::move(names);
    const std::size_t lanes = std::max(1u, std::thread::hardware_concurrency());
    work_ = std::make_unique<rt::TWorkAhead>(
        names_->size(),
        [directory = directory_, names = names_](std::size_t index) -> std::optional<std::string> {
            const auto file = directory->OpenFile((*names)[index]);
            if (!file) return std::nullopt;
            return md5OfFile(file.get(), MD5_CHUNK_SIZE);
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
    return AwaitDigest(app, *StartDigest(directory_, (*names_)[position]), ident);
}

void TDigestAhead::Drop() { work_.reset(); }

}  // namespace app
