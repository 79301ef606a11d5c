// Data-source binding: the items follow the source's keys with few edits.

#include "gui/datasource.h"

#include <list>

#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

// Records the edits the item operations make on screen.
class TRecordingList : public TGadget {
public:
    std::vector<std::string> edits;
    void InsertListItem(int index, const std::string& text, const std::string&, int,
                        rt::TObjectPtr) override {
        edits.push_back("+" + std::to_string(index) + text);
    }
    void RemoveListItem(int index) override { edits.push_back("-" + std::to_string(index)); }
};

std::vector<std::string> Texts(const TGadget& gadget) {
    std::vector<std::string> texts;
    for (int i = 0; i < gadget.ItemCount(); ++i) texts.push_back(gadget.ItemText(i));
    return texts;
}

class DataSourceTest : public GuiTest {
protected:
    std::shared_ptr<TStringArray> source = std::make_shared<TStringArray>();
    std::shared_ptr<TRecordingList> list = std::make_shared<TRecordingList>();

    // Binds the list to `from`, then syncs it to `to`; the edits of that sync.
    std::vector<std::string> Sync(std::vector<std::string> from, std::vector<std::string> to) {
        source->strings = std::move(from);
        list->SetDataSource(source);
        list->edits.clear();
        source->strings = to;
        list->SyncDataSource();
        EXPECT_EQ(Texts(*list), to);
        EXPECT_EQ(list->datakeys, to);
        return list->edits;
    }
};

TEST_F(DataSourceTest, SyncRemovesOnlyTheDroppedKey) {
    EXPECT_EQ(Sync({"A", "B", "C", "D"}, {"A", "C", "D"}), std::vector<std::string>{"-1"});
}

TEST_F(DataSourceTest, SyncInsertsOnlyTheNewKey) {
    EXPECT_EQ(Sync({"A", "B", "C"}, {"A", "X", "B", "C"}), std::vector<std::string>{"+1X"});
}

TEST_F(DataSourceTest, SyncOfAShortRunInsertsAndTrimsTheSurplus) {
    EXPECT_EQ(Sync({"A", "B", "C"}, {"A", "C"}),
              (std::vector<std::string>{"+1C", "-2", "-2"}));
}

TEST_F(DataSourceTest, SyncHandlesReorderingAndDuplicates) {
    Sync({"A", "B", "A", "C"}, {"C", "A", "A", "B"});
    Sync({"X"}, {});
    Sync({}, {"Q", "Q"});
}

TEST_F(DataSourceTest, KeptItemsKeepTheirSelection) {
    const TGadgetPtr window = MakeWindow("w", 0, 0, 300, 200, nullptr, WINDOW_CLIENTCOORDS);
    const TGadgetPtr box = MakeListBox(0, 0, 100, 100, window);
    source->strings = {"A", "B", "C", "D"};
    box->SetDataSource(source);
    box->SelectItem(2, SELECT_SET);
    source->strings = {"A", "C", "D"};
    box->SyncDataSource();
    EXPECT_EQ(hl::ListTextsOf(box), (std::vector<std::string>{"A", "C", "D"}));
    EXPECT_EQ(box->SelectedItem(), 1);
}

TEST_F(DataSourceTest, AnEmptiedSourceClearsAndRefillsLater) {
    source->strings = {"A", "B"};
    list->SetDataSource(source);
    source->strings.clear();
    EXPECT_EQ(list->SyncDataSource(), 1);
    EXPECT_EQ(list->ItemCount(), 0);
    EXPECT_EQ(list->SyncDataSource(), 0);
    source->strings = {"A", "B"};
    list->SyncDataSource();
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"A", "B"}));
}

TEST_F(DataSourceTest, ObjectSourcesUseTheStringFormsOfTheirElements) {
    struct TNamed : TNamedObject {
        std::string ToString() const override { return "named"; }
    };
    const auto plain = std::make_shared<rt::TObject>();
    const auto objects = std::make_shared<TObjectList>();
    objects->objects = {std::make_shared<rt::TTextObject>("text"), nullptr,
                        std::make_shared<TNamed>(), plain};
    list->SetDataSource(objects);
    const std::vector<std::string> keys = Texts(*list);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0], "text");
    EXPECT_EQ(keys[1], "named");
    EXPECT_EQ(keys[2], KeyTextOf(*plain));
    EXPECT_NE(KeyTextOf(*plain), KeyTextOf(rt::TObject()));

    const auto array = std::make_shared<TObjectArray>();
    array->objects = {nullptr, std::make_shared<rt::TTextObject>("only")};
    list->SetDataSource(array);
    EXPECT_EQ(Texts(*list), std::vector<std::string>{"only"});
}

}  // namespace
}  // namespace guitest
