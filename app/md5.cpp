#include "app/md5.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "runtime/stream.h"

namespace app {
namespace {

constexpr std::int64_t MD5_READ_LIMIT = 256 * 1024;

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

std::uint32_t RotateLeft(std::uint32_t value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

std::uint32_t LoadLittleEndian(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

void StoreLittleEndian64(std::uint8_t* bytes, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) bytes[i] = std::uint8_t(value >> (8 * i));
}

}  // namespace

// The four round functions, each equal to the one of RFC 1321 bit for bit, in the forms
// whose last operation on b is as late as possible: b is the value most recently computed,
// so whatever uses only c and d overlaps with the step before. G adds its two disjoint
// halves instead of combining them, which takes one operation off the chain.
inline std::uint32_t RoundF(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return d ^ (b & (c ^ d)); }
inline std::uint32_t RoundH(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ (c ^ d); }
inline std::uint32_t RoundI(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return c ^ (b | ~d); }

// One step: a = b + ((a + f(b,c,d) + x + k) rotated), with the terms that do not depend
// on b summed first. The words keep their places and the callers rotate the roles, so
// nothing is moved between steps.
template <std::uint32_t (*F)(std::uint32_t, std::uint32_t, std::uint32_t)>
inline void Step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                 std::uint32_t k, int shift) {
    a = b + RotateLeft((a + x + k) + F(b, c, d), shift);
}

// The G step: (b & d) | (c & ~d), whose halves share no bit, so their sum is the same.
inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                  std::uint32_t k, int shift) {
    a = b + RotateLeft(((a + x + k) + (c & ~d)) + (b & d), shift);
}

using StepFunction = void (*)(std::uint32_t&, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                              std::uint32_t, int);

// Sixteen steps of one round: message word order (first + step * stride) % 16.
template <StepFunction S>
inline void Round(std::uint32_t (&w)[4], const std::uint32_t (&x)[16], int round, int first,
                  int stride) {
#pragma GCC unroll 4
    for (int s = 0; s < 16; s += 4) {
        const int k = 16 * round + s;
        S(w[0], w[1], w[2], w[3], x[(first + stride * s) % 16], kSine[k], kShift[round][0]);
        S(w[3], w[0], w[1], w[2], x[(first + stride * (s + 1)) % 16], kSine[k + 1], kShift[round][1]);
        S(w[2], w[3], w[0], w[1], x[(first + stride * (s + 2)) % 16], kSine[k + 2], kShift[round][2]);
        S(w[1], w[2], w[3], w[0], x[(first + stride * (s + 3)) % 16], kSine[k + 3], kShift[round][3]);
    }
}

void TMd5State::ProcessBlocks(const std::uint8_t* data, std::size_t blockCount) {
    for (std::size_t block = 0; block < blockCount; ++block, data += 64) {
        std::uint32_t x[16];
        for (int n = 0; n < 16; ++n) x[n] = LoadLittleEndian(data + 4 * n);
        std::uint32_t w[4] = {words_[0], words_[1], words_[2], words_[3]};
        Round<Step<RoundF>>(w, x, 0, 0, 1);
        Round<StepG>(w, x, 1, 1, 5);
        Round<Step<RoundH>>(w, x, 2, 5, 3);
        Round<Step<RoundI>>(w, x, 3, 0, 7);
        for (int n = 0; n < 4; ++n) words_[n] += w[n];
    }
}

std::string TMd5State::HexText() const {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (std::uint32_t word : words_) {
        for (int byte = 0; byte < 4; ++byte) {
            const unsigned value = (word >> (8 * byte)) & 0xffu;
            text += kDigits[value >> 4];
            text += kDigits[value & 0xfu];
        }
    }
    return text;
}

std::string md5OfFile(rt::TReadStream* file, std::int64_t chunkSize) {
    if (!file) return "";
    // Every chunk but the last is hashed whole, so it must be a whole number of blocks. A
    // file smaller than a chunk is read whole into a buffer of its own size: most files are
    // small, and touching a whole chunk for each of them costs more than digesting them.
    // Reads stop at a size that stays in the processor's cache between the copy from the
    // system and the digest: a bigger buffer only adds a trip through memory.
    const std::int64_t wholeChunk =
        std::min(MD5_READ_LIMIT, chunkSize < 64 ? 64 : (chunkSize + 63) / 64 * 64);
    const std::int64_t wholeFile = std::max<std::int64_t>(64, (file->Size() + 63) / 64 * 64);
    const auto chunk = std::size_t(std::min(wholeChunk, wholeFile));
    // Room for the padding block of the last chunk; left uninitialised, every byte hashed
    // is read or written first.
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[chunk + 128]);
    TMd5State state;
    std::uint64_t byteCount = 0;
    for (;;) {
        // The file fills the whole chunk unless it reaches its end.
        const std::size_t n = std::size_t(file->Read(buffer.get(), std::int64_t(chunk)));
        byteCount += n;
        if (!file->Eof()) {
            state.ProcessBlocks(buffer.get(), chunk / 64);
            continue;
        }
        // Last chunk: 0x80, zeros, then the bit count, up to the next whole block.
        const std::size_t padded = ((n + 8) & ~std::size_t(63)) + 64;
        buffer[n] = 0x80;
        std::memset(buffer.get() + n + 1, 0, padded - 8 - (n + 1));
        StoreLittleEndian64(buffer.get() + padded - 8, byteCount * 8);
        state.ProcessBlocks(buffer.get(), padded / 64);
        break;
    }
    // The digest of a part is no file's: a file that cannot be read to its end is one
    // that cannot be read.
    return file->Failed() ? "" : state.HexText();
}

}  // namespace app
