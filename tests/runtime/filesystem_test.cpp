#include "runtime/filesystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "runtime/stream.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

namespace {
std::set<std::string> ListAll(const std::string& path) {
    std::set<std::string> names;
    auto listing = TDirListing::Open(path);
    EXPECT_TRUE(listing);
    if (!listing) return names;
    for (std::string name = listing->NextName(); !name.empty(); name = listing->NextName())
        names.insert(name);
    EXPECT_EQ(listing->NextName(), "");  // stays exhausted
    return names;
}
}  // namespace

TEST(DirListing, YieldsDotEntriesAndEveryNameAsBytes) {
    TempDir dir;
    const std::string odd = "bad\xFF\xFEname";
    for (const std::string name : {"with blank.txt", "it's.txt", "caf\xC3\xA9", odd.c_str()})
        dir.write(name, "x");
    EXPECT_EQ(ListAll(dir.path()),
              (std::set<std::string>{".", "..", "with blank.txt", "it's.txt", "caf\xC3\xA9", odd}));
    EXPECT_EQ(EntryType(dir / odd), ENTRY_FILE);
}

TEST(DirListing, FailsOnMissingOrNonDirectory) {
    TempDir dir;
    EXPECT_FALSE(TDirListing::Open(dir / "missing"));
    EXPECT_FALSE(TDirListing::Open(dir.write("f", "")));
}

TEST(EntryTypes, FollowLinksAndReportDanglingOnesAsNothing) {
    TempDir dir;
    const std::string file = dir.write("f.txt", "12345");
    mkdir((dir / "d").c_str(), 0755);
    symlink(file.c_str(), (dir / "link-to-file").c_str());
    symlink((dir / "d").c_str(), (dir / "link-to-dir").c_str());
    symlink((dir / "gone").c_str(), (dir / "dangling").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    EXPECT_EQ(EntryType(file), ENTRY_FILE);
    EXPECT_EQ(EntryType(dir / "d"), ENTRY_DIR);
    EXPECT_EQ(EntryType(dir / "link-to-file"), ENTRY_FILE);
    EXPECT_EQ(EntryType(dir / "link-to-dir"), ENTRY_DIR);
    EXPECT_EQ(EntryType(dir / "dangling"), ENTRY_NONE);
    EXPECT_EQ(EntryType(dir / "fifo"), ENTRY_NONE);
    EXPECT_EQ(FileSize(dir / "link-to-file"), 5);
    EXPECT_EQ(FileSize(dir / "dangling"), -1);
    EXPECT_TRUE(PathExists(dir / "dangling"));
    EXPECT_FALSE(PathExists(dir / "gone"));
}

TEST(DirIdentities, SameDirectoryThroughALinkHasTheSameIdentity) {
    TempDir dir;
    mkdir((dir / "d").c_str(), 0755);
    mkdir((dir / "e").c_str(), 0755);
    symlink((dir / "d").c_str(), (dir / "alias").c_str());
    DirIdentity d, alias, e;
    ASSERT_TRUE(DirIdentityOf(dir / "d", d));
    ASSERT_TRUE(DirIdentityOf(dir / "alias", alias));
    ASSERT_TRUE(DirIdentityOf(dir / "e", e));
    EXPECT_EQ(d, alias);
    EXPECT_FALSE(d == e);
    EXPECT_FALSE(DirIdentityOf(dir / "missing", d));
}

TEST(FileSizes, AreSixtyFourBit) {
    TempDir dir;
    const std::string path = dir / "sparse.bin";
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const std::int64_t size = 5LL * 1024 * 1024 * 1024 + 3;
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    EXPECT_EQ(FileSize(path), size);
    auto stream = TReadStream::Open(path);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Size(), size);
}

TEST(ReadStreams, ReadToTheEndInPieces) {
    TempDir dir;
    const std::string path = dir.write("data", "0123456789");
    auto stream = TReadStream::Open(path);
    ASSERT_TRUE(stream);
    char buffer[4];
    std::string seen;
    while (!stream->Eof()) seen.append(buffer, static_cast<std::size_t>(stream->Read(buffer, 4)));
    EXPECT_EQ(seen, "0123456789");
    EXPECT_EQ(stream->Read(buffer, 4), 0);
    EXPECT_FALSE(TReadStream::Open(dir / "missing"));
    EXPECT_FALSE(TReadStream::Open(dir.path()));
}

TEST(ReadStreams, AFileThatShrinksWhileReadStillEnds) {
    TempDir dir;
    const std::string path = dir.write("data", std::string(100, 'x'));
    auto stream = TReadStream::Open(path);
    ASSERT_TRUE(stream);
    ASSERT_EQ(truncate(path.c_str(), 10), 0);
    char buffer[64];
    std::int64_t total = 0;
    for (int turns = 0; !stream->Eof() && turns < 10; ++turns) total += stream->Read(buffer, 64);
    EXPECT_TRUE(stream->Eof());
    EXPECT_EQ(total, 10);
}

TEST(ReadStreams, AFileThatGrowsWhileReadEndsAtItsSizeAtOpen) {
    TempDir dir;
    const std::string path = dir.write("data", "0123456789");
    auto stream = TReadStream::Open(path);
    ASSERT_TRUE(stream);
    dir.write("data", std::string(100, 'x'));
    char buffer[64];
    EXPECT_EQ(stream->Read(buffer, 64), 10);
    EXPECT_TRUE(stream->Eof());
}

TEST(CurrentDirectory, ChangesAndResolvesRelativePaths) {
    TempDir dir;
    const std::string before = CurrentDir();
    ASSERT_TRUE(ChangeDir(dir.path()));
    const std::string here = CurrentDir();
    EXPECT_EQ(AbsolutePath("x.db"), here + "/x.db");
    EXPECT_EQ(AbsolutePath("/abs"), "/abs");
    EXPECT_FALSE(ChangeDir(dir / "missing"));
    ASSERT_TRUE(ChangeDir(before));
}
