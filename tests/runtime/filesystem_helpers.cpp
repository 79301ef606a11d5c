#include "tests/runtime/filesystem_helpers.h"

#include <gtest/gtest.h>

namespace testsupport {

std::set<std::string> ListAll(const std::string& path) {
    std::set<std::string> names;
    auto listing = rt::TDirectory::Open(path);
    EXPECT_TRUE(listing);
    if (!listing) return names;
    for (std::string name = listing->NextName(); !name.empty(); name = listing->NextName())
        names.insert(name);
    EXPECT_EQ(listing->NextName(), "");  // stays exhausted
    return names;
}

std::string ReadAll(rt::TReadStream& stream) {
    std::string bytes(static_cast<std::size_t>(stream.Size()), '\0');
    bytes.resize(static_cast<std::size_t>(stream.Read(bytes.data(), stream.Size())));
    return bytes;
}

}  // namespace testsupport
