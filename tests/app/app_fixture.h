#pragma once
// Runs the application's window and logging on the headless driver, with a scratch
// directory holding the monitored tree, the datafile and the log file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "tests/support/temp_dir.h"

namespace apptest {

namespace fs = std::filesystem;

// Thrown by the process-end handler, so that a test sees the program end.
struct ProcessEnded {
    int status;
};

void WriteFile(const fs::path& path, const std::string& bytes);
std::string ReadFile(const fs::path& path);

// The rows of an SQLite file's table "order by id asc", as "file|ident" with <NULL>.
std::vector<std::string> TableRows(const fs::path& datafile, const std::string& table);
// Every object of an SQLite file's schema as "type name", in name order.
std::vector<std::string> SchemaOf(const fs::path& datafile);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Handles every pending input as the idle loop would, until nothing is pending.
    void Settle();
    void Browse(const fs::path& dir);
    void ChooseDatafile(const fs::path& path);
    void ChooseLog(const fs::path& path);
    void Click(const gui::TGadgetPtr& gadget);
    // Presses "Start logging" and lets logging run to its end.
    void Log();
    // Arms a stop request for the first poll at which the condition holds.
    void StopWhen(std::function<bool()> condition);

    std::string Status() const;
    std::string StatusBar() const;
    // The report area's lines with their date and time replaced by "<T>".
    std::vector<std::string> Report() const;
    std::string Path(const std::string& relative) const;

    testsupport::TempDir temp;
    const fs::path scratch{temp.path()};
    fs::path tree;
    fs::path datafile;
    app::Application app;
    app::MainWindow& g = app.gadgets;
};

}  // namespace apptest
