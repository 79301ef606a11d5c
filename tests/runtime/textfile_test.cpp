#include "runtime/textfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

TEST(TextFileDecoding, ByteOrderMarksSelectTheEncoding) {
    EXPECT_EQ(DecodeText(std::string("\xFE\xFF\x00\x41\x20\xAC", 6)), "A\xE2\x82\xAC");
    EXPECT_EQ(DecodeText(std::string("\xFF\xFE\x41\x00\xAC\x20", 6)), "A\xE2\x82\xAC");
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF" "caf\xC3\xA9"), "caf\xC3\xA9");
    // No mark: every byte is a character, the first ones included.
    EXPECT_EQ(DecodeText("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(DecodeText(""), "");
}

TEST(TextFileEncoding, Latin1WhenEveryCharacterFitsElseUtf16LittleEndian) {
    EXPECT_EQ(EncodeText("caf\xC3\xA9\r\n"), "caf\xE9\r\n");
    EXPECT_EQ(EncodeText(""), "");
    EXPECT_EQ(EncodeText("a\xE2\x82\xAC"), std::string("\xFF\xFE" "a\x00\xAC\x20", 6));
    // A character outside the first plane is written as its surrogate pair.
    EXPECT_EQ(EncodeText("\xF0\x9F\x98\x80"), std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6));
}

TEST(TextFile, EveryEncodingRoundTripsByteExactly) {
    TempDir dir;
    std::string latin1;
    for (int c = 0; c < 256; ++c) latin1.push_back(static_cast<char>(c));
    const std::string utf16 = std::string("\xFF\xFE" "a\x00\xAC\x20\r\x00\n\x00", 10);
    for (const std::string& bytes : {latin1, utf16}) {
        const std::string path = dir.write("log.txt", bytes);
        std::string text;
        ASSERT_EQ(LoadTextFile(path, text), LoadStatus::Loaded);
        ASSERT_TRUE(SaveTextFile(path, text));
        EXPECT_EQ(dir.read("log.txt"), bytes);
    }
}

TEST(TextFile, BigEndianAndUtf8FilesAreReadAndWrittenBackInTheSavingEncoding) {
    TempDir dir;
    std::string text;
    ASSERT_EQ(LoadTextFile(dir.write("be.txt", std::string("\xFE\xFF\x00h\x00i", 6)), text), LoadStatus::Loaded);
    EXPECT_EQ(text, "hi");
    ASSERT_EQ(LoadTextFile(dir.write("u8.txt", "\xEF\xBB\xBF\xC3\xA9"), text), LoadStatus::Loaded);
    ASSERT_TRUE(SaveTextFile(dir / "u8.txt", text));
    EXPECT_EQ(dir.read("u8.txt"), "\xE9");
}

TEST(TextFile, MissingUnreadableAndUnwritableFilesAreReported) {
    TempDir dir;
    std::string text = "stale";
    EXPECT_EQ(LoadTextFile(dir / "none.txt", text), LoadStatus::Missing);
    EXPECT_EQ(text, "");
    EXPECT_EQ(LoadTextFile(dir.path(), text), LoadStatus::Failed);  // a directory
    EXPECT_FALSE(SaveTextFile(dir / "no/such/dir/log.txt", "x"));
    if (geteuid() != 0) {
        const std::string path = dir.write("locked.txt", "keep");
        chmod(path.c_str(), 0444);
        EXPECT_FALSE(SaveTextFile(path, "new"));
        EXPECT_EQ(dir.read("locked.txt"), "keep");
    }
}

TEST(TextFile, SaveReplacesWithoutLeavingTemporaryFiles) {
    TempDir dir;
    const std::string path = dir.write("log.txt", "old content that is longer");
    ASSERT_TRUE(SaveTextFile(path, "new"));
    EXPECT_EQ(dir.read("log.txt"), "new");
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

// A write killed before its rename leaves its new file behind; the next write takes it
// over, whatever it holds, and renames it away.
TEST(TextFile, TheNewFileAKilledWriteLeftIsTakenOverByTheNext) {
    TempDir dir;
    const std::string path = dir.write("log.txt", "old");
    dir.write("log.txt.partial", "half of a rewrite that was killed, longer than the new text");
    ASSERT_TRUE(SaveTextFile(path, "new"));
    EXPECT_EQ(dir.read("log.txt"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir / "log.txt.partial"));
}

// Two programs writing the same log take turns: every state of the file is one whole write.
TEST(TextFile, WritersOfOneFileTakeTurns) {
    TempDir dir;
    const std::string path = dir.write("log.txt", "");
    constexpr std::size_t SIZE = 1 << 20;
    std::atomic<int> writing{2};
    const auto writer = [&](char letter) {
        for (int n = 0; n < 20; ++n) EXPECT_TRUE(SaveTextFile(path, std::string(SIZE, letter)));
        --writing;
    };
    std::thread first(writer, 'a'), second(writer, 'b');
    while (writing > 0) {
        const std::string bytes = dir.read("log.txt");
        if (bytes.empty()) continue;
        EXPECT_EQ(bytes.size(), SIZE);
        EXPECT_EQ(bytes.find_first_not_of(bytes[0]), std::string::npos);
    }
    first.join();
    second.join();
    EXPECT_FALSE(std::filesystem::exists(dir / "log.txt.partial"));
}

TEST(TextFile, SavingThroughALinkReplacesTheFileItNamesAndKeepsTheLink) {
    TempDir dir;
    const std::string real = dir.write("logs/real.txt", "old");
    const std::string link = dir / "log.txt";
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(SaveTextFile(link, "new"));
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(dir.read("logs/real.txt"), "new");
}

TEST(TextFile, AWritableFileInALockedDirectoryIsRewrittenInPlace) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    const std::string path = dir.write("locked/log.txt", "old content");
    ASSERT_EQ(chmod((dir / "locked").c_str(), 0555), 0);
    EXPECT_TRUE(SaveTextFile(path, "new"));
    EXPECT_EQ(dir.read("locked/log.txt"), "new");
    EXPECT_FALSE(SaveTextFile(dir / "locked/other.txt", "x"));
}

namespace {

struct stat StatusOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info;
}

}  // namespace

