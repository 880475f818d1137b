// The regex object with a user's pattern, replacement text and subject, under
// tight run limits so that a runaway pattern ends quickly.
//
// Checks: a pattern that does not compile gives empty results; every match
// stands at its reported character position in the subject; replacing every
// match by "$&" gives the subject back; an escaped literal finds itself.

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/bytes.h"
#include "platform/charset.h"
#include "regex/escape.h"
#include "regex/regex_object.h"

namespace {

using namespace std::chrono_literals;

lct::RegexRunLimits tightLimits() {
    lct::RegexRunLimits limits;
    limits.baseTime = 100ms;
    limits.timePerMiB = 100ms;
    limits.outputBase = std::size_t{1} << 20;
    return limits;
}

// True when `match` stands in `subject` at character `position`, as the
// regex object counts characters (code points of the byte-preserving
// decoding): the bytes before it are the first `position` characters.
bool standsAt(std::string_view subject, int position, std::string_view match) {
    const std::string utf8 = lct::gbkToUtf8(subject, lct::InvalidBytes::Preserve);
    std::size_t at = 0;
    for (int chars = 0; at < utf8.size() && chars < position; ++chars) {
        ++at;
        while (at < utf8.size() && lct::isContinuation(lct::byteAt(utf8, at)))
            ++at;
    }
    const std::size_t before = lct::utf8ToGbk(std::string_view(utf8).substr(0, at)).size();
    return subject.substr(before, match.size()) == match;
}

void checkMatches(lct::RegexObject& regex, std::string_view subject) {
    const int count = regex.execute(subject);
    if (regex.runFailed()) {
        LCT_FUZZ_CHECK(count == 0);
        return;
    }
    LCT_FUZZ_CHECK(count == regex.matchCount());
    for (int i = 1; i <= count && i <= 64; ++i) {
        int position = -1;
        const std::string text = regex.matchTextAt(i, &position);
        LCT_FUZZ_CHECK(position >= 0);
        LCT_FUZZ_CHECK(standsAt(subject, position, text));
        for (int j = 1; j <= regex.subMatchCount() && j <= 8; ++j)
            (void)regex.subMatchText(i, j);
    }
    LCT_FUZZ_CHECK(regex.matchText(count + 1).empty());
}

void checkLiteral(std::string_view literal, bool ignoreCase) {
    if (literal.empty()) return;
    lct::RegexObject regex;
    regex.setRunLimits(tightLimits());
    LCT_FUZZ_CHECK(regex.create(lct::escapeAll(literal), ignoreCase, false, false));
    const int count = regex.execute(literal);
    if (regex.runFailed()) return;
    LCT_FUZZ_CHECK(count == 1);
    int position = -1;
    LCT_FUZZ_CHECK(regex.matchTextAt(1, &position) == literal);
    LCT_FUZZ_CHECK(position == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool ignoreCase = input.ConsumeBool();
    const bool multiline = input.ConsumeBool();
    const bool global = input.ConsumeBool();
    const std::string pattern = input.ConsumeRandomLengthString(128);
    const std::string replacement = input.ConsumeRandomLengthString(64);
    const std::string subject = input.ConsumeRemainingBytesAsString();

    lct::RegexObject regex;
    regex.setRunLimits(tightLimits());
    if (!regex.create(pattern, ignoreCase, multiline, global)) {
        LCT_FUZZ_CHECK(!regex.ok());
        LCT_FUZZ_CHECK(regex.execute(subject) == 0);
        LCT_FUZZ_CHECK(regex.replace(subject, replacement).empty());
        checkLiteral(pattern, ignoreCase);
        return 0;
    }
    checkMatches(regex, subject);
    (void)regex.replace(subject, replacement);
    const std::string same = regex.replace(subject, "$&");
    LCT_FUZZ_CHECK(regex.runFailed() || same == subject);
    checkLiteral(pattern, ignoreCase);
    return 0;
}
