// Every scanned entry costs one insert into the working database, and every row of the
// comparison one lookup in the other list: the next row there when the lists are in the same
// order, an indexed search when they are not (reversed). Measured on an in-memory working
// database set up as a logging run sets it up (UTF-16 encoding, open transaction); the reversed case builds its index at its first search.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/entry_lists.h"
#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"

namespace {

std::shared_ptr<db::TDBSQLite> WorkingDatabase() {
    auto tdb = db::TDBSQLite::Create(":memory:", "", 0, "", "", "", "");
    tdb->executeQuery(app::sql::SET_ENCODING);
    app::TEntryLists lists(*tdb);
    lists.CreatePrevious();
    lists.CreateCurrent();
    tdb->startTransaction();
    return tdb;
}

// Paths shaped like a scanned tree's: a few hundred directories, non-ASCII names.
std::string PathOf(std::int64_t i) {
    return "/home/user/tree/café " + std::to_string(i % 500) + "/notes_" + std::to_string(i) + ".txt";
}

void AddFiles(app::TEntryLists& lists, std::int64_t count, bool reversed = false) {
    for (std::int64_t n = 0; n < count; ++n) {
        const std::int64_t i = reversed ? count - 1 - n : n;
        lists.AddFile(PathOf(i), std::to_string(i * 37));
    }
}

// Both lists hold the same `count` paths, as after an unchanged logging run; the current
// one in the opposite order when `reversed`.
std::shared_ptr<db::TDBSQLite> FilledDatabase(std::int64_t count, bool reversed) {
    auto tdb = WorkingDatabase();
    {
        app::TEntryLists lists(*tdb);
        AddFiles(lists, count);
        lists.ClearPrevious();
        app::TListReader old = lists.ReadOldList();
        while (old.Next()) lists.CopyToPrevious(old);
        lists.ClearCurrent();
        AddFiles(lists, count, reversed);
    }
    tdb->commit();
    return tdb;
}

void BM_EntryListsAddFile(benchmark::State& state) {
    auto tdb = WorkingDatabase();
    app::TEntryLists lists(*tdb);
    std::int64_t i = 0;
    for (auto _ : state) lists.AddFile(PathOf(i++), "4096");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EntryListsAddFile);

// The current list's rows looked up in the previous list, as the comparison does.
void BM_EntryListsPreviousIdentOf(benchmark::State& state) {
    auto tdb = FilledDatabase(state.range(0), state.range(1) != 0);
    app::TEntryLists lists(*tdb);
    std::optional<app::TListReader> rows = lists.ReadCurrent();
    for (auto _ : state) {
        if (!rows->Next()) {
            state.PauseTiming();
            rows.reset();
            rows = lists.ReadCurrent();
            rows->Next();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(lists.PreviousIdentOf(*rows));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EntryListsPreviousIdentOf)->ArgsProduct({{100000}, {0, 1}})->ArgNames({"rows", "reversed"});

// The previous list's rows looked up in the current list (removed entries).
void BM_EntryListsInCurrent(benchmark::State& state) {
    auto tdb = FilledDatabase(state.range(0), state.range(1) != 0);
    app::TEntryLists lists(*tdb);
    std::optional<app::TListReader> rows(lists.ReadPrevious());
    for (auto _ : state) {
        if (!rows->Next()) {
            state.PauseTiming();
            rows.reset();
            rows.emplace(lists.ReadPrevious());
            rows->Next();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(lists.InCurrent(*rows));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EntryListsInCurrent)->ArgsProduct({{100000}, {0, 1}})->ArgNames({"rows", "reversed"});

}  // namespace
