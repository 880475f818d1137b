#include "platform/json_reader.h"

#include "platform/charset.h"
#include "platform/utf8.h"

namespace lct {

const JsonValue* JsonValue::find(std::string_view key) const {
    if (kind != Kind::Object) return nullptr;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key) return &items[i];
    return nullptr;
}

const std::string* JsonValue::findString(std::string_view key) const {
    const JsonValue* value = find(key);
    return value && value->kind == Kind::String ? &value->text : nullptr;
}

namespace {

constexpr int kMaxDepth = 256;

// A recursive descent over the text; the first failure stops it and is kept.
class JsonParser {
  public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    std::optional<JsonValue> parseDocument(std::string* error) {
        JsonValue value;
        skipSpace();
        if (parseValue(value, 0)) {
            skipSpace();
            if (at_ != text_.size()) fail("text after the value");
        }
        if (!why_.empty()) {
            if (error) *error = why_ + " at byte " + std::to_string(failedAt_);
            return std::nullopt;
        }
        if (error) error->clear();
        return value;
    }

  private:
    bool fail(const char* why) {
        if (why_.empty()) {
            why_ = why;
            failedAt_ = at_;
        }
        return false;
    }

    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }

    bool take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    bool takeWord(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return fail("an unknown word");
        at_ += word.size();
        return true;
    }

    bool parseValue(JsonValue& value, int depth) {
        if (depth > kMaxDepth) return fail("values nested too deeply");
        if (at_ >= text_.size()) return fail("a value is missing");
        switch (text_[at_]) {
            case '{':
                return parseObject(value, depth);
            case '[':
                return parseArray(value, depth);
            case '"':
                value.kind = JsonValue::Kind::String;
                return parseString(value.text);
            case 't':
                value.kind = JsonValue::Kind::Boolean;
                value.boolean = true;
                return takeWord("true");
            case 'f':
                value.kind = JsonValue::Kind::Boolean;
                return takeWord("false");
            case 'n':
                return takeWord("null");
            default:
                return parseNumber(value);
        }
    }

    // The elements or members between the brackets, each read by `element`;
    // a comma may follow the last one.
    template <typename Element>
    bool parseList(char close, Element element) {
        ++at_;  // the opening bracket
        skipSpace();
        while (!take(close)) {
            if (!element()) return false;
            skipSpace();
            if (take(',')) {
                skipSpace();
            } else if (at_ >= text_.size() || text_[at_] != close) {
                return fail("a comma or a closing bracket is missing");
            }
        }
        return true;
    }

    bool parseArray(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Array;
        return parseList(']', [&] {
            value.items.emplace_back();
            return parseValue(value.items.back(), depth + 1);
        });
    }

    bool parseObject(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Object;
        return parseList('}', [&] {
            value.keys.emplace_back();
            if (at_ >= text_.size() || text_[at_] != '"') return fail("a member name is missing");
            if (!parseString(value.keys.back())) return false;
            skipSpace();
            if (!take(':')) return fail("a colon is missing");
            skipSpace();
            value.items.emplace_back();
            return parseValue(value.items.back(), depth + 1);
        });
    }

    bool parseNumber(JsonValue& value) {
        const std::size_t start = at_;
        take('-');
        const auto digits = [&] {
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
                ++at_;
            return at_ > from;
        };
        if (!digits()) return fail("not a value");
        if (take('.') && !digits()) return fail("a number without digits after its point");
        if (take('e') || take('E')) {
            if (!take('+')) take('-');
            if (!digits()) return fail("a number without digits in its exponent");
        }
        value.kind = JsonValue::Kind::Number;
        value.text = std::string(text_.substr(start, at_ - start));
        return true;
    }

    // Four hexadecimal digits of a \u escape.
    bool hex4(char32_t& unit) {
        if (text_.size() - at_ < 4) return fail("a \\u escape is cut");
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return fail("a \\u escape holds a character that is not hexadecimal");
            unit = unit * 16 + static_cast<char32_t>(digit);
        }
        return true;
    }

    bool parseEscape(std::string& out) {
        if (at_ >= text_.size()) return fail("a string is not closed");
        const char c = text_[at_++];
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u':
                break;
            default:
                return fail("an unknown escape");
        }
        char32_t unit = 0;
        if (!hex4(unit)) return false;
        if (unit >= 0xDC00 && unit <= 0xDFFF) return fail("a lone low surrogate");
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            char32_t low = 0;
            if (!take('\\') || !take('u') || !hex4(low) || low < 0xDC00 || low > 0xDFFF)
                return fail("a high surrogate without its low one");
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(unit, out);
        return true;
    }

    bool parseString(std::string& out) {
        ++at_;  // the opening quote
        while (at_ < text_.size()) {
            const auto byte = static_cast<unsigned char>(text_[at_]);
            if (byte == '"') {
                ++at_;
                return true;
            }
            if (byte == '\\') {
                ++at_;
                if (!parseEscape(out)) return false;
            } else if (byte < 0x20) {
                return fail("a control character in a string");
            } else {
                const std::size_t size = byte < 0x80 ? 1 : readUtf8(text_, at_).size;
                if (size == 0) return fail("a string that is not valid UTF-8");
                out.append(text_, at_, size);
                at_ += size;
            }
        }
        return fail("a string is not closed");
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string why_;
    std::size_t failedAt_ = 0;
};

}  // namespace

std::optional<JsonValue> parseJson(std::string_view text, std::string* error) {
    return JsonParser(text).parseDocument(error);
}

}  // namespace lct
