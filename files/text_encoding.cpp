#include "files/text_encoding.h"

#include "platform/utf8.h"

namespace lct {

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

Utf8Shape utf8Shape(std::string_view bytes) {
    Utf8Shape shape{true, true};
    bool multiByte = false;
    for (std::size_t i = asciiRunEnd(bytes, 0); i < bytes.size(); i = asciiRunEnd(bytes, i)) {
        std::size_t size = readUtf8(bytes, i).size;
        if (size == 0) {
            // What fails the loose rule fails the strict one too.
            size = looseUtf8Size(bytes, i);
            if (size == 0) return {false, false};
            shape.valid = false;
        }
        multiByte = true;
        i += size;
    }
    shape.looksLike = multiByte;
    return shape;
}

bool looksLikeUtf8(std::string_view bytes) {
    return utf8Shape(bytes).looksLike;
}

bool isValidUtf8(std::string_view bytes) {
    return utf8Shape(bytes).valid;
}

}  // namespace lct
