// tervala-md5 FILE: prints the file's MD5 text exactly as a digest-mode logging run computes
// it (same routine, same chunk), so its speed can be set against md5sum on the same file.

#include <cstdio>
#include <string>

#include "app/md5.h"
#include "runtime/stream.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tervala-md5 FILE\n");
        return 2;
    }
    const auto file = rt::TReadStream::Open(argv[1]);
    const std::string digest = app::md5OfFile(file.get(), app::MD5_CHUNK_SIZE);
    if (digest.empty()) {
        std::fprintf(stderr, "tervala-md5: cannot read %s\n", argv[1]);
        return 1;
    }
    std::printf("%s  %s\n", digest.c_str(), argv[1]);
    return 0;
}
