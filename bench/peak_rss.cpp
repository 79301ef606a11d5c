// tervala-peak-rss FILE PROGRAM [ARGS...]: runs the program, writes its peak resident memory
// (ru_maxrss from wait4, KiB) to FILE and exits with its status. On Linux a child's ru_maxrss
// starts at its parent's resident size, so a child forked straight from the Python driver
// would never report less than the interpreter; forked from this small launcher it does.

#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tervala-peak-rss FILE PROGRAM [ARGS...]\n");
        return 125;
    }
    const pid_t child = fork();
    if (child < 0) {
        std::perror("tervala-peak-rss: fork");
        return 125;
    }
    if (child == 0) {
        execvp(argv[2], argv + 2);
        std::perror("tervala-peak-rss: exec");
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("tervala-peak-rss: wait4");
        return 125;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror("tervala-peak-rss: output file");
        return 125;
    }
    std::fprintf(out, "%ld\n", usage.ru_maxrss);
    std::fclose(out);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}
