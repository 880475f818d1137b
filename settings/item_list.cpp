#include "settings/item_list.h"

#include "platform/gbk_text.h"
#include "settings/value_forms.h"

namespace lct {
namespace {

constexpr std::string_view kItemSeparator = "{H}";
constexpr std::string_view kFieldSeparator = "{G}";

}  // namespace

std::string encodeItems(const std::vector<ListItem>& items, bool withChecks) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += kItemSeparator;
        out += items[i].text;
        out += kFieldSeparator;
        out += std::to_string(items[i].value);
        if (withChecks) {
            out += kFieldSeparator;
            out += boolText(items[i].checked);
        }
    }
    return out;
}

std::vector<ListItem> decodeItems(std::string_view text, bool withChecks) {
    std::vector<ListItem> items;
    // Separators are matched at character boundaries: "{" is also a possible
    // trail byte of a double-byte character.
    for (const std::string& piece : splitAtBoundaries(text, kItemSeparator)) {
        std::vector<std::string> fields = splitAtBoundaries(piece, kFieldSeparator);
        fields.resize(3);
        ListItem item;
        item.text = std::move(fields[0]);
        item.value = parseInteger(fields[1]);
        item.checked = withChecks && fields[2] == boolText(true);
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace lct
