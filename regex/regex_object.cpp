#include "regex/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <tuple>
#include <utility>

#include "platform/charset.h"
#include "platform/utf8.h"

namespace lct {
namespace {

// A runaway pattern must give up within a fraction of a second, while real
// patterns over megabyte pages stay far below these limits.
constexpr uint32_t kMatchLimit = 5'000'000;
constexpr uint32_t kDepthLimit = 100'000;
constexpr uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 8 * 1024 * 1024;

using Clock = std::chrono::steady_clock;
constexpr double kMiB = 1024.0 * 1024.0;

// Windows of start positions: a search begins with a small one, since each of
// its positions may cost a scan of the whole subject; a window that passed
// quickly without a match doubles, up to the largest, which keeps the calls
// few on pages where the pattern rarely matches.
constexpr std::size_t kFirstWindow = 64;
constexpr std::size_t kLargestWindow = 64 * 1024;

struct CodeFree {
    void operator()(pcre2_code* p) const { pcre2_code_free(p); }
};
struct CompileContextFree {
    void operator()(pcre2_compile_context* p) const { pcre2_compile_context_free(p); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};
struct JitStackFree {
    void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
};

std::string errorMessage(int code) {
    std::array<PCRE2_UCHAR, 256> buffer{};
    if (pcre2_get_error_message(code, buffer.data(), buffer.size()) < 0) return "regex error";
    return std::string(reinterpret_cast<const char*>(buffer.data()));
}

std::string decode(std::string_view gbk) {
    return gbkToUtf8(gbk, InvalidBytes::Preserve);
}

// A match in a decoded subject: its offsets, and its groups' (PCRE2_UNSET
// for a group that took no part).
struct MatchIn {
    std::string_view subject;
    std::size_t begin;
    std::size_t end;
    const std::vector<std::pair<std::size_t, std::size_t>>& groups;
};

// How many of the digits at `at` name a group of 1..`count`: two when the
// two-digit number does, else one when the first digit does, else none.
std::size_t groupDigits(std::string_view text, std::size_t at, std::size_t count) {
    const auto digitAt = [&](std::size_t k) {
        return k < text.size() && isAsciiDigit(text[k]) ? static_cast<std::size_t>(text[k] - '0')
                                                        : std::size_t{10};
    };
    const std::size_t one = digitAt(at);
    if (one == 10) return 0;
    const std::size_t two = one * 10 + digitAt(at + 1);
    if (digitAt(at + 1) < 10 && two >= 1 && two <= count) return 2;
    return one >= 1 && one <= count ? 1 : 0;
}

// What the "$" at `i` of a replacement stands for, and how many bytes of the
// replacement it takes: "$$", "$&", "$`", "$'" and "$1".."$99" (a group that
// took no part stands for nothing); any other "$" stands for itself.
std::pair<std::string_view, std::size_t> escapeAt(std::string_view replacement, std::size_t i,
                                                  const MatchIn& m) {
    switch (i + 1 < replacement.size() ? replacement[i + 1] : '\0') {
        case '$':
            return {"$", 2};
        case '&':
            return {m.subject.substr(m.begin, m.end - m.begin), 2};
        case '`':
            return {m.subject.substr(0, m.begin), 2};
        case '\'':
            return {m.subject.substr(m.end), 2};
        default:
            break;
    }
    const std::size_t digits = groupDigits(replacement, i + 1, m.groups.size());
    if (digits == 0) return {"$", 1};
    std::size_t number = 0;
    for (char d : replacement.substr(i + 1, digits))
        number = number * 10 + static_cast<std::size_t>(d - '0');
    const auto& [first, last] = m.groups[number - 1];
    if (first == PCRE2_UNSET) return {{}, 1 + digits};
    return {m.subject.substr(first, last - first), 1 + digits};
}

// Appends the expansion of a replacement text (decoded) for one match. False,
// with `out` left short, when the result would grow beyond `cap` bytes.
bool expandReplacement(std::string_view replacement, const MatchIn& match, std::size_t cap,
                       std::string& out) {
    for (std::size_t i = 0; i < replacement.size();) {
        std::string_view piece = replacement.substr(i, 1);
        std::size_t taken = 1;
        if (replacement[i] == '$') std::tie(piece, taken) = escapeAt(replacement, i, match);
        if (piece.size() > cap - std::min(cap, out.size())) return false;
        out.append(piece);
        i += taken;
    }
    return true;
}

// True when the pattern holds \G or a verb such as (*COMMIT) or (*SKIP):
// what they do depends on where a call to pcre2_match starts, so such a
// pattern is searched without windows. Erring on the safe side, a "(*" in a
// class or a quoted stretch counts too.
bool dependsOnCallStart(std::string_view pattern) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\\') {
            if (i + 1 < pattern.size() && pattern[i + 1] == 'G') return true;
            ++i;
        } else if (pattern[i] == '(' && i + 1 < pattern.size() && pattern[i + 1] == '*') {
            return true;
        }
    }
    return false;
}

