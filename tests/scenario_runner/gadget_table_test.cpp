#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "tools/scenario/gadget_table.h"

namespace scenario {
namespace {

// A window whose every field holds a gadget of its own, so that a name bound to the wrong
// field shows.
app::MainWindow FilledWindow() {
    app::MainWindow w;
    for (gui::TGadgetPtr* field :
         {&w.window, &w.dirField, &w.browseButton, &w.datafileField, &w.datafileSaveButton,
          &w.logField, &w.logSaveButton, &w.md5Box, &w.intervalBox, &w.intervalField,
          &w.startStopButton, &w.reportArea, &w.statusLabel, &w.progressBar, &w.exitItem,
          &w.aboutItem}) {
        *field = std::make_shared<gui::TGadget>();
    }
    return w;
}

TEST(GadgetTable, EveryNameFindsADifferentGadgetOfTheWindow) {
    const app::MainWindow w = FilledWindow();
    std::set<gui::TGadgetPtr> found;
    for (std::string_view name : GadgetNames()) {
        const gui::TGadgetPtr gadget = GadgetNamed(w, name);
        EXPECT_NE(gadget, nullptr) << name;
        EXPECT_TRUE(found.insert(gadget).second) << name << " shares its gadget with another name";
    }
    EXPECT_EQ(found.size(), 14u);
    EXPECT_EQ(found.count(w.exitItem), 0u);
    EXPECT_EQ(found.count(w.aboutItem), 0u);
    EXPECT_EQ(GadgetNamed(w, "startstop"), w.startStopButton);
    EXPECT_EQ(GadgetNamed(w, "dir-field"), w.dirField);
    EXPECT_EQ(GadgetNamed(w, "window"), w.window);
}

TEST(GadgetTable, OtherNamesFindNothing) {
    const app::MainWindow w = FilledWindow();
    for (std::string_view name : {"", "exit", "about", "Browse", "startstop "}) {
        EXPECT_EQ(GadgetNamed(w, name), nullptr) << '"' << name << '"';
    }
}

// Start replaces the Start/Stop button: the lookup must give the new one, not a gadget
// remembered from before.
TEST(GadgetTable, AReplacedGadgetIsFoundAfterItsReplacement) {
    app::MainWindow w = FilledWindow();
    const gui::TGadgetPtr before = GadgetNamed(w, "startstop");
    w.startStopButton = std::make_shared<gui::TGadget>();
    EXPECT_EQ(GadgetNamed(w, "startstop"), w.startStopButton);
    EXPECT_NE(GadgetNamed(w, "startstop"), before);
    w.startStopButton = nullptr;
    EXPECT_EQ(GadgetNamed(w, "startstop"), nullptr);
}

}  // namespace
}  // namespace scenario
