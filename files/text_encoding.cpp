#include "files/text_encoding.h"

#include <optional>
#include <string>
#include <utility>

#include "form/form.h"
#include "platform/charset.h"

namespace lct {
namespace {

// The test lets the window breathe after this many bytes, not after each one.
constexpr std::size_t kBytesPerBreath = 64 * 1024;

unsigned byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool isContinuation(unsigned b) {
    return (b & 0xC0u) == 0x80u;
}

// ASCII only: the result must not depend on the process locale.
char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

// The ICU alias "Big5-HKSCS" is ambiguous; the converter that the system
// means by it is ibm-1375.
std::string icuName(std::string_view name) {
    if (equalsNoCase(name, "BIG5-HKSCS")) return "ibm-1375";
    return std::string(name);
}

}  // namespace

TextEncoding EncodingFromIndex(int index) {
    if (index < 0 || index > static_cast<int>(TextEncoding::Big5Hkscs)) return TextEncoding::Detect;
    return static_cast<TextEncoding>(index);
}

std::string_view CharsetNameOf(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf16Le:
            return "UTF-16LE";
        case TextEncoding::Utf16Be:
            return "UTF-16BE";
        case TextEncoding::Big5:
            return "Big5";
        case TextEncoding::Big5Hkscs:
            return "ibm-1375";
        case TextEncoding::Detect:
        case TextEncoding::Gbk:
            break;
    }
    return {};
}

std::string_view ByteOrderMarkOf(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return "\xEF\xBB\xBF";
        case TextEncoding::Utf16Le:
            return "\xFF\xFE";
        case TextEncoding::Utf16Be:
            return "\xFE\xFF";
        default:
            break;
    }
    return {};
}

std::string ConvertCharset(std::string_view bytes, std::string_view from, std::string_view to) {
    const std::string source = icuName(from);
    const std::string target = icuName(to);
    std::optional<std::string> converted = convertCharset(bytes, source.c_str(), target.c_str());
    return converted ? std::move(*converted) : std::string();
}

bool LooksLikeUtf8(std::string_view bytes) {
    const std::size_t n = bytes.size();
    std::size_t singles = 0;
    std::size_t nextBreath = kBytesPerBreath;
    std::size_t i = 0;
    while (i < n) {
        if (i >= nextBreath) {
            processPendingMessages();
            nextBreath = i + kBytesPerBreath;
        }
        const unsigned b = byteAt(bytes, i);
        if (b < 0x80u) {
            ++singles;
            i += 1;
        } else if ((b & 0xE0u) == 0xC0u && i + 1 < n && isContinuation(byteAt(bytes, i + 1))) {
            i += 2;
        } else if ((b & 0xF0u) == 0xE0u && i + 2 < n && isContinuation(byteAt(bytes, i + 1)) &&
                   isContinuation(byteAt(bytes, i + 2))) {
            i += 3;
        } else if (b >= 0xF0u && b <= 0xF4u && i + 3 < n && isContinuation(byteAt(bytes, i + 1)) &&
                   isContinuation(byteAt(bytes, i + 2)) && isContinuation(byteAt(bytes, i + 3))) {
            // Four-byte sequences (emoji, rare CJK) are part of ordinary UTF-8 text.
            i += 4;
        } else {
            return false;
        }
    }
    return singles != n;
}

bool IsValidUtf8(std::string_view bytes) {
    const std::size_t n = bytes.size();
    std::size_t nextBreath = kBytesPerBreath;
    std::size_t i = 0;
    while (i < n) {
        if (i >= nextBreath) {
            processPendingMessages();
            nextBreath = i + kBytesPerBreath;
        }
        const unsigned b = byteAt(bytes, i);
        if (b < 0x80u) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned low = 0x80u;   // bounds of the second byte, which rule out
        unsigned high = 0xBFu;  // overlong forms, surrogates and values past U+10FFFF
        if (b >= 0xC2u && b <= 0xDFu) {
            length = 2;
        } else if (b >= 0xE0u && b <= 0xEFu) {
            length = 3;
            if (b == 0xE0u) low = 0xA0u;
            if (b == 0xEDu) high = 0x9Fu;
        } else if (b >= 0xF0u && b <= 0xF4u) {
            length = 4;
            if (b == 0xF0u) low = 0x90u;
            if (b == 0xF4u) high = 0x8Fu;
        } else {
            return false;
        }
        if (n - i < length) return false;
        const unsigned second = byteAt(bytes, i + 1);
        if (second < low || second > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!isContinuation(byteAt(bytes, i + k))) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace lct
