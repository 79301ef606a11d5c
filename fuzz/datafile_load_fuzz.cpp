// Any file loaded as a datafile: copied into a working database as the load does, then
// put through what a logging run does with it (the rotation's selects and copy, the scan's
// inserts, the comparison's reads and lookups). Nothing may crash or leak, whatever the
// file holds; row loops are bounded, since a small file can describe many rows.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/entry_lists.h"
#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr int MAX_ROWS = 2000;

// One file per process in a directory of its own, rewritten for every input.
struct ScratchFile {
    ScratchFile() {
        namespace fs = std::filesystem;
        const std::string name = "tervala-fuzz-" + std::to_string(std::random_device()());
        directory = (fs::temp_directory_path() / name).string();
        // False when the directory was there already: another process's.
        FUZZ_CHECK(fs::create_directory(directory));
        path = (fs::path(directory) / "datafile").string();
    }
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    std::string directory;
    std::string path;
};

const std::string& DatafilePath() {
    static const ScratchFile file;
    return file.path;
}

void RunLikeALoggingRun(const std::shared_ptr<db::TDBSQLite>& tdb) {
    using namespace app::sql;
    app::TEntryLists lists(*tdb);
    tdb->startTransaction();
    // The rotation: the old list must be readable, then it moves into the previous list.
    lists.DropIndexes();
    lists.ClearPrevious();
    const bool readable = lists.BothAreReadableTables();
    tdb->commit();
    if (!readable || tdb->hasError()) return;
    tdb->startTransaction();
    {
        app::TListReader oldList = lists.ReadOldList();
        for (int n = 0; n < MAX_ROWS && oldList.Next(); ++n) lists.CopyToPrevious(oldList);
    }
    tdb->commit();
    lists.ClearCurrent();
    tdb->startTransaction();
    // The scan's rows.
    lists.AddDirectory("/fuzz/t");
    lists.AddFile("/fuzz/t/a.txt", "1");
    lists.AddFile("/fuzz/t/\xFF.bin", "d41d8cd98f00b204e9800998ecf8427e");
    tdb->commit();
    // The comparison.
    if (auto current = lists.ReadCurrent()) {
        int n = 0;
        for (; n < MAX_ROWS && current->Next(); ++n) (void)lists.PreviousIdentOf(*current);
        if (n < MAX_ROWS) lists.CurrentListAsked();
    }
    app::TListReader previous = lists.ReadPrevious();
    for (int n = 0; n < MAX_ROWS && previous.Next(); ++n) (void)lists.InCurrent(previous);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = DatafilePath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        FUZZ_CHECK(out.good());
    }
    std::error_code ignored;
    std::filesystem::remove(path + "-journal", ignored);
    auto tdb = db::TDBSQLite::CreateTemporary();
    FUZZ_CHECK(tdb->isOpen());
    tdb->executeQuery(app::sql::SET_ENCODING);
    tdb->executeQuery(app::sql::SET_PAGE_SIZE);
    if (db::copyDatabase(tdb, path, 0, "main") == 0) {
        tdb->executeQuery(app::sql::SET_CACHE_SIZE);
        RunLikeALoggingRun(tdb);
    }
    tdb->close();
    return 0;
}