// The last start position of the window of `window` bytes (at least 1) that
// begins at `offset`: the start of a character, and neither half of a CR LF.
// After a failed attempt at a CR, PCRE2 steps over the LF that follows unless
// the pattern names CR or LF, so a window must not begin at that LF; and the
// JIT code tries a limit that falls on that LF without that step (a multi-line
// "^" would match between CR and LF), so a window must not end there either.
std::size_t windowLast(std::string_view subject, std::size_t offset, std::size_t window) {
    const std::size_t size = subject.size();
    if (offset >= size || window > size - offset) return size;
    std::size_t last = offset + window - 1;
    while (last < size && isContinuation(byteAt(subject, last)))
        ++last;
    for (;;) {
        if (last + 1 < size && subject[last] == '\r' && subject[last + 1] == '\n') {
            last += 2;
        } else if (last > 0 && last < size && subject[last] == '\n' && subject[last - 1] == '\r') {
            last += 1;
        } else {
            break;
        }
    }
    return std::min(last, size);
}

// The size of the next window: it grows while windows pass quickly without a
// match and shrinks in proportion when one takes longer than a slice of the
// budget, so that the clock is read often enough to stop soon after the
// budget, yet seldom on ordinary pages.
class SearchWindow {
  public:
    SearchWindow(std::size_t fixed, Clock::duration budget)
        : fixed_(fixed),
          size_(fixed > 0 ? fixed : kFirstWindow),
          slice_(std::clamp<Clock::duration>(budget / 32, std::chrono::milliseconds(1),
                                             std::chrono::milliseconds(50))) {}

    std::size_t size() const { return size_; }

    // After a call that took `took`; `whole` when it tried every position of
    // the window (it found no match).
    void adapt(Clock::duration took, bool whole) {
        if (fixed_ > 0) return;
        if (took > slice_) {
            const double share = std::chrono::duration<double>(slice_) / took;
            size_ = std::max<std::size_t>(
                1, static_cast<std::size_t>(static_cast<double>(size_) * share / 2));
        } else if (whole && took < slice_ / 4) {
            size_ = std::min(size_ * 2, kLargestWindow);
        }
    }

  private:
    std::size_t fixed_;
    std::size_t size_;
    Clock::duration slice_;
};

Clock::duration timeBudget(const RegexRunLimits& limits, std::size_t subjectBytes) {
    const auto perMiB = std::chrono::duration<double>(limits.timePerMiB);
    return std::chrono::duration_cast<Clock::duration>(limits.baseTime) +
           std::chrono::duration_cast<Clock::duration>(perMiB *
                                                       (static_cast<double>(subjectBytes) / kMiB));
}

std::size_t outputCap(const RegexRunLimits& limits, std::size_t subjectBytes) {
    const std::size_t most = std::numeric_limits<std::size_t>::max();
    if (limits.outputPerSubjectByte > 0 && subjectBytes > most / limits.outputPerSubjectByte)
        return most;
    const std::size_t scaled = limits.outputPerSubjectByte * subjectBytes;
    return scaled > most - limits.outputBase ? most : limits.outputBase + scaled;
}

// Bytes of the character at `offset` of a decoded subject; a CR LF pair is one
// character.
std::size_t characterAt(std::string_view subject, std::size_t offset) {
    if (subject[offset] == '\r' && offset + 1 < subject.size() && subject[offset + 1] == '\n')
        return 2;
    return utf8SequenceSize(byteAt(subject, offset));
}

// Where a search goes on after a call that found no match from `offset` with
// starts up to `last`: at the character after `last` when the window ended
// before the subject; one character on when what was refused at `offset` is
// only an empty match (`afterEmpty`); npos when nothing is left to search.
std::size_t resumeAfterNoMatch(std::string_view subject, std::size_t offset, std::size_t last,
                               bool afterEmpty) {
    if (!afterEmpty && last < subject.size()) return last + utf8SequenceSize(byteAt(subject, last));
    if (!afterEmpty || offset >= subject.size()) return std::string_view::npos;
    return offset + characterAt(subject, offset);
}

}  // namespace

