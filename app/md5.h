#pragma once
// MD5 message digest (RFC 1321) of a file's contents, as 32 lowercase hex digits.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rt {
class TReadStream;
}

namespace app {

// The digest chunk: files are read this many bytes at a time into one reused buffer.
inline constexpr std::int64_t MD5_CHUNK_SIZE = 4194304;

// The four state words of RFC 1321 and the compression of whole 64-byte blocks.
class TMd5State {
public:
    void ProcessBlocks(const std::uint8_t* data, std::size_t blockCount);
    // Words A, B, C, D, each least significant byte first, in lowercase hex.
    std::string HexText() const;

private:
    std::array<std::uint32_t, 4> words_{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
};

// Digest of the bytes of a file opened for reading, read chunkSize bytes at a time
// (rounded up to whole blocks); the empty text when there is no file (it could not be opened)
// or a read failed before its end.
std::string md5OfFile(rt::TReadStream* file, std::int64_t chunkSize);

}  // namespace app
