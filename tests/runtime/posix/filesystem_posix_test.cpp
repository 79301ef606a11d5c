// Links, pipes, hard links and paths beyond PATH_MAX.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/filesystem.h"
#include "tests/runtime/filesystem_helpers.h"
#include "tests/support/deep_tree.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::ListAll;
using testsupport::ReadAll;
using testsupport::TempDir;

TEST(EntryTypes, FollowLinksAndReportDanglingOnesAsNothing) {
    TempDir dir;
    const std::string file = dir.write("f.txt", "12345");
    mkdir((dir / "d").c_str(), 0755);
    symlink(file.c_str(), (dir / "link-to-file").c_str());
    symlink((dir / "d").c_str(), (dir / "link-to-dir").c_str());
    symlink((dir / "gone").c_str(), (dir / "dangling").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    EXPECT_EQ(EntryType(dir / "link-to-file"), ENTRY_FILE);
    EXPECT_EQ(EntryType(dir / "link-to-dir"), ENTRY_DIR);
    EXPECT_EQ(EntryType(dir / "dangling"), ENTRY_NONE);
    EXPECT_EQ(EntryType(dir / "fifo"), ENTRY_NONE);
    EXPECT_TRUE(PathExists(dir / "dangling"));
    // The same answers by name, relative to the open directory, with the size beside them.
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Query("link-to-dir").kind, ENTRY_DIR);
    EXPECT_EQ(open->Query("fifo").kind, ENTRY_NONE);
    EXPECT_EQ(open->Query("link-to-file").kind, ENTRY_FILE);
    EXPECT_EQ(open->Query("link-to-file").size, 5);
    EXPECT_EQ(open->Query("dangling").kind, ENTRY_NONE);
    EXPECT_EQ(open->Query("dangling").size, -1);
}

