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
class TDirectory;
class TWorkAhead;
}  // namespace rt

namespace app {

struct Application;

class TDigestAhead {
public:
    TDigestAhead();
    ~TDigestAhead();

    // Starts on the files among the names of the directory the scan reads next; the
    // workers share the open directory, so they outlive the scan safely.
    void Enter(std::shared_ptr<const rt::TDirectory> directory,
               std::shared_ptr<const std::vector<std::string>> names);
    // The digest of the file at this position into ident, waited for with polling. A file
    // that could not be opened when its turn ahead came is tried again now. On a stop
    // request the digest is dropped.
    Flow Await(Application& app, std::size_t position, std::string& ident);
    // Drops every digest not taken.
    void Drop();

private:
    std::shared_ptr<const rt::TDirectory> directory_;
    std::shared_ptr<const std::vector<std::string>> names_;
    std::unique_ptr<rt::TWorkAhead> work_;
};

}  // namespace app
