// Digest speed bounds a digest-mode run over large files: MB/s of a whole file held in the
// page cache (read plus digest) and of the block compression alone.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/md5.h"
#include "runtime/stream.h"

namespace {

constexpr std::size_t FILE_BYTES = 8u << 20;

std::vector<std::uint8_t> PatternBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t x = 2463534242u;
    for (auto& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    return bytes;
}

// A scratch file made once per process and removed at its end.
struct ScratchFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("tervala-md5-bench-" + std::to_string(std::random_device{}()));
    ScratchFile() {
        const auto bytes = PatternBytes(FILE_BYTES);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

void BM_Md5OfFile(benchmark::State& state) {
    static ScratchFile file;
    const std::string path = file.path.string();
    const auto digest = [&] {
        const auto stream = rt::TReadStream::Open(path);
        return app::md5OfFile(stream.get(), app::MD5_CHUNK_SIZE);
    };
    benchmark::DoNotOptimize(digest());  // into the page cache
    for (auto _ : state) benchmark::DoNotOptimize(digest());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(FILE_BYTES));
}
BENCHMARK(BM_Md5OfFile)->Unit(benchmark::kMillisecond);

void BM_Md5ProcessBlocks(benchmark::State& state) {
    const auto bytes = PatternBytes(1u << 20);
    app::TMd5State md5;
    for (auto _ : state) {
        md5.ProcessBlocks(bytes.data(), bytes.size() / 64);
        benchmark::DoNotOptimize(md5);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_Md5ProcessBlocks)->Unit(benchmark::kMicrosecond);

}  // namespace
