// The file digest against RFC 1321's test suite and against md5sum on generated files.

#include "app/md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/stream.h"
#include "tests/support/temp_dir.h"

namespace {

using app::MD5_CHUNK_SIZE;

// The digest of the file at the path, as the scan opens it.
std::string md5OfFile(const std::filesystem::path& path, std::int64_t chunkSize) {
    const auto file = rt::TReadStream::Open(path.string());
    return app::md5OfFile(file.get(), chunkSize);
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// A pattern that differs from block to block, so misplaced blocks change the digest.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t x = 2463534242u;
    for (auto& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x & 0xff);
    }
    return bytes;
}

std::string Md5sumOf(const std::filesystem::path& path) {
#ifdef _WIN32
    (void)path;
    return "";
#else
    const std::string command = "md5sum '" + path.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "";
    char line[128] = {};
    const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    return got ? std::string(line, 32) : "";
#endif
}

// md5sum, the independent digest these tests compare with, is a POSIX program.
#ifdef _WIN32
#define SKIP_WITHOUT_MD5SUM() GTEST_SKIP() << "POSIX only: compares with the md5sum program"
#else
#define SKIP_WITHOUT_MD5SUM() (void)0
#endif

TEST(Md5OfFile, MatchesTheRfcTestSuite) {
    testsupport::TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : cases) {
        WriteBytes(dir / "f", text);
        EXPECT_EQ(md5OfFile(dir / "f", MD5_CHUNK_SIZE), digest) << '"' << text << '"';
    }
}

TEST(Md5OfFile, MatchesMd5sumAtEveryPaddingBoundary) {
    SKIP_WITHOUT_MD5SUM();
    testsupport::TempDir dir;
    const std::size_t sizes[] = {1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 129, 1000};
    for (std::size_t size : sizes) {
        WriteBytes(dir / "f", Pattern(size));
        EXPECT_EQ(md5OfFile(dir / "f", MD5_CHUNK_SIZE), Md5sumOf(dir / "f"))
            << size << " bytes";
    }
}

TEST(Md5OfFile, SmallChunksGiveTheSameDigestAsOneChunk) {
    testsupport::TempDir dir;
    // Sizes around whole chunks of 128 bytes: the last chunk full, one byte over, one short.
    for (std::size_t size : {127u, 128u, 129u, 256u, 300u, 1024u}) {
        WriteBytes(dir / "f", Pattern(size));
#ifdef _WIN32
        const std::string expected = md5OfFile(dir / "f", MD5_CHUNK_SIZE);
#else
        const std::string expected = Md5sumOf(dir / "f");
#endif
        EXPECT_EQ(md5OfFile(dir / "f", 128), expected) << size;
        EXPECT_EQ(md5OfFile(dir / "f", 64), expected) << size;
    }
}

TEST(Md5OfFile, MatchesMd5sumAroundTheDigestChunk) {
    SKIP_WITHOUT_MD5SUM();
    testsupport::TempDir dir;
    for (std::size_t size : {std::size_t(MD5_CHUNK_SIZE), std::size_t(MD5_CHUNK_SIZE) + 1,
                             std::size_t(MD5_CHUNK_SIZE) * 2 + 56}) {
        WriteBytes(dir / "f", Pattern(size));
        EXPECT_EQ(md5OfFile(dir / "f", MD5_CHUNK_SIZE), Md5sumOf(dir / "f")) << size;
    }
}

TEST(Md5OfFile, ReadsFilesBeyondFourGibibytes) {
    SKIP_WITHOUT_MD5SUM();
    testsupport::TempDir dir;
    const auto path = dir / "sparse";
    WriteBytes(path, "head");
    const std::uintmax_t size = (std::uintmax_t(1) << 32) + 77;
    std::filesystem::resize_file(path, size);
    { std::fstream tail(path, std::ios::binary | std::ios::in | std::ios::out);
      tail.seekp(std::streamoff(size - 4));
      tail.write("tail", 4); }
    EXPECT_EQ(md5OfFile(path, MD5_CHUNK_SIZE), Md5sumOf(path));
}

TEST(Md5OfFile, AFileThatCannotBeOpenedGivesTheEmptyText) {
    testsupport::TempDir dir;
    EXPECT_EQ(md5OfFile(dir / "missing", MD5_CHUNK_SIZE), "");
}

}  // namespace
