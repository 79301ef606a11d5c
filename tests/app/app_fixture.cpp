#include "tests/app/app_fixture.h"

#include <sqlite3.h>

#include <condition_variable>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "app/idle_loop.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "gui/platform/headless/headless.h"
#include "runtime/process.h"

namespace apptest {

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> TableRows(const fs::path& datafile, const std::string& table) {
    std::vector<std::string> rows;
    auto db = db::TDBSQLite::Create(datafile.string());
    if (!db) return rows;
    // NULL is told apart in SQL: the layer reads it and the empty text alike.
    auto query = db->executeQuery("select file, case when ident is null then '<NULL>' else ident end from " +
                                  table + " order by id asc");
    while (query->nextRow()) {
        rows.push_back(query->rowRecord()->getString(0) + "|" + query->rowRecord()->getString(1));
    }
    return rows;
}

bool HasIndex(const fs::path& datafile, const std::string& index) {
    auto db = db::TDBSQLite::Create(datafile.string());
    auto query = db->executeQuery("select name from sqlite_master where type = 'index' and name = '" +
                                  index + "'");
    return query->nextRow() == 1;
}

namespace {

// The default SQLite file system with one change: the open of one database file by a
// thread other than the one that armed it waits until it is released.
struct OpenGate {
    std::mutex mutex;
    std::condition_variable released;
    std::string heldPath;  // empty: nothing is held
    std::thread::id owner;
    bool waiting = false;  // an open of heldPath is held now
    sqlite3_vfs* base = nullptr;
    sqlite3_vfs vfs{};
};

OpenGate& Gate() {
    static OpenGate gate;
    return gate;
}

int GatedOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    OpenGate& gate = Gate();
    if (name && (flags & SQLITE_OPEN_MAIN_DB)) {
        std::unique_lock lock(gate.mutex);
        auto passes = [&] { return gate.heldPath != name || std::this_thread::get_id() == gate.owner; };
        gate.waiting = !passes();
        gate.released.wait(lock, passes);
        gate.waiting = false;
    }
    return gate.base->xOpen(gate.base, name, file, flags, outFlags);
}

void InstallOpenGate() {
    static const bool installed = [] {
        OpenGate& gate = Gate();
        gate.base = sqlite3_vfs_find(nullptr);
        gate.vfs = *gate.base;
        gate.vfs.zName = "tervala-test-open-gate";
        gate.vfs.pNext = nullptr;
        gate.vfs.xOpen = GatedOpen;
        return sqlite3_vfs_register(&gate.vfs, 1) == SQLITE_OK;
    }();
    if (!installed) throw std::runtime_error("cannot register the SQLite open gate");
}

// Releases the held open; with onlyWhenWaiting, only once a thread waits at it.
void ReleaseHeldOpen(bool onlyWhenWaiting = false) {
    OpenGate& gate = Gate();
    {
        std::lock_guard lock(gate.mutex);
        if (onlyWhenWaiting && !gate.waiting) return;
        gate.heldPath.clear();
    }
    gate.released.notify_all();
}

}  // namespace

void AppTest::SetUp() {
    InstallOpenGate();
    gui::headless::Reset();
    rt::SetEndProcessHandler([](int status) { throw ProcessEnded{status}; });
    app::BuildMainWindow(g);
    tree = scratch / "t";
    fs::create_directories(tree);
    datafile = scratch / "datafile";
}

void AppTest::TearDown() {
    ReleaseHeldOpen();
    rt::SetEndProcessHandler(nullptr);
    gui::headless::Reset();
}

void AppTest::Settle() {
    for (;;) {
        const int eventId = gui::TakeEvent();
        if (eventId != 0) {
            app::HandleIdleEvent(app, eventId);
        } else if (!gui::headless::InputPending() && gui::QueuedEventCount() == 0) {
            return;
        }
    }
}

void AppTest::Browse(const fs::path& dir) {
    gui::headless::QueueDirAnswer(dir.string());
    Click(g.browseButton);
}

void AppTest::ChooseDatafile(const fs::path& path) {
    gui::headless::QueueFileAnswer(path.string());
    Click(g.datafileSaveButton);
}

void AppTest::ChooseLog(const fs::path& path) {
    gui::headless::QueueFileAnswer(path.string());
    Click(g.logSaveButton);
}

void AppTest::Click(const gui::TGadgetPtr& gadget) {
    gui::headless::Click(gadget);
    Settle();
}

void AppTest::Log() {
    Click(g.startStopButton);
}

void AppTest::StopWhen(std::function<bool()> condition) {
    auto fired = std::make_shared<bool>(false);
    gui::headless::SetPollHandler([this, condition, fired] {
        // A held open is let go at the poll that stops (the stop is then waited for) or
        // at the first poll that finds the worker waiting at it (it is then still at work).
        if (!*fired && condition()) {
            *fired = true;
            gui::headless::Click(g.startStopButton);
            ReleaseHeldOpen();
        }
        ReleaseHeldOpen(true);
    });
}

void AppTest::HoldWorkerOpenUntilPoll(const fs::path& file) {
    OpenGate& gate = Gate();
    std::lock_guard lock(gate.mutex);
    gate.heldPath = fs::canonical(file).string();
    gate.owner = std::this_thread::get_id();
}

std::string AppTest::Status() const {
    return gui::FetchGadgetText(g.statusLabel);
}

std::string AppTest::StatusBar() const {
    return gui::headless::StatusBarTextOf(g.window);
}

std::vector<std::string> AppTest::Report() const {
    std::vector<std::string> lines;
    std::istringstream text(gui::FetchGadgetText(g.reportArea));
    constexpr std::size_t kStampLength = 20;  // "07 Dec 2026 09:05:03"
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line.size() >= kStampLength ? "<T>" + line.substr(kStampLength) : line);
    }
    return lines;
}

std::string AppTest::Path(const std::string& relative) const {
    return (tree / relative).string();
}

}  // namespace apptest
