#include "platform/json_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace lct {
namespace {

TEST(JsonReader, ReadsValuesAndTheCommaBeforeAClosingBracket) {
    std::string error;
    const auto value = parseJson(
        R"( {"a": [1, -2.5e3, true, false, null,], "b": "x\"\\\/\n\u00e9\ud83d\ude00",
             "c": {}, "a": 0, } )",
        &error);
    ASSERT_TRUE(value.has_value()) << error;
    ASSERT_EQ(value->keys, (std::vector<std::string>{"a", "b", "c", "a"}));
    EXPECT_EQ(value->find("a")->items.size(), 5u);  // the first member of the name
    EXPECT_EQ(value->find("a")->items[1].text, "-2.5e3");
    EXPECT_TRUE(value->find("a")->items[2].boolean);
    EXPECT_EQ(*value->findString("b"), "x\"\\/\né😀");
    EXPECT_EQ(value->findString("c"), nullptr);
    EXPECT_EQ(value->find("a")->find("a"), nullptr);  // an array has no members
}

TEST(JsonReader, RefusesWhatIsNotJson) {
    for (const std::string& text :
         std::vector<std::string>{"", "{", "[1 2]", "{\"a\" 1}", "{a: 1}", "\"\\x\"", "\"\\ud800\"",
                                  "\"\\udc00\"", "\"a\nb\"", "\"\xFF\"", "01x", "1.", "-", "[,]",
                                  "tru", "{} {}", std::string(300, '['), "\"\\u12\""}) {
        std::string error;
        EXPECT_FALSE(parseJson(text, &error).has_value()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
}  // namespace lct
