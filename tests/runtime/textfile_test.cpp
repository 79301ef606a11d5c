#include "runtime/textfile.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>

#include "runtime/native_path.h"
#include "tests/support/temp_dir.h"

using namespace rt;
using testsupport::TempDir;

namespace {
// Permissions bind everybody on Windows; on POSIX they do not bind root.
bool PermissionsBind() {
#ifdef _WIN32
    return true;
#else
    return geteuid() != 0;
#endif
}
}  // namespace

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
    if (PermissionsBind()) {
        const std::string path = dir.write("locked.txt", "keep");
        namespace fs = std::filesystem;
        fs::permissions(NativePath(path), fs::perms::owner_read | fs::perms::group_read |
                                              fs::perms::others_read);
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

// An append adds the text's bytes in the encoding the file already has; only an ISO 8859-1
// file that the text does not fit is rewritten (as UTF-16LE), and a missing file is saved.
TEST(TextFile, AppendKeepsTheFilesEncoding) {
    struct Case {
        const char* name;
        std::string before;
        bool exists;
        const char* text;
        std::string after;
    };
    const Case cases[] = {
        {"missing", "", false, "caf\xC3\xA9\r\n", "caf\xE9\r\n"},
        {"empty euro", "", true, "\xE2\x82\xAC", std::string("\xFF\xFE\xAC\x20", 4)},
        {"latin1", "a\r\n", true, "\xC3\xA9\r\n", "a\r\n\xE9\r\n"},
        {"latin1 euro", "\xE9\r\n", true, "\xE2\x82\xAC",
         std::string("\xFF\xFE\xE9\x00\r\x00\n\x00\xAC\x20", 10)},
        {"utf16le", std::string("\xFF\xFE" "a\x00", 4), true, "\xE2\x82\xAC",
         std::string("\xFF\xFE" "a\x00\xAC\x20", 6)},
        {"utf16be", std::string("\xFE\xFF\x00" "a", 4), true, "\xC3\xA9",
         std::string("\xFE\xFF\x00" "a\x00\xE9", 6)},
        {"utf8", "\xEF\xBB\xBF" "a", true, "\xE2\x82\xAC", "\xEF\xBB\xBF" "a\xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = c.exists ? dir.write("log.txt", c.before) : dir / "log.txt";
        ASSERT_TRUE(AppendTextFile(path, c.text)) << c.name;
        EXPECT_EQ(dir.read("log.txt"), c.after) << c.name;
    }
}