// A failure that is no "no such file" says nothing about what is there.
TEST(PathQueries, OnlyNoSuchFileAnswersThatNothingIsThere) {
    TempDir dir;
    const std::string file = dir.write("f.txt", "12345");
    symlink((dir / "loop").c_str(), (dir / "loop").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    struct Case {
        std::string path;
        bool absent;
        std::string failure;
    };
    const Case cases[] = {{dir / "missing", true, ""},      {dir / "missing/x", true, ""},
                          {dir / "fifo", false, ""},        {file, false, ""},
                          {file + "/x", false, "Not a directory"},
                          {dir / "loop", false, "Too many levels of symbolic links"}};
    for (const Case& c : cases) {
        const EntryStatus status = QueryPath(c.path);
        EXPECT_EQ(status.Absent(), c.absent) << c.path;
        EXPECT_EQ(status.failure, c.failure) << c.path;
    }
    EXPECT_EQ(TDirectory::Open(dir.path())->Query("loop").failure, cases[5].failure);
}

TEST(ReachedPaths, ADotDotAfterALinkGoesUpFromItsTarget) {
    TempDir dir;
    mkdir((dir / "a").c_str(), 0755);
    mkdir((dir / "a/b").c_str(), 0755);
    symlink((dir / "a/b").c_str(), (dir / "link").c_str());
    const std::pair<std::string, std::string> cases[] = {
        {dir / "link/../b", dir / "a/b"},     {dir / "link/./", dir / "link"},
        {dir / "a/./b/../b/", dir / "a/b"},   {dir / "link/b/../../a", dir / "a/a"},
        {dir / "missing/../a", dir / "a"},    {"/../..", "/"}};
    for (const auto& [given, reached] : cases) EXPECT_EQ(ReachedPath(given), reached) << given;
}

TEST(DirectoryFiles, ALinkOpensWhatItNamesAndAPipeDoesNotBlock) {
    TempDir dir;
    dir.write("f.txt", "12345");
    symlink((dir / "f.txt").c_str(), (dir / "link").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    auto stream = open->OpenFile("link");
    ASSERT_TRUE(stream);
    EXPECT_EQ(ReadAll(*stream), "12345");
    EXPECT_FALSE(open->OpenFile("fifo"));
}

TEST(DeepDirectories, BeyondThePathLimitAreOpenedQueriedAndRead) {
    TempDir dir;
    testsupport::DeepTree deep(dir.path(), std::string(200, 'd'), 25);
    deep.Write("x.txt", "deep bytes");
    const std::string bottom = deep.BottomPath();
    ASSERT_GT(bottom.size(), std::size_t(PATH_MAX));
    const auto open = TDirectory::Open(bottom);
    ASSERT_TRUE(open);
    EXPECT_EQ(ListAll(bottom), (std::set<std::string>{".", "..", "x.txt"}));
    EXPECT_EQ(open->Query("x.txt").kind, ENTRY_FILE);
    EXPECT_EQ(open->Query("x.txt").size, 10);
    auto stream = open->OpenFile("x.txt");
    ASSERT_TRUE(stream);
    EXPECT_EQ(ReadAll(*stream), "deep bytes");
    // A piece of a long path that is no directory fails the open as a short one would.
    EXPECT_FALSE(TDirectory::Open(bottom + "/x.txt"));
    EXPECT_FALSE(TDirectory::Open(bottom + "/missing"));
    const std::string relative = bottom.substr(dir.path().size() + 1);
    const std::string before = CurrentDir();
    ASSERT_TRUE(ChangeDir(dir.path()));
    EXPECT_TRUE(TDirectory::Open(relative));
    ASSERT_TRUE(ChangeDir(before));
}

TEST(FileIdentities, SameDirectoryOrFileThroughALinkHasTheSameIdentity) {
    TempDir dir;
    mkdir((dir / "d").c_str(), 0755);
    symlink((dir / "d").c_str(), (dir / "alias").c_str());
    FileIdentity d, alias;
    ASSERT_TRUE(FileIdentityOf(dir / "d", d));
    ASSERT_TRUE(FileIdentityOf(dir / "alias", alias));
    EXPECT_EQ(d, alias);
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Query("alias").identity, d);
    EXPECT_EQ(TDirectory::Open(dir / "alias")->Identity(), d);
    const std::string file = dir.write("f", "x");
    ASSERT_EQ(link(file.c_str(), (dir / "hard").c_str()), 0);
    FileIdentity f, hard;
    ASSERT_TRUE(FileIdentityOf(file, f));
    ASSERT_TRUE(FileIdentityOf(dir / "hard", hard));
    EXPECT_EQ(f, hard);
    EXPECT_EQ(open->Query("f").identity, f);
}

TEST(SameFiles, OneExistingFileByTwoNames) {
    TempDir dir;
    const std::string file = dir.write("f", "x");
    symlink(file.c_str(), (dir / "soft").c_str());
    link(file.c_str(), (dir / "hard").c_str());
    EXPECT_TRUE(SameFile(file, dir / "soft"));
    EXPECT_TRUE(SameFile(dir / "hard", file));
}

// A link written as `target` at `link` below the tree, and whether it leads inside. The
// tree is reached through a link of its own; "@" stands for the temporary directory. A way
// through a place outside the tree leads out, even when it would come back.
struct LinkCase {
    const char* link;
    const char* target;
    bool inside;
};

class LinksInsideTheTree : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinksInsideTheTree, AreThoseWhoseResolvedTargetLiesThere) {
    TempDir dir;
    dir.write("tree/sub/deep/f.txt", "x");
    dir.write("outside/secret.txt", "x");
    symlink("../tree", (dir / "outside/alias").c_str());
    symlink("tree", (dir / "tree-link").c_str());
    symlink("sub", (dir / "tree/to-sub").c_str());
    symlink("../outside", (dir / "tree/to-outside").c_str());
    std::string target = GetParam().target;
    if (target.front() == '@') target = dir.path() + target.substr(1);
    ASSERT_EQ(symlink(target.c_str(), (dir / ("tree/" + std::string(GetParam().link))).c_str()), 0);
    const std::string tree = RealPath(dir / "tree-link");
    ASSERT_EQ(tree, RealPath(dir / "tree"));
    EXPECT_EQ(LeadsInside(tree, GetParam().link), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, LinksInsideTheTree,
    ::testing::Values(LinkCase{"l", "sub", true}, LinkCase{"l", "sub/deep/f.txt", true},
                      LinkCase{"l", "@/tree/sub", true}, LinkCase{"l", "@/tree-link/sub", false},
                      LinkCase{"l", "../tree/sub/./deep", true}, LinkCase{"sub/deep/l", "../..", true},
                      LinkCase{"l", "to-sub/deep", true}, LinkCase{"to-sub/l", "../to-sub", true},
                      LinkCase{"l", "..", false}, LinkCase{"l", "/", false},
                      LinkCase{"l", "@/outside/secret.txt", false}, LinkCase{"l", "to-outside", false},
                      LinkCase{"l", "../outside/alias/sub", false}, LinkCase{"sub/deep/l", "../../..", false},
                      LinkCase{"l", "missing", false}, LinkCase{"l", "l", false},
                      LinkCase{"to-sub/l", "../../outside/../tree/sub", false}));
