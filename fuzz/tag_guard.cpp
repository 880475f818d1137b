// The tag guard: hide the tags of any text, put them back, strip them.
//
// Checks: restore(protect(text)) is the text whenever the text does not hold
// the placeholder itself, with both placeholders; the saved tags are tags
// (a "<" and a ">" at their ends) and there is one placeholder per tag;
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

void checkRoundTrip(std::string_view text, const std::string& placeholder) {
    if (text.find('\xFF') != std::string_view::npos) return;
    lct::TagGuard guard;
    const std::string hidden = guard.protect(text, placeholder);
    LCT_FUZZ_CHECK(guard.restore(hidden) == text);

    const std::vector<std::string> tags = guard.savedTags();
    for (const std::string& tag : tags)
        LCT_FUZZ_CHECK(isTag(tag));
    std::size_t placeholders = 0;
    LCT_FUZZ_CHECK(without(hidden, placeholder, placeholders) == lct::TagGuard::strip(text));
    LCT_FUZZ_CHECK(placeholders == tags.size());

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

    // Texts that hold the placeholder already: nothing may crash.
    lct::TagGuard guard;
    const std::string hidden = guard.protect(text, lct::TagGuard::shortPlaceholder());
    (void)guard.restore(hidden);
    (void)lct::TagGuard::strip(text);
    return 0;
}
