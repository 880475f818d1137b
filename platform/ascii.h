#pragma once
// ASCII letter case, the only case the program folds: double-byte characters
// and bytes of 0x80 or more are never changed.

#include <string_view>

namespace lct {

/// `c` in lower case when it is an ASCII capital letter; unchanged otherwise.
constexpr char toLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

/// True when `a` and `b` are equal with ASCII letters compared without case.
constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace lct
