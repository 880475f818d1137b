#pragma once
// The script converter's own tables (see platform/script_converter.h): built
// once from a conversion chain (script_chain.h) by script_tables_build.cpp,
// then used to convert whole texts (script_tables.cpp).

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/script_chain.h"

namespace lct {

// One matcher: keys over code points, each with a level and what it converts
// to. At a position it finds the key of the lowest level that starts there,
// the longest of that level: the levels of a dictionary group (see
// ScriptLevels).
//
// Keys live in one trie. Each character has an entry, found through pages of
// 256 code points (a sorted list above the BMP): its own conversion as a key
// and its children. The children of a node sit together in a small
// open-addressing table of their own; a slot holds what its node converts to,
// so a step of the walk reads one slot. Most characters start keys, but few
// pairs do: a bit filter over the pairs that start keys spares most
// characters the look at their children. Conversions live in one pool, each
// behind a header with its size and the change of length it makes; those of
// one code point are also kept in the character's entry.
class ScriptKeyTable {
  public:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    static constexpr std::uint8_t kNoLevel = 0xFF;

    /// The best key found at a position: its conversion (kNone when no key
    /// starts there), its level and where it ends.
    struct Match {
        std::uint32_t piece;
        std::uint8_t level;
        const unsigned char* end;
    };

    /// The best key that starts with the character `cp`, whose bytes end at
    /// `next`, within [next, end).
    Match longest(char32_t cp, const unsigned char* next, const unsigned char* end) const;

    /// True for an ASCII byte that starts no key.
    bool plainAscii(unsigned char byte) const { return plainAscii_[byte & 0x7F]; }

    /// Appends a conversion and gives the change of length it makes.
    int appendPiece(std::uint32_t piece, std::string& out) const {
        const PieceHeader h = header(piece);
        out.append(in_.pool.data() + piece + sizeof h, h.size);
        return h.delta;
    }

    /// Appends the conversion of what longest(cp, next, ...) matched and
    /// gives the change of length it makes. A character alone converted to
    /// one code point comes from its entry, which the match has just read.
    int appendMatch(const Match& match, char32_t cp, const unsigned char* next,
                    std::string& out) const {
        if (match.end == next) {
            const First& first = firstOf(cp);
            if (first.size != 0) {
                out.append(first.bytes.data(), first.size);
                return 0;
            }
        }
        return appendPiece(match.piece, out);
    }

    bool empty() const { return keys_ == 0; }

    ScriptKeyTable() { readOwnArrays(); }
    // Copies are not made: the arrays that lookups read may be the table's
    // own, which a copy would still read.
    ScriptKeyTable(const ScriptKeyTable&) = delete;
    ScriptKeyTable& operator=(const ScriptKeyTable&) = delete;
    ScriptKeyTable(ScriptKeyTable&&) noexcept = default;
    ScriptKeyTable& operator=(ScriptKeyTable&&) noexcept = default;

  private:
    friend class ScriptKeyTableBuilder;
    friend class ScriptTablesImage;

    static constexpr char32_t kNoChar = ~char32_t{0};

    struct PieceHeader {
        std::uint16_t size;  ///< bytes that follow
        std::int16_t delta;  ///< code points gained against the matched key
    };
    struct Children {
        std::uint32_t offset = kNone;  ///< of the first slot in slots_; kNone for none
        std::uint32_t mask = 0;        ///< slots - 1 (a power of two)
    };
    // The records below are stored as they are in a table image (see
    // ScriptTables::image): their padding is spelt out, so that an image
    // holds no byte of unknown value.
    struct Slot {
        char32_t cp = kNoChar;        ///< kNoChar for a free slot
        std::uint32_t node = 0;       ///< into children_; 0 when no key goes on
        std::uint32_t piece = kNone;  ///< the conversion of the key that ends here
        std::uint8_t level = kNoLevel;
        std::array<std::uint8_t, 3> padding{};
    };
    struct First {
        Children children;
        std::uint32_t piece = kNone;  ///< the conversion of this character as a key
        std::uint8_t level = kNoLevel;
        std::uint8_t size = 0;        ///< bytes in `bytes`: the conversion when it is
        std::array<char, 4> bytes{};  ///< one code point; 0 when it is not
        std::array<std::uint8_t, 2> padding{};
    };
    using Page = std::array<First, 256>;
    struct Astral {
        char32_t cp;
        First first;
    };

    static std::uint32_t slotHash(char32_t cp) {
        const std::uint32_t h = std::uint32_t{cp} * 0x9E3779B1u;
        return h ^ (h >> 16);
    }
    const Slot* findChild(const Children& children, char32_t cp) const {
        std::uint32_t i = slotHash(cp) & children.mask;
        for (std::uint32_t probes = 0; probes <= children.mask; ++probes) {
            const Slot& slot = in_.slots[children.offset + i];
            if (slot.cp == cp) return &slot;
            if (slot.cp == kNoChar) return nullptr;
            i = (i + 1) & children.mask;
        }
        return nullptr;
    }
    // A pair sets two bits of one word of the filter: the word and the first
    // bit from the hash's highest bits, the second bit from the six below.
    struct PairBits {
        std::size_t word;
        std::uint64_t mask;
    };
    PairBits pairBits(char32_t first, char32_t second) const {
        const std::uint64_t h = ((std::uint64_t{first} << 21) | second) * 0x9E3779B97F4A7C15ull;
        const std::uint64_t bit = h >> pairShift_;
        return {
            static_cast<std::size_t>(bit >> 6),
            std::uint64_t{1} << (bit & 63) | std::uint64_t{1} << ((h >> (pairShift_ - 6)) & 63)};
    }
    /// False when no key starts with `first` and `second`.
    bool mayStartKey(char32_t first, char32_t second) const {
        const PairBits bits = pairBits(first, second);
        return (in_.pairs[bits.word] & bits.mask) == bits.mask;
    }
    const First& firstOf(char32_t cp) const {
        return cp < 0x10000 ? in_.pages[pageOf_[cp >> 8]][cp & 0xFF] : astralFirstOf(cp);
    }
    const First& astralFirstOf(char32_t cp) const;
    PieceHeader header(std::uint32_t piece) const {
        PieceHeader h;
        std::memcpy(&h, in_.pool.data() + piece, sizeof h);
        return h;
    }

