// Links, locked directories, hard links, pipes, a full disk and owners.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "runtime/textfile.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

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
    if (root) {
        ASSERT_EQ(chown(path.c_str(), 0, 65534), 0);
    }
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
