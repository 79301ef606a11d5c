#include "tests/support/file_size_limit.h"

#include <signal.h>
#include <sys/resource.h>

#include <stdexcept>

namespace testsupport {
namespace {

void SetSoftLimit(rlim_t bytes) {
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("cannot limit file sizes");
}

}  // namespace

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    previous_ = limit.rlim_cur;
    // A write past the limit then fails with EFBIG, as one on a full disk fails.
    signal(SIGXFSZ, SIG_IGN);
    SetSoftLimit(static_cast<rlim_t>(bytes));
}

FileSizeLimit::~FileSizeLimit() { SetSoftLimit(static_cast<rlim_t>(previous_)); }

}  // namespace testsupport