struct RegexObject::Compiled {
    std::unique_ptr<pcre2_code, CodeFree> code;
    std::unique_ptr<pcre2_match_data, MatchDataFree> matchData;
    std::unique_ptr<pcre2_match_context, MatchContextFree> matchContext;
    std::unique_ptr<pcre2_jit_stack, JitStackFree> jitStack;
    bool jit = false;
    bool crlfIsNewline = true;
    bool windowed = false;  // compiled for an offset limit, searched in windows
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(RegexObject&&) noexcept = default;
RegexObject& RegexObject::operator=(RegexObject&&) noexcept = default;

RegexObject::RegexObject(std::string_view pattern, bool ignoreCase, bool multiline, bool global) {
    compile(pattern, ignoreCase, multiline, global);
}

bool RegexObject::create(std::string_view pattern, bool ignoreCase, bool multiline, bool global) {
    compile(pattern, ignoreCase, multiline, global);
    return ok();
}

void RegexObject::compile(std::string_view pattern, bool ignoreCase, bool multiline, bool global) {
    compiled_.reset();
    matches_.clear();
    subject_.clear();
    runFailed_ = false;
    error_.clear();
    errorOffset_ = -1;
    pattern_ = pattern;
    global_ = global;

    std::unique_ptr<pcre2_compile_context, CompileContextFree> context(
        pcre2_compile_context_create(nullptr));
    if (!context) {
        error_ = "out of memory";
        return;
    }
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_ALT_BSUX);

    uint32_t options = PCRE2_UTF | PCRE2_NO_UTF_CHECK | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF;
    if (ignoreCase) options |= PCRE2_CASELESS;
    options |= multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;

    const std::string decoded = decode(pattern);
    auto compiled = std::make_unique<Compiled>();
    compiled->windowed = !dependsOnCallStart(decoded);
    if (compiled->windowed) options |= PCRE2_USE_OFFSET_LIMIT;
    int errorCode = 0;
    PCRE2_SIZE errorAt = 0;
    compiled->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(decoded.data()), decoded.size(),
                                       options, &errorCode, &errorAt, context.get()));
    if (!compiled->code) {
        error_ = errorMessage(errorCode);
        errorOffset_ = static_cast<int>(utf8Length(
            std::string_view(decoded).substr(0, std::min<std::size_t>(errorAt, decoded.size()))));
        return;
    }
    // An anchored pattern makes one attempt per call: nothing to window.
    uint32_t compiledOptions = 0;
    pcre2_pattern_info(compiled->code.get(), PCRE2_INFO_ALLOPTIONS, &compiledOptions);
    if ((compiledOptions & PCRE2_ANCHORED) != 0) compiled->windowed = false;
    compiled->jit = pcre2_jit_compile(compiled->code.get(), PCRE2_JIT_COMPLETE) == 0;
    compiled->matchData.reset(pcre2_match_data_create_from_pattern(compiled->code.get(), nullptr));
    compiled->matchContext.reset(pcre2_match_context_create(nullptr));
    if (!compiled->matchData || !compiled->matchContext) {
        error_ = "out of memory";
        return;
    }
    pcre2_set_match_limit(compiled->matchContext.get(), kMatchLimit);
    pcre2_set_depth_limit(compiled->matchContext.get(), kDepthLimit);
    pcre2_set_heap_limit(compiled->matchContext.get(), kHeapLimitKiB);
    if (compiled->jit) {
        compiled->jitStack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
        if (compiled->jitStack)
            pcre2_jit_stack_assign(compiled->matchContext.get(), nullptr, compiled->jitStack.get());
    }
    compiled_ = std::move(compiled);
}

bool RegexObject::ok() const {
    return compiled_ != nullptr;
}

bool RegexObject::findMatches(const std::string& subject, std::vector<Match>& out) {
    out.clear();
    runFailed_ = false;
    if (!compiled_) {
        runFailed_ = true;
        if (error_.empty()) error_ = "no pattern";
        return false;
    }
    pcre2_code* code = compiled_->code.get();
    pcre2_match_data* data = compiled_->matchData.get();
    pcre2_match_context* context = compiled_->matchContext.get();
    const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
    const std::size_t size = subject.size();
    auto fail = [&](std::string why) {
        runFailed_ = true;
        error_ = std::move(why);
        out.clear();
        return false;
    };

    const Clock::time_point start = Clock::now();
    Clock::time_point before = start;  // the end of one call stands for the start of the next
    const Clock::duration budget = timeBudget(limits_, size);
    SearchWindow window(limits_.window, budget);
    std::size_t offset = 0;
    uint32_t flags = 0;
    MatchCounter counter;
    for (;;) {
        // A match may start at `offset` .. `last`; a window without a match
        // hands over to the next, which begins at the character after `last`.
        std::size_t last = size;
        if (compiled_->windowed) {
            last = windowLast(subject, offset, window.size());
            pcre2_set_offset_limit(context, last);
        }
        const int rc =
            pcre2_match(code, bytes, size, offset, flags | PCRE2_NO_UTF_CHECK, data, context);
        const Clock::time_point after = Clock::now();
        if (after - start > budget) return fail("search stopped at its time budget");
        window.adapt(after - before, rc == PCRE2_ERROR_NOMATCH);
        before = after;
        if (rc == PCRE2_ERROR_NOMATCH) {
            offset = resumeAfterNoMatch(subject, offset, last, flags != 0);
            if (offset == std::string_view::npos) break;
            flags = 0;
            continue;
        }
        if (rc < 0) return fail(errorMessage(rc));
        out.push_back(matchInData(subject, counter));
        if (!global_) break;
        offset = out.back().whole.end;
        flags = out.back().whole.begin == offset ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
        if (offset > size) break;
    }
    return true;
}

