#pragma once
// Digests of the files the scan reaches next, computed ahead on every core while the main
// thread works through the entries before them. The scan still takes each file's digest
// in order, after showing it; digests it does not take (the scan stopped, or the entry
// was no file when its turn ahead came) are dropped, never waited for.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/flow.h"

namespace rt {
class TWorkAhead;
}

namespace app {

struct Application;

class TDigestAhead {
public:
    TDigestAhead();
    ~TDigestAhead();

    // Starts on the files among the entries of the directory the scan reads next.
    void Enter(std::shared_ptr<const std::vector<std::string>> entryPaths);
    // The digest of the file at this position into ident, waited for with polling. A file
    // that was none when its turn ahead came is digested now. On a stop request the digest
    // is dropped.
    Flow Await(Application& app, std::size_t position, std::string& ident);
    // Drops every digest not taken.
    void Drop();

private:
    std::shared_ptr<const std::vector<std::string>> entryPaths_;
    std::unique_ptr<rt::TWorkAhead> work_;
};

}  // namespace app
