#pragma once
// Digests of the files the scan reaches next, computed ahead on every core while the main
// thread works through the entries before them. The scan queues the names of directories
// it will read and still takes each file's digest in order, after showing it; digests it
// does not take (the scan stopped, or the entry was no file) are dropped, never waited for.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/flow.h"

namespace rt {
class TDirectory;
class TWorkAhead;
}  // namespace rt

namespace app {

struct Application;

class TDigestAhead {
public:
    TDigestAhead();
    ~TDigestAhead();

    // Queues the names of a directory; the number of the first name's item. The workers
    // share the open directory, so they outlive the scan safely.
    std::size_t Add(const std::shared_ptr<const rt::TDirectory>& directory,
                    const std::vector<std::string>& names);
    // The digest of item into ident, waited for with polling. A file that could not be
    // opened when its turn ahead came is tried again now. On a stop request the digest
    // is dropped. A small file the workers have not reached is digested at once instead.
    Flow Await(Application& app, std::size_t item,
               const std::shared_ptr<const rt::TDirectory>& directory, const std::string& name,
               std::int64_t size, std::string& ident);
    // Items queued and not yet started.
    std::size_t Waiting() const;

private:
    std::unique_ptr<rt::TWorkAhead> work_;
};

}  // namespace app
