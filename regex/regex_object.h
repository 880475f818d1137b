#pragma once
// RegexObject: the one way the system matches and replaces patterns.
//
// Patterns, subjects and replacement texts are GBK, like every engine text.
// They are decoded to Unicode before PCRE2 sees them (UTF mode, JIT when
// available) and results are encoded back, so that a double-byte character is
// one character to the pattern and positions are character positions. Bytes
// that are not valid GBK survive the round trip unchanged.
//
// The syntax is ECMAScript-like: classes, \s \S \d \w (ASCII), greedy and lazy
// quantifiers, alternation, groups, \uXXXX, and in Multiline mode ^ and $ at
// every line start and end, where a line ends before CR LF, a lone CR or a lone
// LF (never between CR and LF). Replacement texts use $1..$99, $&, $`, $' and
// $$; every other character is literal.
//
// Failure convention: nothing throws and nothing is reported beyond the result.
// A pattern PCRE2 rejects, a run that exceeds the match limits (a runaway user
// pattern ends promptly instead of hanging) or the limits of one call (below),
// an index out of range: each gives the empty value of the result (empty text,
// 0). ok(), runFailed() and error() tell the caller what happened, so that
// callers can keep a user's text instead of taking the empty result.
//
// Limits of one call. PCRE2's match limits bound a single match attempt, but
// an unanchored search makes an attempt at every start position: a pattern
// such as "(?:\S\S)+\s" over a page without whitespace scans to the end of
// the page from every position, each attempt within the limits, and the whole
// search is quadratic (a 400 KB page: two minutes). No count of PCRE2's steps
// spans a whole search, so one execute or replace gets a time budget instead:
// 2 s plus 1 s per MiB of subject by default, far beyond what an ordinary
// pattern needs (about 20 ms per MiB) and short enough that a runaway search
// does not look like a hang. It is read from a monotonic clock, since waiting
// is what it bounds. The search runs in windows of start positions (PCRE2's
// offset limit) and the clock is read after every window and every match; a
// slow window makes the next one smaller, so a search stops soon after its
// budget. A search that finishes gives exactly the matches of one unlimited
// search. The result of replace is bounded too: "$'" after every character of
// a page would make it quadratic, so replace gives up once its result would
// pass 64 MiB plus 16 times the subject.
//
// Not copyable: the object owns PCRE2 handles (code, match data, match
// context, JIT stack), each through a unique_ptr. Movable.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lct {

/// The limits of one execute or replace call (see above). Sizes are bytes of
/// the subject as PCRE2 sees it (UTF-8).
struct RegexRunLimits {
    std::chrono::milliseconds baseTime{2000};        ///< time budget of any call
    std::chrono::milliseconds timePerMiB{1000};      ///< added per MiB of subject
    std::size_t outputBase = std::size_t{64} << 20;  ///< replace result cap of any call
    std::size_t outputPerSubjectByte = 16;           ///< added per byte of subject
    /// Start positions per search window in bytes; 0 (the default) adapts the
    /// window to the time windows take. A fixed size is for tests.
    std::size_t window = 0;
};

class RegexObject {
  public:
    RegexObject();
    /// A regex object created at once with `pattern` (see create), for the
    /// program's own fixed patterns, which tests compile; ok() tells.
    explicit RegexObject(std::string_view pattern, bool ignoreCase = true, bool multiline = true,
                         bool global = true);
    ~RegexObject();
    RegexObject(RegexObject&&) noexcept;
    RegexObject& operator=(RegexObject&&) noexcept;
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    /// Compiles `pattern` with the three options (each true when omitted).
    /// Global: execute finds every match and replace replaces every match;
    /// otherwise only the first. May be called again to recompile. Returns
    /// true when the pattern compiled.
    [[nodiscard]] bool create(std::string_view pattern, bool ignoreCase = true,
                              bool multiline = true, bool global = true);

    /// True after a create whose pattern compiled.
    bool ok() const;
    /// True when the last execute or replace stopped at a limit or an engine
    /// error (its result was the empty value).
    bool runFailed() const { return runFailed_; }
    /// Why create or the last run failed (ASCII, empty when nothing failed).
    const std::string& error() const { return error_; }
    /// Character offset in the pattern where compiling failed; -1 otherwise.
    int errorOffset() const { return errorOffset_; }

    /// The limits of later calls; they stay through create.
    void setRunLimits(const RegexRunLimits& limits) { limits_ = limits; }
    const RegexRunLimits& runLimits() const { return limits_; }

    /// Matches the subject, keeps the matches and a copy of the subject, and
    /// returns the number of matches; 0 on failure.
    int execute(std::string_view subject);

    /// The pattern text given to the last create; empty before any.
    std::string pattern() const;

    /// `subject` with the matches (all when Global, else the first) replaced
    /// by `replacement`. Empty text on failure (see runFailed()), including a
    /// result that would pass the output cap of the run limits.
    std::string replace(std::string_view subject, std::string_view replacement = {});

    int matchCount() const;
    /// Text of match i (1-based); empty when out of range.
    std::string matchText(int i) const;
    /// Text of group j (1-based) of match i; empty when unset or out of range.
    std::string subMatchText(int i, int j) const;
    /// Number of capturing groups, read from the first match; 0 without matches.
    int subMatchCount() const;
    /// Text of match i; `position` (when given) receives its 0-based character
    /// offset in the subject (unchanged when i is out of range).
    std::string matchTextAt(int i, int* position = nullptr) const;
    /// Text of group j of match i; `position` receives the offset of match i
    /// (the whole match, not the group).
    std::string subMatchTextAt(int i, int j, int* position = nullptr) const;

  private:
    struct Compiled;
    void compile(std::string_view pattern, bool ignoreCase, bool multiline, bool global);
    struct Span {
        std::size_t begin = 0;  // byte offsets in the decoded subject
        std::size_t end = 0;
        bool set = false;
    };
    struct Match {
        Span whole;
        int position = 0;  // 0-based character offset
        std::vector<Span> groups;
    };

    // Where the character positions of matches have been counted to.
    struct MatchCounter {
        std::size_t bytes = 0;
        int chars = 0;
    };

    // Finds the matches of `subject` (decoded) into `out`; false on failure.
    bool findMatches(const std::string& subject, std::vector<Match>& out);
    // The match the match data holds after a successful pcre2_match.
    Match matchInData(const std::string& subject, MatchCounter& counter) const;
    const Match* matchAt(int i) const;
    std::string spanText(const Span& span) const;

    std::unique_ptr<Compiled> compiled_;
    RegexRunLimits limits_;
    std::string pattern_;
    bool global_ = true;
    bool runFailed_ = false;
    std::string error_;
    int errorOffset_ = -1;
    std::string subject_;  // decoded copy of the last executed subject
    std::vector<Match> matches_;
};

}  // namespace lct
