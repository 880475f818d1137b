#include "settings/item_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gbk.h"

namespace lct {
namespace {

using test::G;

struct EncodeCase {
    const char* name;
    std::vector<ListItem> items;
    bool withChecks;
    std::string stored;
};

TEST(ItemList, EncodeAndDecode) {
    const std::vector<EncodeCase> cases = {
        {"Empty", {}, false, ""},
        {"EmptyWithChecks", {}, true, ""},
        {"One", {{"a", 0, false}}, false, "a{G}0"},
        {"Two", {{"a", 1, false}, {"b", -2, false}}, false, "a{G}1{H}b{G}-2"},
        {"EmptyText", {{"", 5, false}}, false, "{G}5"},
        {"Checks", {{G("甲"), 0, true}, {G("乙"), 7, false}}, true, G("甲{G}0{G}真{H}乙{G}7{G}假")},
        {"BigValue", {{"x", 9000000000LL, false}}, false, "x{G}9000000000"},
        // 81 7B is one character whose trail byte is "{"; it must not split.
        {"TrailByteBrace", {{"\x81{H}", 1, false}}, false, "\x81{H}{G}1"},
    };
    for (const EncodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(encodeItems(c.items, c.withChecks), c.stored);
        EXPECT_EQ(decodeItems(c.stored, c.withChecks), c.items);
    }
}

struct DecodeCase {
    const char* name;
    std::string stored;
    bool withChecks;
    std::vector<ListItem> items;
};

TEST(ItemList, DecodeForgivesDamagedText) {
    const std::vector<DecodeCase> cases = {
        {"NoValueField", "a", false, {{"a", 0, false}}},
        {"ValueNotANumber", "a{G}x", false, {{"a", 0, false}}},
        {"ValueWithTail", "a{G}12x", false, {{"a", 12, false}}},
        {"ExtraFieldsDropped", "a{G}1{G}2{G}3", false, {{"a", 1, false}}},
        {"MissingCheck", "a{G}1", true, {{"a", 1, false}}},
        {"CheckNotExactlyTrue", G("a{G}1{G}真真"), true, {{"a", 1, false}}},
        {"CheckIgnoredWithoutChecks", G("a{G}1{G}真"), false, {{"a", 1, false}}},
        {"EmptyPieces", "{H}", false, {{"", 0, false}, {"", 0, false}}},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(decodeItems(c.stored, c.withChecks), c.items) << c.name;
}

TEST(ItemList, SeparatorInItemTextDoesNotSurvive) {
    const std::vector<ListItem> items = {{"a{H}b", 1, false}};
    EXPECT_NE(decodeItems(encodeItems(items, false), false), items);
}

}  // namespace
}  // namespace lct