    // The arrays that lookups read: the table's own below, or those of the
    // image it was read from, which outlives it.
    struct Arrays {
        std::span<const Page> pages;
        std::span<const Astral> astral;
        std::span<const Children> children;
        std::span<const Slot> slots;
        std::span<const std::uint64_t> pairs;
        std::string_view pool;
    };
    /// Lookups read the table's own arrays from now on.
    void readOwnArrays() {
        in_ = {pages_, astral_, children_, slots_, pairs_, {pool_.data(), pool_.size()}};
    }

    Arrays in_;
    std::array<std::uint32_t, 256> pageOf_{};  // of each 256 code points of the BMP; 0: none
    std::vector<Page> pages_ = std::vector<Page>(1);
    std::vector<Astral> astral_;      // the characters above the BMP, by code point
    std::vector<Children> children_;  // of each deeper node, by its number
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> pairs_ = std::vector<std::uint64_t>(1);
    int pairShift_ = 58;
    std::vector<char> pool_;  // a vector, so that moving the table keeps its bytes in place
    std::array<bool, 0x80> plainAscii_{};
    std::size_t keys_ = 0;
};

// The tables of a whole chain. A normalization is one matcher per
// conversion, run over a text only when it holds a character that one of
// them has as a key. Then one pass over the text with the scan matcher:
//  - with a segmentation, its keys are the scan's lowest levels; such a key
//    is a segment and becomes the conversion of the whole chain of it,
//    worked out when building. Between such keys lies a segment that each
//    conversion of the chain converts in turn (the gap matchers). When the
//    chain's first conversion has, besides the segmentation's keys (which
//    cannot start between them), only keys of one character, these are the
//    scan's next level and convert the gap on the way;
//  - without a segmentation, the scan matcher is the chain's first
//    conversion, and the gap matchers (the others) convert its output.
// Runs of text end after each LF, and at NUL and at the raw-byte points
// U+10FF00..U+10FFFF, which are copied: keys holding them are refused.
class ScriptTables {
  public:
    ScriptTables(const ScriptTables&) = delete;
    ScriptTables& operator=(const ScriptTables&) = delete;

    /// nullptr, with the reason in `why`, for a chain whose keys are empty,
    /// not valid UTF-8 or hold characters that end runs, whose normalization
    /// maps anything but one character to one character, or that has more
    /// levels or longer conversions than the tables hold.
    static std::unique_ptr<const ScriptTables> build(const ScriptChain& chain, std::string& why);

    /// The tables as bytes that fromImage() takes back (the program carries
    /// those of its chains, made when it is built). An image holds the byte
    /// order and record sizes of the machine that made it.
    std::string image() const;
    /// Where an image comes from: the build, which made it with image() and
    /// read it back (make_script_tables), or anywhere else.
    enum class ImageOrigin { Build, Unknown };
    /// The tables of an image; nullptr when it is cut, malformed, or made
    /// for another byte order or record layout. An image of Unknown origin
    /// also has every index of its tables checked (a millisecond or two),
    /// so that damaged bytes cannot lead a lookup astray, and is copied. One
    /// of the build, which lives as long as the program, is read where it
    /// is when it is aligned to 8 bytes, as the build aligns it.
    static std::unique_ptr<const ScriptTables> fromImage(std::string_view image,
                                                         ImageOrigin origin = ImageOrigin::Unknown);

    /// Appends the conversion of `utf8` to `out`; false when `utf8` is not
    /// valid UTF-8. With `keepLength`, a run whose length changed is
    /// converted again one character at a time, a character converted as a
    /// text of its own, kept when its conversion is not one code point.
    /// `offsets`, when given, receives where the conversion put each piece.
    bool convert(std::string_view utf8, std::string& out, bool keepLength,
                 ScriptOffsets* offsets) const;

  private:
    friend class ScriptTablesBuilder;
    friend class ScriptTablesImage;
    class Pass;

    ScriptTables() = default;
    bool mayNormalize(std::string_view utf8) const;
    /// Sets normalizationLead_ from normalizationPairs_.
    void noteNormalizationLead();
    /// Appends the conversion of `utf8` by `table` alone, as one segment.
    static bool convertBy(const ScriptKeyTable& table, std::string_view utf8, std::string& out);

    std::vector<ScriptKeyTable> normalization_;
    std::vector<std::uint64_t> normalizationPairs_;  // bits of the first two bytes of its keys
    bool normalizeAlways_ = false;                   // when one of them is ASCII
    unsigned normalizationLead_ = 0x100;             // the least first byte of C0 or more
    ScriptKeyTable scan_;
    std::uint8_t segmentLevels_ = 0;  // levels of scan_ below this are segments
    std::vector<ScriptKeyTable> gap_;
};

}  // namespace lct
