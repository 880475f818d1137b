#include "settings/value_forms.h"

#include <locale.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <limits>

#include "platform/bytes.h"
#include "platform/charset.h"

namespace lct {
namespace {

const std::string& lineBreakMark() {
    static const std::string mark = utf8ToGbk("┊*┊");
    return mark;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// strtod follows LC_NUMERIC, which a GUI toolkit sets from the environment; the
// stored form always uses '.', so conversions run in the C locale.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

}  // namespace

// Both directions work on bytes, not characters: a stray lead byte before a
// line break ("\xFF\r\n") would otherwise swallow the first byte of the mark
// when read back along character boundaries. The doubled bar keeps the
// encoding reversible: after escaping, a bar pair is always followed by a
// second pair or by "*" and a pair, and nothing else starts with one.
std::string escapeLineBreaks(std::string_view text) {
    const std::string_view bar = std::string_view(lineBreakMark()).substr(0, 2);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += lineBreakMark();
            ++i;
        } else if (text.substr(i, 2) == bar) {
            out += bar;
            out += bar;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string unescapeLineBreaks(std::string_view text) {
    const std::string_view mark = lineBreakMark();
    const std::string_view bar = mark.substr(0, 2);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, 2) == bar && text.substr(i + 2, 2) == bar) {
            out += bar;
            i += 4;
        } else if (text.substr(i, mark.size()) == mark) {
            out += "\r\n";
            i += mark.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string formatNumber(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 13);
    return std::string(buffer.data(), result.ptr);
}

std::string toHalfWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t n = gbkCharSize(text, i);
        if (n == 2) {
            const unsigned lead = byteAt(text, i);
            const unsigned trail = byteAt(text, i + 1);
            // Row A3 holds the full-width ASCII forms in ASCII order, except
            // A3A4 (￥) and A3FE (￣), which are other characters.
            if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFD && trail != 0xA4) {
                out += static_cast<char>(trail - 0x80);
                i += 2;
                continue;
            }
            if (lead == 0xA1 && trail == 0xA1) {  // ideographic space
                out += ' ';
                i += 2;
                continue;
            }
        }
        out.append(text, i, n);
        i += n;
    }
    return out;
}

namespace {

// The end of the run of ASCII digits that starts at `i`.
std::size_t digitsEnd(std::string_view text, std::size_t i) {
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    return i;
}

// The end of the exponent at `i` ("e" or "E", a sign, digits); `i` itself
// when no exponent with at least one digit is there.
std::size_t exponentEnd(std::string_view text, std::size_t i) {
    if (i >= text.size() || (text[i] != 'e' && text[i] != 'E')) return i;
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t end = digitsEnd(text, j);
    return end > j ? end : i;
}

}  // namespace

double parseNumber(std::string_view raw) {
    const std::string text = toHalfWidth(raw);
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t end = digitsEnd(text, i);
    std::size_t digits = end - i;
    if (end < text.size() && text[end] == '.') {
        i = end + 1;
        end = digitsEnd(text, i);
        digits += end - i;
    }
    if (digits == 0) return 0;
    i = exponentEnd(text, end);
    // The span is plain decimal syntax now, so strtod cannot wander into the
    // hexadecimal, infinity or nan forms it also accepts.
    const std::string span = text.substr(start, i - start);
    return strtod_l(span.c_str(), nullptr, cLocale());
}

std::int64_t parseInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as a negative number so that the int64 minimum fits.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    bool clamped = false;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        const int d = text[i] - '0';
        if (value < (kMin + d) / 10) {
            clamped = true;
            value = kMin;
        } else if (!clamped) {
            value = value * 10 - d;
        }
    }
    if (negative) return value;
    if (value == kMin) return std::numeric_limits<std::int64_t>::max();
    return -value;
}

const std::string& boolText(bool value) {
    static const std::string yes = utf8ToGbk("真");
    static const std::string no = utf8ToGbk("假");
    return value ? yes : no;
}

}  // namespace lct
