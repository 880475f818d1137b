// The tag guard: hide the tags of any text, put them back, strip them.
//
// Checks: restore(protect(text)) is the text, with both placeholders, also
// when the text holds 0xFF bytes, which placeholders are made of; the saved
// tags are tags (a "<" and a ">" at their ends) or characters holding a 0xFF
// byte, and there is one placeholder per saved tag; for text without 0xFF,
// strip gives the protected text without its placeholders.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tag_guard.h"
#include "fuzz/fuzz_check.h"

namespace {

// A "<" or ">" inside a tag can only be the trail byte of a double-byte
// character, which the character model steps over.
bool isTag(std::string_view tag) {
    return tag.size() >= 2 && tag.front() == '<' && tag.back() == '>';
}

// `text` without the occurrences of `needle` (left to right, byte by byte,
// as restore finds them), and how many there were.
std::string without(std::string_view text, std::string_view needle, std::size_t& count) {
    std::string out;
    count = 0;
    std::size_t from = 0;
    for (std::size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, from)) {
        out.append(text.substr(from, at - from));
        from = at + needle.size();
        ++count;
    }
    out.append(text.substr(from));
    return out;
}

bool holdsFF(std::string_view text) {
    return text.find('\xFF') != std::string_view::npos;
}

void checkRoundTrip(std::string_view text, const std::string& placeholder) {
    lct::TagGuard guard;
    const std::string hidden = guard.protect(text, placeholder);
    LCT_FUZZ_CHECK(guard.restore(hidden) == text);

    const std::vector<std::string> tags = guard.savedTags();
    for (const std::string& tag : tags)
        LCT_FUZZ_CHECK(isTag(tag) || (tag.size() <= 2 && holdsFF(tag)));
    std::size_t placeholders = 0;
    const std::string rest = without(hidden, placeholder, placeholders);
    LCT_FUZZ_CHECK(placeholders == tags.size());
    if (!holdsFF(text)) LCT_FUZZ_CHECK(rest == lct::TagGuard::strip(text));

    // A protect that does not save leaves the saved tags and the placeholder.
    (void)guard.protect(hidden, "#", false);
    LCT_FUZZ_CHECK(guard.savedTags() == tags);
    LCT_FUZZ_CHECK(guard.restore(hidden) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = lct::fuzz::bytesOf(data, size);
    checkRoundTrip(text, lct::TagGuard::defaultPlaceholder());
    checkRoundTrip(text, lct::TagGuard::shortPlaceholder());
    return 0;
}
