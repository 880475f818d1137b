#include "files/text_encoding.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "platform/ascii.h"
#include "platform/charset.h"

namespace lct {
namespace {

unsigned byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool isContinuation(unsigned b) {
    return (b & 0xC0u) == 0x80u;
}

}  // namespace

TextEncoding encodingFromIndex(int index) {
    if (index < 0 || index > static_cast<int>(TextEncoding::Big5Hkscs)) return TextEncoding::Detect;
    return static_cast<TextEncoding>(index);
}

std::string_view charsetNameOf(TextEncoding encoding) {
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

std::string_view declaredCharsetOf(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return "UTF-16";
        case TextEncoding::Big5:
            return "Big5";
        case TextEncoding::Big5Hkscs:
            return "Big5-HKSCS";
        case TextEncoding::Detect:
        case TextEncoding::Gbk:
            break;
    }
    return "GB18030";
}

std::string_view byteOrderMarkOf(TextEncoding encoding) {
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

bool looksLikeUtf8(std::string_view bytes) {
    const std::size_t n = bytes.size();
    std::size_t singles = 0;
    std::size_t i = 0;
    while (i < n) {
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

bool isValidUtf8(std::string_view bytes) {
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
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

namespace {

// Bytes up to the next byte of 0x80 or more, eight at a time.
std::size_t asciiRun(std::string_view bytes, std::size_t i) {
    const std::size_t n = bytes.size();
    while (i + 8 <= n) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080u) break;
        i += 8;
    }
    while (i < n && byteAt(bytes, i) < 0x80u)
        ++i;
    return i;
}

// The length of the sequence at `i` by the loose rule of looksLikeUtf8 (any
// lead of the right bit pattern, continuations after it); 0 when none fits.
std::size_t looseSequence(std::string_view bytes, std::size_t i) {
    const std::size_t n = bytes.size();
    const unsigned b = byteAt(bytes, i);
    std::size_t length = 0;
    if ((b & 0xE0u) == 0xC0u) {
        length = 2;
    } else if ((b & 0xF0u) == 0xE0u) {
        length = 3;
    } else if (b >= 0xF0u && b <= 0xF4u) {
        length = 4;
    } else {
        return 0;
    }
    if (n - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(byteAt(bytes, i + k))) return 0;
    }
    return length;
}

// True when the sequence of `length` bytes at `i` is strict UTF-8: no
// overlong form, no surrogate, nothing past U+10FFFF.
bool strictSequence(std::string_view bytes, std::size_t i, std::size_t length) {
    const unsigned b = byteAt(bytes, i);
    const unsigned second = byteAt(bytes, i + 1);
    switch (length) {
        case 2:
            return b >= 0xC2u;
        case 3:
            return !(b == 0xE0u && second < 0xA0u) && !(b == 0xEDu && second > 0x9Fu);
        default:
            return !(b == 0xF0u && second < 0x90u) && !(b == 0xF4u && second > 0x8Fu);
    }
}

}  // namespace

Utf8Shape utf8Shape(std::string_view bytes) {
    Utf8Shape shape{true, true};
    bool multiByte = false;
    for (std::size_t i = asciiRun(bytes, 0); i < bytes.size(); i = asciiRun(bytes, i)) {
        const std::size_t length = looseSequence(bytes, i);
        // What fails the loose rule fails the strict one too.
        if (length == 0) return {false, false};
        if (shape.valid && !strictSequence(bytes, i, length)) shape.valid = false;
        multiByte = true;
        i += length;
    }
    shape.looksLike = multiByte;
    return shape;
}

}  // namespace lct
