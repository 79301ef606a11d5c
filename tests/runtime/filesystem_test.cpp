#include "runtime/filesystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

#include "runtime/native_path.h"
#include "runtime/path.h"
#include "runtime/stream.h"
#include "runtime/textfile.h"
#include "tests/runtime/filesystem_helpers.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::ListAll;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

void MakeDirectory(const std::string& path) {
    std::filesystem::create_directories(NativePath(path));
}

void Resize(const std::string& path, std::int64_t size) {
    std::error_code code;
    std::filesystem::resize_file(NativePath(path), static_cast<std::uintmax_t>(size), code);
    ASSERT_FALSE(code) << code.message();
}

// The path as the test's own file calls must take it when it is long: on Windows they
// are bound to 260 characters unless given the "\\?\" form.
std::filesystem::path LongForm(const std::string& path) {
#ifdef _WIN32
    return NativePath("\\\\?\\" + path);
#else
    return NativePath(path);
#endif
}

}  // namespace

TEST(DirListing, YieldsDotEntriesAndEveryNameAsBytes) {
    TempDir dir;
    const std::string odd = "bad\xFF\xFEname";
    for (const std::string name : {"with blank.txt", "it's.txt", "caf\xC3\xA9", odd.c_str()})
        dir.write(name, "x");
    if (!PathExists(dir / odd)) {
        // The bytes are lone surrogates on Windows. NTFS keeps such names; Wine on Linux
        // cannot give them a Linux name and refuses the file.
        EXPECT_EQ(ListAll(dir.path()),
                  (std::set<std::string>{".", "..", "with blank.txt", "it's.txt", "caf\xC3\xA9"}));
        GTEST_SKIP() << "this file system keeps no name that is not valid UTF-16";
    }
    EXPECT_EQ(ListAll(dir.path()),
              (std::set<std::string>{".", "..", "with blank.txt", "it's.txt", "caf\xC3\xA9", odd}));
    EXPECT_EQ(EntryType(dir / odd), ENTRY_FILE);
    EXPECT_EQ(TDirectory::Open(dir.path())->Query(odd).kind, ENTRY_FILE);
}

TEST(DirListing, FailsOnMissingOrNonDirectory) {
    TempDir dir;
    EXPECT_FALSE(TDirectory::Open(dir / "missing"));
    EXPECT_FALSE(TDirectory::Open(dir.write("f", "")));
}

TEST(EntryTypes, FilesDirectoriesAndNothingByPathAndByName) {
    TempDir dir;
    const std::string file = dir.write("f.txt", "12345");
    MakeDirectory(dir / "d");
    EXPECT_EQ(EntryType(file), ENTRY_FILE);
    EXPECT_EQ(EntryType(dir / "d"), ENTRY_DIR);
    EXPECT_EQ(EntryType(dir / "gone"), ENTRY_NONE);
    EXPECT_TRUE(PathExists(file));
    EXPECT_FALSE(PathExists(dir / "gone"));
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Query("f.txt").kind, ENTRY_FILE);
    EXPECT_EQ(open->Query("f.txt").size, 5);
    EXPECT_EQ(open->Query("d").kind, ENTRY_DIR);
    EXPECT_EQ(open->Query("gone").kind, ENTRY_NONE);
    EXPECT_EQ(open->Query("gone").size, -1);
    EXPECT_TRUE(RemoveFile(file));
    EXPECT_FALSE(PathExists(file));
}

TEST(DirectoryFiles, OnlyRegularFilesOpen) {
    TempDir dir;
    dir.write("f.txt", "12345");
    MakeDirectory(dir / "d");
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    auto stream = open->OpenFile("f.txt");
    ASSERT_TRUE(stream);
    EXPECT_EQ(ReadAll(*stream), "12345");
    EXPECT_FALSE(open->OpenFile("d"));
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

TEST(FileIdentities, EverySpellingOfOneDirectoryOrFileHasItsIdentity) {
    TempDir dir;
    MakeDirectory(dir / "d/sub");
    MakeDirectory(dir / "e");
    FileIdentity d, roundabout, e;
    ASSERT_TRUE(FileIdentityOf(dir / "d", d));
    ASSERT_TRUE(FileIdentityOf(dir / "d/sub/..", roundabout));
    ASSERT_TRUE(FileIdentityOf(dir / "e", e));
    EXPECT_EQ(d, roundabout);
    EXPECT_FALSE(d == e);
    EXPECT_FALSE(FileIdentityOf(dir / "missing", d));
    const auto open = TDirectory::Open(dir.path());
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Query("d").identity, d);
    EXPECT_EQ(TDirectory::Open(dir / "d/sub/..")->Identity(), d);
    const std::string file = dir.write("f", "x");
    FileIdentity f;
    ASSERT_TRUE(FileIdentityOf(file, f));
    EXPECT_EQ(open->Query("f").identity, f);
    EXPECT_FALSE(f == d);
}

