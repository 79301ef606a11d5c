#include "tests/app/app_fixture.h"

#include <algorithm>
#include <sstream>

#include "app/idle_loop.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "gui/platform/headless/headless.h"
#include "runtime/path.h"
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

std::vector<std::string> SchemaOf(const fs::path& datafile) {
    std::vector<std::string> objects;
    auto db = db::TDBSQLite::Create(datafile.string());
    auto query = db->executeQuery("select type || ' ' || name from sqlite_master order by name");
    while (query->nextRow()) objects.push_back(query->rowRecord()->getString(0));
    return objects;
}

void AppTest::SetUp() {
    gui::headless::Reset();
    rt::SetEndProcessHandler([](int status) { throw ProcessEnded{status}; });
    app::BuildMainWindow(g);
    tree = scratch / "t";
    fs::create_directories(tree);
    datafile = scratch / "datafile";
}

void AppTest::TearDown() {
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
        if (!*fired && condition()) {
            *fired = true;
            gui::headless::Click(g.startStopButton);
        }
    });
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
    std::string path = (tree / relative).string();
    // The tests write "a/b"; the program joins with the platform's separator.
    std::replace(path.begin(), path.end(), '/', rt::PATH_SEPARATOR);
    return path;
}

}  // namespace apptest