TEST(TextFile, AFileWithOtherNamesStaysOneFileAndOnlyItsNewTailIsWritten) {
    TempDir dir;
    const std::string path = dir.write("log.txt", "old line\r\n");
    ASSERT_EQ(link(path.c_str(), (dir / "other name").c_str()), 0);
    const ino_t inode = StatusOf(path).st_ino;
    ASSERT_TRUE(SaveTextFile(path, "old line\r\nnew line\r\n"));
    EXPECT_EQ(dir.read("other name"), "old line\r\nnew line\r\n");
    EXPECT_EQ(StatusOf(path).st_ino, inode);
    EXPECT_EQ(StatusOf(path).st_nlink, 2u);
    // A text that changes the old bytes too (here its encoding) is rewritten whole.
    const std::string euro = "old line\r\n\xE2\x82\xAC\r\n";
    ASSERT_TRUE(SaveTextFile(path, euro));
    EXPECT_EQ(dir.read("other name"), EncodeText(euro));
    ASSERT_TRUE(SaveTextFile(path, "short"));
    EXPECT_EQ(dir.read("log.txt"), "short");
}

TEST(TextFile, AnInPlaceWriteThatFailsLeavesTheOldBytesAndLength) {
    TempDir dir;
    const std::string old(3000, 'o');
    const std::string path = dir.write("log.txt", old);
    ASSERT_EQ(link(path.c_str(), (dir / "other name").c_str()), 0);
    {
        testsupport::FileSizeLimit fullDisk(4096);
        // A grown text whose tail does not fit.
        EXPECT_FALSE(SaveTextFile(path, old + std::string(2000, 'n')));
        EXPECT_EQ(dir.read("log.txt"), old);
        // A text that rewrites the old bytes as well (UTF-16, twice as long).
        EXPECT_FALSE(SaveTextFile(path, old + "\xE2\x82\xAC"));
        EXPECT_EQ(dir.read("log.txt"), old);
    }
}

TEST(TextFile, APipeIsWrittenToAndNeverReplaced) {
    TempDir dir;
    const std::string fifo = dir / "log.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    // Nobody reads: the write fails at once instead of waiting.
    EXPECT_FALSE(SaveTextFile(fifo, "line\r\n"));
    EXPECT_TRUE(S_ISFIFO(StatusOf(fifo).st_mode));
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(SaveTextFile(fifo, "line\r\n"));
    char buffer[16] = {};
    EXPECT_EQ(read(reader, buffer, sizeof buffer), 6);
    EXPECT_EQ(std::string(buffer), "line\r\n");
    close(reader);
    EXPECT_TRUE(S_ISFIFO(StatusOf(fifo).st_mode));
}

TEST(TextFile, AReplacedFileKeepsItsModeOwnerAndGroup) {
    TempDir dir;
    const std::string path = dir.write("log.txt", "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const bool root = geteuid() == 0;
    // Root can give the file a group it is not in, which a new file would not have.
    if (root) ASSERT_EQ(chown(path.c_str(), 0, 65534), 0);
    const struct stat before = StatusOf(path);
    ASSERT_TRUE(SaveTextFile(path, "new"));
    const struct stat after = StatusOf(path);
    EXPECT_NE(after.st_ino, before.st_ino);  // replaced, not rewritten
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(dir.read("log.txt"), "new");
}

TEST(TextFile, AnotherUsersFileWrittenByRootKeepsItsOwner) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can write another user's file";
    TempDir dir;
    const std::string path = dir.write("log.txt", "old\r\n");
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(SaveTextFile(path, "old\r\nnew\r\n"));
    EXPECT_EQ(StatusOf(path).st_uid, 65534u);
    EXPECT_EQ(StatusOf(path).st_gid, 65534u);
    EXPECT_EQ(dir.read("log.txt"), "old\r\nnew\r\n");
}
