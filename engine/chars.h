#pragma once
// The character model of the engine's GBK texts, and counting, searching and
// cutting by character.
//
// A text is scanned byte by byte from its start. One character is:
//   - a byte below 0x80 other than CR and LF;
//   - CR immediately followed by LF (a line break is one character);
//   - a lone CR, or a lone LF;
//   - a GB18030 four-byte sequence (81..FE, 30..39, 81..FE, 30..39), which is
//     how the codec carries characters that GBK lacks;
//   - any other byte of 0x80 or more together with the byte after it, whatever
//     that byte is (so a trail byte equal to '\', '|', '>' or a letter belongs
//     to its character and is never seen on its own);
//   - a lead byte at the very end of the text, alone.
// Positions are 1-based character indices; byte offsets stay in this module.
// Searches only ever match at character boundaries.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lct {

/// How line breaks are counted.
enum class CountMode {
    NoLineBreaks = 0,  ///< line-break characters count 0
    Characters = 1,    ///< every character counts 1 (the default)
    Bytes = 2,         ///< like Characters, but CR and LF count one each
};

/// Bytes of the character that starts at byte `offset` (0 at the end).
std::size_t charSize(std::string_view text, std::size_t offset);

/// Number of characters of `text` in the given counting mode.
int charCount(std::string_view text, CountMode mode = CountMode::Characters);

/// Character position where the first occurrence of `pattern` that begins at or
/// after character `start` begins, or -1 (also for an empty pattern). A start
/// below 1 means 1. Unless `caseSensitive`, ASCII letters compare without case;
/// double-byte characters are never folded.
int findChars(std::string_view text, std::string_view pattern, int start = 1,
              bool caseSensitive = false, CountMode mode = CountMode::Characters);

/// Position of the last occurrence of `pattern` that begins at or before
/// character `start` (case-sensitive), or -1.
int findCharsBackward(std::string_view text, std::string_view pattern, int start);

/// Every position where `pattern` occurs, each search starting one character
/// after the previous hit (so occurrences may overlap), in one linear pass.
/// Empty for an empty pattern.
std::vector<int> findAllChars(std::string_view text, std::string_view pattern,
                              bool caseSensitive = false);

/// The `count` characters that begin at character `start` (below 1 means 1);
/// shorter at the end of the text; empty for a count below 1 or a start past
/// the end. A CR LF line break is one character and is never split.
std::string midChars(std::string_view text, int start, int count);

/// `text` with every occurrence of `from` replaced by `to`, scanning from the
/// start and continuing after each replacement; at most `limit` replacements
/// when limit >= 1, all otherwise. Matches only at character boundaries;
/// unless `caseSensitive`, ASCII letters compare without case. An empty `from`
/// changes nothing.
std::string replaceText(std::string_view text, std::string_view from, std::string_view to,
                        bool caseSensitive = true, int limit = 0);

/// True when `pattern` (case-sensitive) occurs at byte `offset`, which must be a
/// character boundary of `text`, and ends at a character boundary. For the
/// other primitives; engine stages work with positions.
bool matchesAt(std::string_view text, std::size_t offset, std::string_view pattern);

/// True when `text` contains `pattern` at a character boundary (case-sensitive).
bool containsText(std::string_view text, std::string_view pattern);

/// Byte offsets of the character starts of one text, for random access by
/// character position in constant time. Built in one pass; the text must stay
/// alive and unchanged while the index is used.
class CharIndex {
  public:
    explicit CharIndex(std::string_view text);

    int count() const { return static_cast<int>(starts_.size()) - 1; }
    /// Byte offset where character `position` begins (count()+1 gives the text size).
    std::size_t offset(int position) const;
    /// The characters from `start` to `start + count - 1`, clipped to the text.
    std::string_view mid(int start, int count) const;
    /// The character at `position`, or empty.
    std::string_view at(int position) const { return mid(position, 1); }
    std::string_view text() const { return text_; }

  private:
    std::string_view text_;
    std::vector<std::uint32_t> starts_;
};

}  // namespace lct
