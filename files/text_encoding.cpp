#include "files/text_encoding.h"

#include "platform/utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// Bytes of five three-byte forms at `p` whose leads are E1..EC, EE or EF,
// or 0 when the sixteen bytes from `p` on do not start with such.
std::size_t threeByteRun(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
    if (end - p < 16) return 0;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto mask = [](__m128i m) {
        return static_cast<unsigned>(_mm_movemask_epi8(m)) & 0x7FFF;
    };
    const auto all = [](unsigned byte) { return _mm_set1_epi8(static_cast<char>(byte)); };
    const unsigned leads = mask(_mm_cmpeq_epi8(_mm_and_si128(v, all(0xF0)), all(0xE0)));
    const unsigned continuations = mask(_mm_cmpeq_epi8(_mm_and_si128(v, all(0xC0)), all(0x80)));
    const unsigned limited =
        mask(_mm_or_si128(_mm_cmpeq_epi8(v, all(0xE0)), _mm_cmpeq_epi8(v, all(0xED))));
    constexpr unsigned kLeads = 0x1249;  // bytes 0, 3, 6, 9 and 12
    const bool five =
        leads == kLeads && continuations == (0x7FFF & ~kLeads) && (limited & kLeads) == 0;
    return five ? 15 : 0;
#else
    (void)p;
    (void)end;
    return 0;
#endif
}

}  // namespace

Utf8Shape utf8Shape(std::string_view bytes) {
    Utf8Shape shape{true, true};
    bool multiByte = false;
    const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = begin + bytes.size();
    const auto* p = begin;
    while (p < end) {
        if (*p < 0x80) {
            p = begin + asciiRunEnd(bytes, static_cast<std::size_t>(p - begin));
            continue;
        }
        multiByte = true;
        // Most of such texts are three-byte forms whose lead byte puts no
        // limit on the byte after it (E1..EC, EE, EF: all of CJK): those
        // pass both rules with no more looks, five at a time where they
        // follow each other.
        const std::size_t run = threeByteRun(p, end);
        if (run != 0) {
            p += run;
            continue;
        }
        if (end - p >= 3 && *p >= 0xE1 && *p != 0xED && *p <= 0xEF && isContinuation(p[1]) &&
            isContinuation(p[2])) {
            p += 3;
            continue;
        }
        const auto i = static_cast<std::size_t>(p - begin);
        std::size_t size = readUtf8(bytes, i).size;
        if (size == 0) {
            // What fails the loose rule fails the strict one too.
            size = looseUtf8Size(bytes, i);
            if (size == 0) return {false, false};
            shape.valid = false;
        }
        p += size;
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
