// Binding a list-like gadget to a data source: the item list is edited toward the
// source's keys with as few inserts and removals as the rule below finds, so items that
// stay keep their selection.

#include "gui/datasource.h"

#include <cstdint>
#include <cstdio>

#include "gui/gadget.h"

namespace gui {
namespace {

template <typename Container>
std::vector<std::string> KeysOfObjects(const Container& objects) {
    std::vector<std::string> keys;
    for (const rt::TObjectPtr& object : objects) {
        if (object) keys.push_back(KeyTextOf(*object));
    }
    return keys;
}

std::vector<std::string> KeysOfSource(const rt::TObjectPtr& source) {
    if (const auto* strings = dynamic_cast<const TStringArray*>(source.get())) {
        return strings->strings;
    }
    if (const auto* list = dynamic_cast<const TObjectList*>(source.get())) {
        return TGadget::KeysFromList(list->objects);
    }
    if (const auto* array = dynamic_cast<const TObjectArray*>(source.get())) {
        return TGadget::KeysFromObjectArray(array->objects);
    }
    return {};
}

// Length of the run from previous[from] on that equals keys[at] on.
std::size_t EqualRun(const std::vector<std::string>& previous, std::size_t from,
                     const std::vector<std::string>& keys, std::size_t at) {
    std::size_t run = 0;
    while (from + run < previous.size() && at + run < keys.size() &&
           previous[from + run] == keys[at + run]) {
        ++run;
    }
    return run;
}

}  // namespace

std::string KeyTextOf(const rt::TObject& object) {
    if (const auto* text = dynamic_cast<const rt::TTextObject*>(&object)) return text->text;
    if (const auto* named = dynamic_cast<const TNamedObject*>(&object)) return named->ToString();
    char address[2 + 2 * sizeof(void*) + 1];
    std::snprintf(address, sizeof address, "%016jX",
                  static_cast<std::uintmax_t>(reinterpret_cast<std::uintptr_t>(&object)));
    return address;
}

std::vector<std::string> TGadget::KeysFromList(const std::list<rt::TObjectPtr>& list) {
    return KeysOfObjects(list);
}

std::vector<std::string> TGadget::KeysFromObjectArray(const std::vector<rt::TObjectPtr>& array) {
    return KeysOfObjects(array);
}

void TGadget::SetDataSource(rt::TObjectPtr dataSource) {
    Clear();
    datasource = std::move(dataSource);
    datakeys.clear();
    SyncDataSource();
}

int TGadget::SyncDataSource() {
    if (!datasource) return 0;
    std::vector<std::string> keys = KeysOfSource(datasource);
    if (keys.empty()) {
        // Forgetting the old keys too: the next keys must all be inserted again.
        datakeys.clear();
        if (ItemCount() == 0) return 0;
        Clear();
        return 1;
    }
    SyncData(keys);
    datakeys = std::move(keys);
    return 0;
}

// Items before `i` show the new keys; items from `i` on still show datakeys from `a` on.
void TGadget::SyncData(const std::vector<std::string>& keys) {
    const std::vector<std::string>& previous = datakeys;
    std::size_t a = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (a < previous.size() && previous[a] == keys[i]) {
            ++a;
            continue;
        }
        std::size_t next = a;
        while (next < previous.size() && previous[next] != keys[i]) ++next;
        if (next < previous.size()) {
            const std::size_t skipped = next - a;
            if (skipped < EqualRun(previous, next, keys, i)) {
                for (std::size_t k = 0; k < skipped; ++k) RemoveItem(static_cast<int>(i));
                a = next + 1;
                continue;
            }
        }
        InsertItemFromKey(static_cast<int>(i), keys[i]);
    }
    while (ItemCount() > static_cast<int>(keys.size())) {
        RemoveItem(static_cast<int>(keys.size()));
    }
}

void TGadget::InsertItemFromKey(int index, const std::string& key) { InsertItem(index, key); }

}  // namespace gui