RegexObject::Match RegexObject::matchInData(const std::string& subject,
                                            MatchCounter& counter) const {
    pcre2_match_data* data = compiled_->matchData.get();
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    const uint32_t pairs = pcre2_get_ovector_count(data);
    uint32_t groupCount = 0;
    pcre2_pattern_info(compiled_->code.get(), PCRE2_INFO_CAPTURECOUNT, &groupCount);
    Match m;
    m.whole = {ovector[0], ovector[1], true};
    // Matches come in subject order, so positions are counted on from the last.
    counter.chars += static_cast<int>(
        utf8Length(std::string_view(subject).substr(counter.bytes, ovector[0] - counter.bytes)));
    counter.bytes = ovector[0];
    m.position = counter.chars;
    m.groups.resize(groupCount);
    for (uint32_t g = 1; g <= groupCount && g < pairs; ++g) {
        if (ovector[2 * g] != PCRE2_UNSET)
            m.groups[g - 1] = {ovector[2 * g], ovector[2 * g + 1], true};
    }
    return m;
}

int RegexObject::execute(std::string_view subject) {
    subject_ = decode(subject);
    if (!findMatches(subject_, matches_)) return 0;
    return matchCount();
}

std::string RegexObject::pattern() const {
    return pattern_;
}

std::string RegexObject::replace(std::string_view subject, std::string_view replacement) {
    const std::string decoded = decode(subject);
    std::vector<Match> matches;
    if (!findMatches(decoded, matches)) return {};
    if (matches.empty()) return std::string(subject);
    const std::string repl = decode(replacement);
    const std::size_t cap = outputCap(limits_, decoded.size());
    std::string out;
    out.reserve(decoded.size() + decoded.size() / 8);
    std::size_t copied = 0;
    std::vector<std::pair<std::size_t, std::size_t>> groups;
    for (const Match& m : matches) {
        // The text between matches adds at most the subject to the result;
        // only the expansions can push it past the cap.
        out.append(decoded, copied, m.whole.begin - copied);
        groups.clear();
        for (const Span& g : m.groups)
            groups.emplace_back(g.set ? g.begin : PCRE2_UNSET, g.set ? g.end : PCRE2_UNSET);
        if (!expandReplacement(repl, {decoded, m.whole.begin, m.whole.end, groups}, cap, out)) {
            runFailed_ = true;
            error_ = "result passed its size limit";
            return {};
        }
        copied = m.whole.end;
    }
    out.append(decoded, copied);
    return utf8ToGbk(out);
}

int RegexObject::matchCount() const {
    return static_cast<int>(matches_.size());
}

const RegexObject::Match* RegexObject::matchAt(int i) const {
    if (i < 1 || i > matchCount()) return nullptr;
    return &matches_[static_cast<std::size_t>(i - 1)];
}

std::string RegexObject::spanText(const Span& span) const {
    if (!span.set) return {};
    return utf8ToGbk(std::string_view(subject_).substr(span.begin, span.end - span.begin));
}

std::string RegexObject::matchText(int i) const {
    return matchTextAt(i);
}

std::string RegexObject::subMatchText(int i, int j) const {
    return subMatchTextAt(i, j);
}

int RegexObject::subMatchCount() const {
    return matches_.empty() ? 0 : static_cast<int>(matches_.front().groups.size());
}

std::string RegexObject::matchTextAt(int i, int* position) const {
    const Match* m = matchAt(i);
    if (!m) return {};
    if (position) *position = m->position;
    return spanText(m->whole);
}

std::string RegexObject::subMatchTextAt(int i, int j, int* position) const {
    const Match* m = matchAt(i);
    if (!m) return {};
    if (position) *position = m->position;
    if (j < 1 || static_cast<std::size_t>(j) > m->groups.size()) return {};
    return spanText(m->groups[static_cast<std::size_t>(j - 1)]);
}

}  // namespace lct
