// What the exclusion rule costs the scan per entry: the relative path made and matched
// against a typical set of patterns, for a file three names deep that none of them matches
// (the common case: every pattern is tried to its end).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "app/exclusion_rule.h"
#include "runtime/path.h"

namespace {

const app::TExclusionRule RULE({"**/*.tmp", "**/.git/", "**/node_modules/", "build/**", "*.log",
                                "cache/", "**/*.[oa]", "**/.cache/**"});

void BM_ExcludesFileThreeNamesDeep(benchmark::State& state) {
    const std::string root = std::string("/home/user") + rt::PATH_SEPARATOR + "tree";
    const std::string directory =
        root + rt::PATH_SEPARATOR + "src" + rt::PATH_SEPARATOR + "module 12";
    std::int64_t i = 0;
    for (auto _ : state) {
        const std::string name = "notes_" + std::to_string(i++ % 1000) + ".txt";
        benchmark::DoNotOptimize(RULE.Excludes(app::RelativeEntryPath(root, directory, name), false));
    }
}
BENCHMARK(BM_ExcludesFileThreeNamesDeep);

}  // namespace
