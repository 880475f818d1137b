#pragma once
// The stored form of the items of combo boxes, list boxes and check list
// boxes: items joined by "{H}", each its text, "{G}", its value as a decimal
// integer, and for check list boxes "{G}" and "真" or "假" for its check mark.
// Item texts that contain "{H}" or "{G}" do not survive, since the separators
// are not escaped.

#include <string>
#include <string_view>
#include <vector>

#include "form/form.h"

namespace lct {

/// The stored form of `items` (texts GBK); the empty text for no items. With
/// `withChecks`, each item carries its check mark.
std::string encodeItems(const std::vector<ListItem>& items, bool withChecks);

/// The items of a stored form: one per "{H}"-separated piece, its fields split
/// at "{G}" (missing fields are empty); the value is the field's leading
/// integer (0 when none); with `withChecks` an item is checked when its third
/// field is exactly "真". The empty text gives no items.
std::vector<ListItem> decodeItems(std::string_view text, bool withChecks);

}  // namespace lct
