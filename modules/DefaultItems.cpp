#include "ProcessTags.h"
#include "Registry.h"
#include "Version.h"

#include <algorithm>
#include <cstring>

namespace ProcessTags {

std::string SettingsKeyPath(const char *leaf)
{
    return std::string("Software\\Quillfern\\") + ORVANE_APPLICATION_NAME + "\\" + leaf;
}

namespace {

const char *const DefaultItemsLeaf = "DefaultItems";

// The items in the order both procedures handle them: alphabetical by key.
std::array<const TagItem *, Catalogue.size()> itemsByKey()
{
    std::array<const TagItem *, Catalogue.size()> items{};
    std::transform(Catalogue.begin(), Catalogue.end(), items.begin(),
                   [](const TagItem &item) { return &item; });
    std::sort(items.begin(), items.end(), [](const TagItem *a, const TagItem *b) {
        return std::strcmp(a->key, b->key) < 0;
    });
    return items;
}

// "1" ticks and "2" greys a box. No value, and any other text ("", "abc",
// " 1", "01"), unticks it: only what the program itself writes is trusted.
int checkValueFromText(const std::optional<std::string> &text)
{
    if (text == "1")
        return Ticked;
    if (text == "2")
        return Greyed;
    return Unticked;
}

}  // namespace

void SaveDefaultItems(const ItemControls &controls)
{
    const std::string keyPath = SettingsKeyPath(DefaultItemsLeaf);
    for (const TagItem *item : itemsByKey()) {
        const int value = controls.checkValue(item->checkBoxName());
        Registry::SetRegValue(Registry::CurrentUser, keyPath, item->key, std::to_string(value));
    }
}

void LoadDefaultItems(ItemControls &controls)
{
    const std::string keyPath = SettingsKeyPath(DefaultItemsLeaf);
    for (const TagItem *item : itemsByKey()) {
        const auto text = Registry::GetRegValue(Registry::CurrentUser, keyPath, item->key);
        controls.setCheckValue(item->checkBoxName(), checkValueFromText(text));
    }
}

}  // namespace ProcessTags
