#pragma once
// A small JSON reader for the data files the program ships (OpenCC's
// conversion configurations) and for its tests' data. It reads RFC 8259 JSON
// and, as the files it meets are written by hand, also takes a comma before a
// closing bracket or brace. Nothing throws.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lct {

/// One JSON value. An object keeps its members in the file's order.
struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    /// A string's value (UTF-8, escapes resolved), or a number as written.
    std::string text;
    /// An array's elements, or an object's member values.
    std::vector<JsonValue> items;
    /// An object's member names, one for each element of `items`.
    std::vector<std::string> keys;

    /// The value of the first member named `key` of an object; nullptr when
    /// there is none or this is no object.
    const JsonValue* find(std::string_view key) const;
    /// The same when that value is a string, else nullptr.
    const std::string* findString(std::string_view key) const;
};

/// The value that `text` (UTF-8) holds; nullopt, with the reason and the byte
/// offset in `error` when given, when it is not JSON, holds more than one
/// value, a string that is not valid UTF-8, or nests deeper than 256 levels.
[[nodiscard]] std::optional<JsonValue> parseJson(std::string_view text,
                                                 std::string* error = nullptr);

}  // namespace lct
