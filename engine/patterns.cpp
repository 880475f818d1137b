#include "engine/patterns.h"

#include "engine/chars.h"
#include "platform/charset.h"

namespace lct {

const std::string& blankLinePattern() {
    static const std::string pattern = utf8ToGbk(R"(^[　 \t]*$(\r\n)|^[ 　\t]+|[ 　\t]+$)");
    return pattern;
}

const std::string& tagPattern() {
    static const std::string pattern = R"(<[\s\S]+?>)";
    return pattern;
}

bool isBlank(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = charSize(text, i);
        const std::string_view ch = text.substr(i, n);
        const bool blank = ch == " " || ch == "\t" || ch == "\r\n" || ch == "\xA1\xA1";
        if (!blank) return false;
        i += n;
    }
    return true;
}

}  // namespace lct
