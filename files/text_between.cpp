#include "files/text_between.h"

#include <algorithm>

#include "engine/chars.h"

namespace lct {
namespace {

std::string expandQuotes(std::string_view marker) {
    return replaceText(marker, "''", "\"");
}

std::string withoutQuotes(std::string_view marker) {
    std::string out(marker);
    std::erase(out, '"');
    return out;
}

struct Span {
    int begin = 0;  // first character of the result
    int end = 0;    // character after the result
    int next = 0;   // character after the right marker
};

bool findSpan(std::string_view text, std::string_view left, std::string_view right, int start,
              Span& span) {
    const int textEnd = charCount(text) + 1;
    if (start > textEnd) return false;
    int begin = start;
    if (!left.empty()) {
        const int at = findChars(text, left, start);
        if (at < 0) return false;
        begin = at + charCount(left);
    }
    if (right.empty()) {
        span = {begin, textEnd, textEnd};
        return true;
    }
    const int at = findChars(text, right, begin);
    if (at < 0) return false;
    span = {begin, at, at + charCount(right)};
    return true;
}

}  // namespace

std::string textBetween(std::string_view text, std::string_view left, std::string_view right,
                        int& position, int trimStart, int trimEnd, bool literalQuotes) {
    if (position == kTextBetweenExhausted) return {};
    const int start = std::max(position, 1);
    const std::string l = literalQuotes ? std::string(left) : expandQuotes(left);
    const std::string r = literalQuotes ? std::string(right) : expandQuotes(right);
    // The second try drops double quotes, unless that leaves a marker empty
    // (an empty marker would mean "from the position" or "to the end").
    const std::string l2 = withoutQuotes(l);
    const std::string r2 = withoutQuotes(r);
    const bool retry =
        (l2 != l || r2 != r) && (l.empty() || !l2.empty()) && (r.empty() || !r2.empty());
    Span span;
    if (!findSpan(text, l, r, start, span) && !(retry && findSpan(text, l2, r2, start, span))) {
        position = kTextBetweenExhausted;
        return {};
    }
    position = span.next;
    const int count = span.end - span.begin - std::max(trimStart, 0) - std::max(trimEnd, 0);
    return midChars(text, span.begin + std::max(trimStart, 0), count);
}

}  // namespace lct
