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

std::size_t TDigestAhead::Add(const std::shared_ptr<const rt::TDirectory>& directory,
                              const std::vector<std::string>& names) {
    if (!work_) {
        work_ = std::make_unique<rt::TWorkAhead>(std::max(1u, std::thread::hardware_concurrency()));
    }
    std::size_t first = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t item =
            work_->Add([directory, name = names[i]]() -> std::optional<std::string> {
                const auto file = directory->OpenFile(name);
                if (!file) return std::nullopt;
                return md5OfFile(file.get(), MD5_CHUNK_SIZE);
            });
        if (i == 0) first = item;
    }
    return first;
}

Flow TDigestAhead::Await(Application& app, std::size_t item,
                         const std::shared_ptr<const rt::TDirectory>& directory,
                         const std::string& name, std::string& ident) {
    const auto ready = [&](std::uint32_t ms) { return work_->WaitFor(item, ms); };
    if (PollUntil(app, ready) == Flow::Stop) return Flow::Stop;
    if (std::optional<std::string> digest = work_->Take(item)) {
        ident = std::move(*digest);
        return Flow::Continue;
    }
    return AwaitDigest(app, *StartDigest(directory, name), ident);
}

std::size_t TDigestAhead::Waiting() const { return work_ ? work_->Waiting() : 0; }

}  // namespace app
