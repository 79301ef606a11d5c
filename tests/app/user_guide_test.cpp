#include "app/user_guide.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/program.h"

namespace {

// This test program sits in build/tests/app, so its "prefix" is build/tests.
TEST(UserGuide, IsTheGuideUnderShareBesideTheProgramsDirectory) {
    const std::filesystem::path program = rt::ProgramFile();
    const std::string prefix = program.parent_path().parent_path().generic_string();
    ASSERT_EQ(prefix.find_first_of(" #%?"), std::string::npos) << "a path this test cannot spell";
    // A drive letter ("C:/x") is not rooted the way "/x" is: the URL adds its own "/".
    const std::string scheme = prefix.front() == '/' ? "file://" : "file:///";
    EXPECT_EQ(app::UserGuideURL(), scheme + prefix + "/share/doc/tervala/index.html");
}

}  // namespace
