// One run of --watch between two full runs: the lines it tells, in their order, and the
// datafile it leaves: `allist` the tree as it is (the next full run finds nothing to
// report) and `lastallist` the tree as the first full run saw it.

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/datafile_update.h"
#include "app/incremental_run.h"
#include "app/live_list.h"
#include "app/own_files.h"
#include "database/sqlite/sqlite.h"
#include "runtime/path.h"
#include "runtime/tree_watch.h"
#include "tests/app/app_fixture.h"

namespace {

namespace fs = std::filesystem;
using apptest::WriteFile;
using Lines = std::vector<std::string>;

class LiveRunTest : public apptest::AppTest {
protected:
    // The stored rows as a set, a directory's identity written alike in both lists.
    std::set<std::string> RowSet(const std::string& table) const {
        std::set<std::string> rows;
        for (std::string row : apptest::TableRows(datafile, table)) {
            if (row.ends_with("|<NULL>")) row.resize(row.size() - 6);
            rows.insert(row);
        }
        return rows;
    }

    // The lines of one live run over the named directories (relative, "" the tree; "DIR|NAME"
    // names one entry of DIR, any other name the directory itself) after `change`, as
    // "label: relative path".
    Lines LiveRun(const std::function<void()>& change, const Lines& named) {
        auto datafileDb = db::TDBSQLite::Create(datafile.string());
        app::TLiveList list;
        EXPECT_TRUE(list.Load(*datafileDb, app.run.dir));
        std::string failure;
        const auto watch = rt::TTreeWatch::Open(app.run.dir, failure);
        EXPECT_TRUE(watch) << failure;
        app::TOwnFiles own;
        own.Note(app.run);
        change();
        std::vector<app::TNamedDirectory> directories;
        for (const std::string& entry : named) {
            const std::size_t bar = entry.find('|');
            const std::string relative = entry.substr(0, bar);
            app::TNamedDirectory& directory = directories.emplace_back();
            directory.path = relative.empty() ? app.run.dir : Path(relative);
            directory.itself = bar == std::string::npos;
            if (!directory.itself) directory.names.insert(entry.substr(bar + 1));
        }
        datafileDb->startTransaction();
        EXPECT_TRUE(app::CatchUpPrevious(*datafileDb, list));
        app::TIncrementalListing listing;
        EXPECT_EQ(app::ListChanges(app, list, own, *watch, directories, listing),
                  app::Flow::Continue);
        app::TLiveLines lines;
        EXPECT_TRUE(app::WriteRun(*datafileDb, list, listing, lines));
        EXPECT_EQ(datafileDb->commit(), 1);
        datafileDb->close();
        Lines told;
        for (const auto* part : {&lines.additions, &lines.removals}) {
            for (const app::TLiveLine& line : *part) {
                std::string relative = line.path.substr(tree.string().size() + 1);
                std::replace(relative.begin(), relative.end(), rt::PATH_SEPARATOR, '/');
                told.push_back(std::string(line.label + 3) + relative);
            }
        }
        return told;
    }
};

TEST_F(LiveRunTest, TellsAndStoresWhatAFullRunWould) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> change;
        Lines named;
        Lines told;
    };
    const Case cases[] = {
        {"nothing", [](const fs::path&) {}, {"", "a/sub"}, {}},
        {"grown",
         [](const fs::path& t) { WriteFile(t / "b.txt", "22"); },
         {""},
         {"File changed: b.txt"}},
        {"new, by name",
         [](const fs::path& t) { WriteFile(t / "c.txt", "1"); },
         {"|c.txt"},
         {"New file: c.txt"}},
        {"new chain",
         [](const fs::path& t) { WriteFile(t / "a/sub/d/e/x.txt", "1"); },
         {"a/sub"},
         {"New dir: a/sub/d", "New dir: a/sub/d/e", "New file: a/sub/d/e/x.txt"}},
        {"removed tree",
         [](const fs::path& t) { fs::remove_all(t / "a"); },
         {"", "a"},
         {"Dir removed: a", "Dir removed: a/sub", "File removed: a/sub/g.txt"}},
        {"moved tree",
         [](const fs::path& t) { fs::rename(t / "a", t / "c"); },
         {""},
         {"New dir: c", "New dir: c/sub", "New file: c/sub/g.txt", "Dir removed: a",
          "Dir removed: a/sub", "File removed: a/sub/g.txt"}},
        {"file became a directory",
         [](const fs::path& t) {
             fs::remove(t / "b.txt");
             WriteFile(t / "b.txt/x", "1");
         },
         {""},
         {"File changed: b.txt", "New file: b.txt/x"}},
        {"directory became a file",
         [](const fs::path& t) {
             fs::remove_all(t / "a");
             WriteFile(t / "a", "1");
         },
         {""},
         {"File changed: a", "Dir removed: a/sub", "File removed: a/sub/g.txt"}},
        {"removals last",
         [](const fs::path& t) {
             fs::remove(t / "b.txt");
             WriteFile(t / "a/sub/n.txt", "1");
         },
         {"a/sub", ""},
         {"New file: a/sub/n.txt", "File removed: b.txt"}},
    };
    Browse(tree);
    ChooseDatafile(datafile);
    for (const Case& c : cases) {
        fs::remove_all(tree);
        fs::remove(datafile);
        WriteFile(tree / "a/sub/g.txt", "12");
        WriteFile(tree / "b.txt", "1");
        Log();
        const std::set<std::string> before = RowSet("allist");
        EXPECT_EQ(LiveRun([&] { c.change(tree); }, c.named), c.told) << c.name;
        EXPECT_EQ(RowSet("lastallist"), before) << c.name;
        Log();
        EXPECT_TRUE(Report().empty())
            << c.name << ": " << (Report().empty() ? "" : Report().front());
    }
}

}  // namespace
