// Item lists: the model in `items`, its mirror in the driver, selection and toolbars.

#include "gui/gadgetitem.h"
#include "gui/iconstrip.h"
#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

class ItemListTest : public GuiTest {
protected:
    TGadgetPtr window = MakeWindow("w", 0, 0, 300, 200, nullptr, WINDOW_CLIENTCOORDS);
    TGadgetPtr list = MakeListBox(0, 0, 100, 100, window);

    void Fill(std::initializer_list<const char*> texts) {
        for (const char* text : texts) list->InsertItem(list->ItemCount(), text);
    }
    std::vector<int> States() {
        std::vector<int> states;
        for (const hl::TListItemView& item : hl::ListItemsOf(list)) states.push_back(item.state);
        return states;
    }
};

TEST_F(ItemListTest, InsertSetRemoveAndClearKeepModelAndScreenAlike) {
    Fill({"a", "c"});
    const auto extra = std::make_shared<rt::TTextObject>("x");
    list->InsertItem(1, "b", "tip b", 3, extra, 0);
    list->InsertItem(99, "d");  // past the end appends
    EXPECT_EQ(hl::ListTextsOf(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list->ItemTip(1), "tip b");
    EXPECT_EQ(list->ItemIcon(1), 3);
    EXPECT_EQ(list->ItemExtra(1), extra);
    EXPECT_EQ(list->ItemExtra(-1), nullptr);
    EXPECT_EQ(list->ItemText(4), "");

    list->SetItem(2, "C", "", -1, nullptr, 0);
    list->RemoveItem(0);
    list->RemoveItem(7);  // outside the list: nothing
    EXPECT_EQ(hl::ListTextsOf(list), (std::vector<std::string>{"b", "C", "d"}));
    EXPECT_EQ(list->ItemCount(), 3);

    list->Clear();
    EXPECT_EQ(list->ItemCount(), 0);
    EXPECT_TRUE(hl::ListItemsOf(list).empty());
}

TEST_F(ItemListTest, SelectItemClearsSetsAndTogglesOneOrEveryItem) {
    Fill({"a", "b", "c"});
    list->SelectItem(1, SELECT_SET);
    EXPECT_EQ(States(), (std::vector<int>{0, STATE_SELECTED, 0}));
    list->SelectItem(-1, SELECT_TOGGLE);
    EXPECT_EQ(States(), (std::vector<int>{STATE_SELECTED, 0, STATE_SELECTED}));
    list->SelectItem(-1, SELECT_CLEAR);
    EXPECT_EQ(list->SelectedItems(), std::vector<int>{});
}

TEST_F(ItemListTest, SelectedItemIsTheOnlySelectedIndex) {
    Fill({"a", "b", "c"});
    EXPECT_EQ(list->SelectedItem(), -1);
    list->SelectItem(2, SELECT_SET);
    EXPECT_EQ(list->SelectedItem(), 2);
    list->SelectItem(0, SELECT_SET);
    EXPECT_EQ(list->SelectedItem(), -1);
    EXPECT_EQ(list->SelectedItems(), (std::vector<int>{0, 2}));
}

TEST_F(ItemListTest, SelectionChangedGivesTheFirstDifferingIndex) {
    Fill({"0", "1", "2", "3", "4", "5", "6"});
    list->SelectItem(2, SELECT_SET);
    EXPECT_EQ(list->SelectionChanged(), 2);
    EXPECT_EQ(list->SelectionChanged(), -1);  // nothing changed since
    list->SelectItem(5, SELECT_SET);
    EXPECT_EQ(list->SelectionChanged(), 5);
    list->SelectItem(-1, SELECT_CLEAR);
    EXPECT_EQ(list->SelectionChanged(), 2);
    list->SelectItem(4, SELECT_SET);
    list->SelectItem(6, SELECT_SET);
    list->SelectionChanged();
    list->SelectItem(4, SELECT_CLEAR);
    list->SelectItem(3, SELECT_SET);
    EXPECT_EQ(list->SelectionChanged(), 3);  // {4, 6} -> {3, 6}: the smaller of 4 and 3
}

TEST_F(ItemListTest, SelectFlagAndSelectedIconShowOnScreen) {
    list->InsertItem(0, "plain", "", 4, nullptr, ITEM_SELECT);
    list->InsertItem(1, "toggling", "", 6, nullptr, ITEM_SELECT | ITEM_SELECTED_ICON);
    std::vector<hl::TListItemView> shown = hl::ListItemsOf(list);
    EXPECT_EQ(shown[0].icon, 4);
    EXPECT_EQ(shown[0].state, STATE_SELECTED);
    EXPECT_EQ(shown[1].icon, 7);
    EXPECT_EQ(list->ItemIcon(1), 6);  // the model keeps its own icon

    list->SelectItem(1, SELECT_CLEAR);
    EXPECT_EQ(hl::ListItemsOf(list)[1].icon, 6);
    list->SelectItem(1, SELECT_SET);
    list->SetItem(1, "renamed", "", 6, nullptr, ITEM_SELECTED_ICON);  // still selected
    shown = hl::ListItemsOf(list);
    EXPECT_EQ(shown[1].text, "renamed");
    EXPECT_EQ(shown[1].icon, 7);
    EXPECT_EQ(shown[1].state, STATE_SELECTED);
}

TEST_F(ItemListTest, ToolbarHasOneItemPerIconOfItsStrip) {
    hl::AddIconSource("tools.png", TPixmap::Create(64, 16));
    const TGadgetPtr toolbar = MakeToolbar("tools.png", 0, 0, 0, 0, window);
    ASSERT_NE(toolbar, nullptr);
    ASSERT_EQ(toolbar->ItemCount(), 4);
    EXPECT_EQ(toolbar->ItemIcon(3), 3);
    const TGadgetPtr bare = MakeToolbar("missing.png", 0, 0, 0, 0, window);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->ItemCount(), 0);
}

TEST_F(ItemListTest, IconStripCellsAreViewsAndTheWholeStripACopy) {
    const TPixmapPtr pixmap = TPixmap::Create(30, 10);  // three cells, two pixels spare
    const TIconStripPtr strip = TIconStrip::Create(pixmap);
    ASSERT_EQ(strip->count, 3);
    EXPECT_EQ(strip->ExtractIconPixmap(3), nullptr);

    const TPixmapPtr cell = strip->ExtractIconPixmap(2);
    ASSERT_EQ(cell->Width(), 10);
    cell->SetPixel(0, 0, 0xFF00FF00);
    EXPECT_EQ(pixmap->Pixel(20, 0), 0xFF00FF00u);

    const TPixmapPtr whole = strip->ExtractIconPixmap(-1);
    ASSERT_EQ(whole->Width(), 30);
    whole->SetPixel(20, 0, 0);
    EXPECT_EQ(pixmap->Pixel(20, 0), 0xFF00FF00u);
}

}  // namespace
}  // namespace guitest
