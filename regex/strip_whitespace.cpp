#include "regex/strip_whitespace.h"

#include "platform/charset.h"
#include "regex/regex_object.h"

namespace lct {

std::string whitespacePattern(WhitespaceMode mode) {
    switch (mode) {
        case WhitespaceMode::LineStarts:
            return utf8ToGbk(R"(^[ 　\t]+)");
        case WhitespaceMode::LineEnds:
            return utf8ToGbk(R"([ 　\t]+$)");
        case WhitespaceMode::LineBothEnds:
            return utf8ToGbk(R"(^[ 　\t]+|[ 　\t]+$)");
        case WhitespaceMode::Everywhere:
            return utf8ToGbk(R"([ 　\t]+)");
        case WhitespaceMode::BlankLines:
            return utf8ToGbk(R"(^[ 　\t]*$\r\n)");
    }
    return {};
}

std::string stripWhitespace(std::string_view text, WhitespaceMode mode, RegexObject& regex,
                            bool prepared) {
    if (!prepared && !regex.create(whitespacePattern(mode), true, true, true))
        return std::string(text);
    std::string result = regex.replace(text, "");
    if (!regex.ok() || regex.runFailed()) return std::string(text);
    return result;
}

}  // namespace lct
