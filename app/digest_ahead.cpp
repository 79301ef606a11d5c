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
namespace {

// A file the workers have not reached yet is digested by the scan itself when that takes
// well under a poll interval; a bigger one is left to a worker, so the window stays live.
constexpr std::int64_t RUN_HERE_LIMIT = 256 * 1024;

}  // namespace

TDigestAhead::TDigestAhead() = default;
TDigestAhead::~TDigestAhead() = default;

std::size_t TDigestAhead::Add(const std::shared_ptr<const rt::TDirectory>& directory,
                              const std::vector<std::string>& names) {
    if (!work_) {
        work_ = std::make_unique<rt::TWorkAhead>(std::max(1u, std::thread::hardware_concurrency()));
    }
    std::vector<rt::TWorkAhead::Job> jobs;
    jobs.reserve(names.size());
    for (const std::string& name : names) {
        jobs.emplace_back([directory, name]() -> std::optional<std::string> {
            const auto file = directory->OpenFile(name);
            if (!file) return std::nullopt;
            return md5OfFile(file.get(), MD5_CHUNK_SIZE);
        });
    }
    return work_->Add(std::move(jobs));
}

Flow TDigestAhead::Await(Application& app, std::size_t item,
                         const std::shared_ptr<const rt::TDirectory>& directory,
                         const std::string& name, std::int64_t size, std::string& ident) {
    const auto ready = [&](std::uint32_t ms) { return work_->WaitFor(item, ms); };
    const bool doneHere = size <= RUN_HERE_LIMIT && work_->RunHere(item);
    if (!doneHere && PollUntil(app, ready) == Flow::Stop) return Flow::Stop;
    if (std::optional<std::string> digest = work_->Take(item)) {
        ident = std::move(*digest);
        return Flow::Continue;
    }
    return AwaitDigest(app, *StartDigest(directory, name), ident);
}

std::size_t TDigestAhead::Waiting() const { return work_ ? work_->Waiting() : 0; }

}  // namespace app
