#include "app/scan.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/application.h"
#include "app/digest_ahead.h"
#include "app/entry_lists.h"
#include "app/poll_step.h"
#include "app/workers.h"
#include "database/sqlite/sqlite.h"
#include "runtime/filesystem.h"
#include "runtime/path.h"

namespace app {
namespace {

class TreeScan {
public:
    explicit TreeScan(Application& app)
        : app_(app), run_(app.run), tdb_(*app.tdb), lists_(*app.tdb) {}

    void Run() {
        if (!lists_.AddDirectory(run_.dir)) {
            app_.EndWithError(OLD_DATAFILES_ERROR);
            return;
        }
        run_.BeginScan();
        while (!run_.scandone) {
            // A copy: reading the directory appends to `dirs`.
            ReadDirectory(std::string(run_.dirs[run_.dirindex]));
            if (run_.stopped) return;
            if (run_.dirindex + 1 == run_.dirs.size()) run_.scandone = true;
            ++run_.dirindex;
        }
    }

private:
    void ReadDirectory(const std::string& path) {
        // A directory reached again through a link is not listed again, so cycles end.
        rt::DirIdentity identity;
        if (rt::DirIdentityOf(path, identity) && !listed_.insert(identity).second) return;
        auto listing = rt::TDirListing::Open(path);
        if (!listing) {
            // Without its top directory the scan has nothing to compare: the run ends with
            // the message standing and the datafile untouched.
            if (run_.dirindex == 0) {
                tdb_.rollback();
                app_.EndWithError("Failed To read directory " + path + ", skipping");
            } else {
                app_.ShowStatus("Failed To read directory " + path + ", skipping");
            }
            return;
        }
        // The whole listing first, so that the digests of the files ahead can start early.
        auto entryPaths = std::make_shared<std::vector<std::string>>();
        for (std::string name = listing->NextName(); !name.empty(); name = listing->NextName()) {
            if (name != "." && name != "..") entryPaths->push_back(rt::JoinEntryPath(path, name));
        }
        listing->Close();
        if (run_.md5) ahead_.Enter(entryPaths);
        for (std::size_t position = 0; position < entryPaths->size(); ++position) {
            if (AddEntry(*entryPaths, position) == Flow::Stop || PollStep(app_) == Flow::Stop) {
                Stop();
                break;
            }
        }
        ahead_.Drop();
    }

    Flow AddEntry(const std::vector<std::string>& entryPaths, std::size_t position) {
        const std::string& entryPath = entryPaths[position];
        const int type = rt::EntryType(entryPath);
        if (type == rt::ENTRY_DIR) {
            run_.dirs.push_back(entryPath);
            lists_.AddDirectory(entryPath);
            run_.progtotal += 1;
        } else if (type == rt::ENTRY_FILE) {
            std::string ident;
            if (IdentityOf(entryPath, position, ident) == Flow::Stop) return Flow::Stop;
            lists_.AddFile(entryPath, ident);
            run_.progtotal += 1;
        }
        return Flow::Continue;
    }

    Flow IdentityOf(const std::string& entryPath, std::size_t position, std::string& ident) {
        if (run_.md5) {
            app_.ShowStatusBar("MD5: " + entryPath);
            CountFile();
            if (ahead_.Await(app_, position, ident) == Flow::Stop) return Flow::Stop;
            // A file that cannot be read gets the mark of an unreadable size; an empty
            // identity would make it a directory.
            if (ident.empty()) ident = "-1";
        } else {
            ident = std::to_string(rt::FileSize(entryPath));
            app_.ShowStatusBar(entryPath);
            CountFile();
        }
        return Flow::Continue;
    }

    void CountFile() {
        run_.progcur += 1;
        app_.ShowProgress(run_.progcur, run_.progprev);
    }

    void Stop() {
        run_.RequestStop();
        tdb_.rollback();
    }

    Application& app_;
    RunVariables& run_;
    db::TDBConnection& tdb_;
    TEntryLists lists_;
    TDigestAhead ahead_;
    std::unordered_set<rt::DirIdentity, rt::DirIdentityHash> listed_;
};

}  // namespace

void ScanTree(Application& app) {
    TreeScan(app).Run();
}

}  // namespace app
