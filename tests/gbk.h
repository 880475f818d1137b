#pragma once
// Tests write their texts in UTF-8 and hand GBK to the code under test.

#include <string>
#include <string_view>

#include "platform/charset.h"

namespace lct::test {

/// The GBK form of a UTF-8 literal.
inline std::string G(std::string_view utf8) {
    return utf8ToGbk(utf8);
}

/// The UTF-8 form of a GBK text, for readable failure messages.
inline std::string U(std::string_view gbk) {
    return gbkToUtf8(gbk);
}

}  // namespace lct::test