TEST(FileSizes, AreSixtyFourBit) {
    TempDir dir;
    const std::string path = dir.write("sparse.bin", "");
    const std::int64_t size = 5LL * 1024 * 1024 * 1024 + 3;
    Resize(path, size);
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
    Resize(path, 10);
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

TEST(SameFiles, AreOnePathSpelledTwoWaysOrOneExistingFile) {
    TempDir dir;
    const std::string before = CurrentDir();
    ASSERT_TRUE(ChangeDir(dir.path()));
    EXPECT_TRUE(SameFile("new.db", dir / "sub/../new.db"));
    EXPECT_TRUE(SameFile("./new.db", dir / "new.db"));
    EXPECT_FALSE(SameFile("new.db", "other.db"));
    EXPECT_FALSE(SameFile("", ""));
    ASSERT_TRUE(ChangeDir(before));
    const std::string file = dir.write("f", "x");
    MakeDirectory(dir / "sub");
    dir.write("copy", "x");
    EXPECT_TRUE(SameFile(file, dir / "sub/../f"));
    EXPECT_FALSE(SameFile(file, dir / "copy"));
}

TEST(Renames, ReplaceWhatHadTheNewName) {
    TempDir dir;
    const std::string from = dir.write("new.tmp", "new");
    const std::string to = dir.write("data.db", "old");
    EXPECT_TRUE(RenameFile(from, to));
    EXPECT_FALSE(PathExists(from));
    EXPECT_EQ(dir.read("data.db"), "new");
    EXPECT_FALSE(RenameFile(from, to));
    EXPECT_TRUE(RenameFile(to, dir / "fresh.db"));
    EXPECT_EQ(dir.read("fresh.db"), "new");
}

TEST(CurrentDirectory, ChangesAndResolvesRelativePaths) {
    TempDir dir;
    const std::string before = CurrentDir();
    ASSERT_TRUE(ChangeDir(dir.path()));
    const std::string here = CurrentDir();
    EXPECT_EQ(AbsolutePath("x.db"), here + PATH_SEPARATOR + "x.db");
#ifdef _WIN32
    EXPECT_EQ(AbsolutePath("C:\\abs"), "C:\\abs");
#else
    EXPECT_EQ(AbsolutePath("/abs"), "/abs");
#endif
    EXPECT_FALSE(ChangeDir(dir / "missing"));
    ASSERT_TRUE(ChangeDir(before));
}

TEST(LongPaths, PathsBeyondTheOldLimitOf260CharactersWork) {
    TempDir dir;
    std::string deep = dir.path();
    for (int level = 0; level < 12; ++level) {
        deep += PATH_SEPARATOR + std::string(30, static_cast<char>('a' + level));
        ASSERT_TRUE(std::filesystem::create_directory(LongForm(deep)));
    }
    ASSERT_GT(deep.size(), 300u);
    const std::string file = deep + PATH_SEPARATOR + "f.txt";
    std::ofstream(LongForm(file), std::ios::binary) << "0123456789";
    EXPECT_EQ(EntryType(deep), ENTRY_DIR);
    EXPECT_EQ(EntryType(file), ENTRY_FILE);
    FileIdentity identity;
    EXPECT_TRUE(FileIdentityOf(deep, identity));
    EXPECT_EQ(ListAll(deep), (std::set<std::string>{".", "..", "f.txt"}));
    const auto open = TDirectory::Open(deep);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->Query("f.txt").size, 10);
    auto stream = open->OpenFile("f.txt");
    ASSERT_TRUE(stream);
    EXPECT_EQ(ReadAll(*stream), "0123456789");
    stream.reset();
    EXPECT_TRUE(RemoveFile(file));
}

TEST(Names, ANameEndingInADotOrABlankIsFoundAsListed) {
    TempDir dir;
    // Windows drops such endings from paths it normalises; files can still have them.
    for (const std::string name : {"trail.", "blank "})
        std::ofstream(LongForm(dir / name), std::ios::binary) << "12345";
    const std::set<std::string> names = ListAll(dir.path());
    if (!names.count("trail.")) GTEST_SKIP() << "this file system keeps no name ending in a dot";
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "trail.", "blank "}));
    const auto open = TDirectory::Open(dir.path());
    for (const std::string name : {"trail.", "blank "}) {
        EXPECT_EQ(EntryType(dir / name), ENTRY_FILE) << name;
        EXPECT_EQ(open->Query(name).size, 5) << name;
        EXPECT_TRUE(open->OpenFile(name)) << name;
        EXPECT_TRUE(RemoveFile(dir / name)) << name;
    }
}

// Each write is in the file at once, while the stream is still open: inside the file, over
// a page boundary, from inside past the end, and past the end alone.
TEST(PatchStreams, EachWriteIsInTheFileAtOnce) {
    TempDir dir;
    std::string expected(10000, '.');
    const std::string path = dir.write("patched", expected);
    auto stream = TPatchStream::Open(path);
    ASSERT_TRUE(stream);
    const std::pair<std::int64_t, std::string> writes[] = {
        {10, "abc"}, {4090, "over-a-page"}, {12, "xyz"}, {9995, "the-end-and-more"}, {10020, "far"}};
    for (const auto& [offset, bytes] : writes) {
        ASSERT_TRUE(stream->WriteAt(offset, bytes));
        expected.resize(std::max(expected.size(), static_cast<std::size_t>(offset) + bytes.size()), '\0');
        expected.replace(static_cast<std::size_t>(offset), bytes.size(), bytes);
        std::string seen;
        ASSERT_TRUE(ReadFileBytes(path, seen));
        EXPECT_EQ(seen, expected) << "after the write at " << offset;
    }
    EXPECT_FALSE(TPatchStream::Open(dir / "missing"));
    EXPECT_FALSE(TPatchStream::Open(dir.path()));
}
