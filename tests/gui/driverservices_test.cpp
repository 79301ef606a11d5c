// Colours, fonts and the pointer through the driver's base services.

#include "gui/driverservices.h"

#include "gui/guicolor.h"
#include "gui/guifont.h"
#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

using DriverServicesTest = GuiTest;

TEST_F(DriverServicesTest, BaseColoursForTheKnownKindsOnly) {
    int r = -1, g = -1, b = -1;
    EXPECT_EQ(LookupGuiColor(COLOR_SELECTION, r, g, b), 1);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({50, 150, 255}));
    EXPECT_EQ(LookupGuiColor(COLOR_WINDOW_BACKGROUND, r, g, b), 1);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({240, 240, 240}));
    r = g = b = -1;
    EXPECT_EQ(LookupGuiColor(5, r, g, b), 0);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({-1, -1, -1}));
}

TEST_F(DriverServicesTest, AChosenColourIsRememberedAndACancelKeepsIt) {
    hl::QueueColorAnswer(0x102030);
    EXPECT_EQ(RequestColor(0, 0, 0), 1);
    hl::QueueColorAnswer(-1);
    EXPECT_EQ(RequestColor(1, 2, 3), 0);
    EXPECT_EQ(RequestedRed(), 0x10);
    EXPECT_EQ(RequestedGreen(), 0x20);
    EXPECT_EQ(RequestedBlue(), 0x30);
    hl::QueueColorAnswer(0);  // black is a colour too
    EXPECT_EQ(RequestColor(1, 2, 3), 1);
    EXPECT_EQ(RequestedRed(), 0);
}

TEST_F(DriverServicesTest, FontsLoadWithRoundedSizeAndStyleBits) {
    const TGuiFontPtr font = LoadGuiFont("Arial", 10.5, 1, 0, 1, 0);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(FontName(font), "Arial");
    EXPECT_EQ(FontSize(font), 11);
    EXPECT_EQ(FontStyle(font), FONT_BOLD | FONT_UNDERLINE);
    EXPECT_EQ(FontSize(LoadGuiFont("Arial", 10.49)), 10);
    EXPECT_EQ(FontName(nullptr), "");
}

TEST_F(DriverServicesTest, LibraryFontsByKindWithDefaultSizes) {
    EXPECT_EQ(FontName(LookupGuiFont(FONT_KIND_SERIF, 14)), "Times New Roman");
    EXPECT_EQ(FontName(LookupGuiFont(FONT_KIND_SCRIPT)), "Comic Sans MS");
    EXPECT_EQ(FontName(LookupGuiFont(99)), "MS Shell Dlg");
    TGadgetDriver& driver = CurrentGadgetDriver();
    EXPECT_EQ(FontSize(LookupGuiFont(FONT_KIND_SERIF, 0)),
              static_cast<int>(driver.DefaultFontSize(FONT_KIND_SERIF) + 0.5));
    EXPECT_EQ(FontSize(LookupGuiFont(FONT_KIND_GUI, -3)),
              static_cast<int>(driver.DefaultFontSize(FONT_KIND_GUI) + 0.5));
}

TEST_F(DriverServicesTest, MonospacedFontFallsBackWhenItsFaceIsMissing) {
    EXPECT_EQ(FontName(LookupGuiFont(FONT_KIND_MONOSPACED, 10)), "Consolas");
    hl::SetInstalledFonts({"Arial", "Courier New"});
    EXPECT_EQ(FontName(LookupGuiFont(FONT_KIND_MONOSPACED, 10)), "Courier New");
    EXPECT_EQ(FontName(LookupGuiFont(FONT_KIND_SERIF, 10)), "Arial");  // the system's stand-in
}

TEST_F(DriverServicesTest, FontChooserGivesTheChosenFontOrNull) {
    const TGuiFontPtr chosen = LoadGuiFont("Arial", 12);
    hl::QueueFontAnswer(chosen);
    EXPECT_EQ(RequestFont(nullptr), chosen);
    EXPECT_EQ(RequestFont(chosen), nullptr);
}

TEST_F(DriverServicesTest, PointerShapeGoesToTheDriverOnlyWhenItChanges) {
    SetPointer(3);
    const int changes = hl::PointerChanges();
    SetPointer(3);
    EXPECT_EQ(hl::PointerChanges(), changes);
    SetPointer(4);
    EXPECT_EQ(hl::PointerChanges(), changes + 1);
    EXPECT_EQ(hl::PointerShape(), 4);
    EXPECT_EQ(UserName(), "user");
}

}  // namespace
}  // namespace guitest
