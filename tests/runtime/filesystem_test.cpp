#include "runtime/filesystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <set>

#include "runtime/stream.h"
#include "tests/support/deep_tree.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

namespace {
std::set<std::string> ListAll(const std::string& path) {
    std::set<std::string> names;
    auto listing = TDirectory::Open(path);
    EXPECT_TRUE(listing);
    if (!listing) return names;
    for (std::string name = listing->NextName(); !name.empty(); name = listing->NextName())
        names.insert(name);
    EXPECT_EQ(listing->NextName(), "");  // stays exhausted
    return names;
}

std::string ReadAll(TReadStream& stream) {
    std::string bytes(static_cast<std::size_t>(stream.Size()), '\0');
    bytes.resize(static_cast<std::size_t>(stream.Read(bytes.data(), stream.Size())));
    return bytes;
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
    EXPECT_FALSE(TDirectory::Open(dir / "missing"));
    EXPECT_FALSE(TDirectory::Open(dir.write("f", "")));
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
    EXPECT_TRUE(PathExists(dir / "dangling"));
    EXPECT_FALSE(PathExists(dir / "gone"));
    // The same answers by name, relative to the open directory, with the size beside them.
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Query("f.txt").kind, ENTRY_FILE);
    EXPECT_EQ(open->Query("d").kind, ENTRY_DIR);
    EXPECT_EQ(open->Query("link-to-dir").kind, ENTRY_DIR);
    EXPECT_EQ(open->Query("fifo").kind, ENTRY_NONE);
    EXPECT_EQ(open->Query("link-to-file").kind, ENTRY_FILE);
    EXPECT_EQ(open->Query("link-to-file").size, 5);
    EXPECT_EQ(open->Query("dangling").kind, ENTRY_NONE);
    EXPECT_EQ(open->Query("dangling").size, -1);
}

TEST(DirectoryFiles, OnlyRegularFilesOpenAndAPipeDoesNotBlock) {
    TempDir dir;
    dir.write("f.txt", "12345");
    mkdir((dir / "d").c_str(), 0755);
    symlink((dir / "f.txt").c_str(), (dir / "link").c_str());
    mkfifo((dir / "fifo").c_str(), 0644);
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    for (const char* name : {"f.txt", "link"}) {
        auto stream = open->OpenFile(name);
        ASSERT_TRUE(stream) << name;
        EXPECT_EQ(ReadAll(*stream), "12345") << name;
    }
    EXPECT_FALSE(open->OpenFile("d"));
    EXPECT_FALSE(open->OpenFile("fifo"));
    EXPECT_FALSE(open->OpenFile("missing"));
}

TEST(DirectoryFiles, AFileOpenedThroughASharedDirectoryOutlivesItsOtherOwners) {
    TempDir dir;
    dir.write("f.txt", "abc");
    std::shared_ptr<const TDirectory> shared = TDirectory::Open(dir.path());
    ASSERT_TRUE(shared);
    auto stream = shared->OpenFile("f.txt");
    shared.reset();
    ASSERT_TRUE(stream);
    EXPECT_EQ(ReadAll(*stream), "abc");
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
    mkdir((dir / "e").c_str(), 0755);
    symlink((dir / "d").c_str(), (dir / "alias").c_str());
    FileIdentity d, alias, e;
    ASSERT_TRUE(FileIdentityOf(dir / "d", d));
    ASSERT_TRUE(FileIdentityOf(dir / "alias", alias));
    ASSERT_TRUE(FileIdentityOf(dir / "e", e));
    EXPECT_EQ(d, alias);
    EXPECT_FALSE(d == e);
    EXPECT_FALSE(FileIdentityOf(dir / "missing", d));
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

TEST(FileSizes, AreSixtyFourBit) {
    TempDir dir;
    const std::string path = dir / "sparse.bin";
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const std::int64_t size = 5LL * 1024 * 1024 * 1024 + 3;
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    EXPECT_EQ(TDirectory::Open(dir.path())->Query("sparse.bin").size, size);
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

TEST(SameFiles, AreOnePathSpelledTwoWaysOrOneExistingFileByTwoNames) {
    TempDir dir;
    const std::string before = CurrentDir();
    ASSERT_TRUE(ChangeDir(dir.path()));
    EXPECT_TRUE(SameFile("new.db", dir / "sub/../new.db"));
    EXPECT_TRUE(SameFile("./new.db", dir / "new.db"));
    EXPECT_FALSE(SameFile("new.db", "other.db"));
    EXPECT_FALSE(SameFile("", ""));
    ASSERT_TRUE(ChangeDir(before));
    const std::string file = dir.write("f", "x");
    symlink(file.c_str(), (dir / "soft").c_str());
    link(file.c_str(), (dir / "hard").c_str());
    dir.write("copy", "x");
    EXPECT_TRUE(SameFile(file, dir / "soft"));
    EXPECT_TRUE(SameFile(dir / "hard", file));
    EXPECT_FALSE(SameFile(file, dir / "copy"));
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
