#pragma once
// The script converter's own tables (see platform/script_converter.h): built
// once from an OpenCC configuration's dictionaries (script_tables_build.cpp),
// then used to convert whole texts in one pass (script_tables.cpp).

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace opencc {
class Converter;
class Dict;
}  // namespace opencc

namespace lct {

// The tables of one OpenCC configuration shaped like s2t.json and t2s.json:
// segmentation by maximum forward match over one dictionary S, then a chain of
// one conversion over a group of dictionaries D1..Dn. OpenCC turns a run of
// text into segments: each longest key of S found at a position is a segment
// of its own, and the characters between such keys form a segment together.
// The conversion then matches, at each position of a segment and inside it
// only, the longest key of the first Di that has a key there.
//
// The tables give the same results in one pass:
//  - a key of S becomes its conversion, worked out once when building;
//  - a character between keys of S becomes the first value of the first Di
//    that has it as a key, or stays.
// The second rule is exact when every key of the Di of more than one character
// is also a key of S: such a key cannot start where S found none. Building
// refuses any other shape (the converter then calls OpenCC instead), and also
// keys of S holding NUL, LF or the raw-byte points, which end runs.
//
// Keys live in one trie over code points. Each character has an entry in a
// table indexed by the code point (a sorted list above the BMP): its
// conversion as a key of S, its conversion between keys of S (held in the
// entry itself when it is one character), and its children. The children of a
// node sit together in a small open-addressing table of their own; a slot
// holds what its node converts to, so a step of the walk reads one slot. Most
// characters start keys of S, but few pairs do: a bit filter over the pairs
// that start keys spares most characters the look at their children, and
// needs no other load first. Longer conversions live in one pool, each behind
// a header with its size and the change of length it makes.
class ScriptTables {
  public:
    /// Empty tables: build() fills them.
    ScriptTables() = default;
    ScriptTables(const ScriptTables&) = delete;
    ScriptTables& operator=(const ScriptTables&) = delete;

    /// nullptr, with the reason in `why`, for a shape the tables do not cover.
    /// OpenCC's exceptions pass through: the caller catches them.
    static std::unique_ptr<const ScriptTables> build(const opencc::Converter& converter,
                                                     std::string& why);

    /// Appends the conversion of `utf8` to `out`, with the length-keeping rule
    /// of convertKeepingLength; false when `utf8` is not valid UTF-8.
    bool convert(std::string_view utf8, std::string& out) const;

  private:
    friend class ScriptTablesBuilder;
    class Pass;

    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    static constexpr char32_t kNoChar = ~char32_t{0};

    struct PieceHeader {
        std::uint16_t size;  ///< bytes that follow
        std::int16_t delta;  ///< code points gained against the matched key
    };
    struct Children {
        std::uint32_t offset = kNone;  ///< of the first slot in slots_; kNone for none
        std::uint32_t mask = 0;        ///< slots - 1 (a power of two)
    };
    struct Slot {
        char32_t cp = kNoChar;         ///< kNoChar for a free slot
        std::uint32_t node = 0;        ///< into children_; 0 when no key goes on
        std::uint32_t phrase = kNone;  ///< the conversion of the key of S that ends here
    };
    struct First {
        Children children;
        std::uint32_t phrase = kNone;  ///< the conversion of this character as a key of S
        std::uint32_t single = kNone;  ///< its conversion between keys of S
        std::array<char, 4> bytes{};   ///< the same when it is one code point
        std::uint8_t size = 0;         ///< bytes of it in `bytes`; 0 when it is not there
    };

    static std::uint32_t slotHash(char32_t cp) {
        const std::uint32_t h = std::uint32_t{cp} * 0x9E3779B1u;
        return h ^ (h >> 16);
    }
    const Slot* findChild(const Children& children, char32_t cp) const {
        std::uint32_t i = slotHash(cp) & children.mask;
        for (std::uint32_t probes = 0; probes <= children.mask; ++probes) {
            const Slot& slot = slots_[children.offset + i];
            if (slot.cp == cp) return &slot;
            if (slot.cp == kNoChar) return nullptr;
            i = (i + 1) & children.mask;
        }
        return nullptr;
    }
    std::uint64_t pairBit(char32_t first, char32_t second) const {
        return (((std::uint64_t{first} << 21) | second) * 0x9E3779B97F4A7C15ull) >> pairShift_;
    }
    /// False when no key of S starts with `first` and `second`.
    bool mayStartKey(char32_t first, char32_t second) const {
        const std::uint64_t bit = pairBit(first, second);
        return (pairs_[bit >> 6] >> (bit & 63)) & 1;
    }
    const First& firstOf(char32_t cp) const;
    PieceHeader header(std::uint32_t piece) const {
        PieceHeader h;
        std::memcpy(&h, pool_.data() + piece, sizeof h);
        return h;
    }
    /// Appends a piece and gives the change of length it makes.
    int appendPiece(std::uint32_t piece, std::string& out) const {
        const PieceHeader h = header(piece);
        out.append(pool_, piece + sizeof h, h.size);
        return h.delta;
    }
    /// Appends the conversion of a character between keys of S.
    int appendSingle(const First& first, std::string& out) const {
        if (first.size == 0) return appendPiece(first.single, out);
        out.append(first.bytes.data(), first.size);
        return 0;
    }
    /// The longest key of S that starts with the character `first` (whose
    /// bytes end at `next`): its conversion and where it ends; kNone and
    /// `next` when there is none.
    struct KeyMatch {
        std::uint32_t piece;
        const unsigned char* end;
    };
    KeyMatch longestKey(const First& first, char32_t cp, const unsigned char* next,
                        const unsigned char* end) const;
    void convertOneByOne(const unsigned char* p, const unsigned char* end, std::string& out) const;

    std::vector<First> bmp_ = std::vector<First>(0x10000);
    std::vector<std::pair<char32_t, First>> astral_;  // the characters above the BMP, sorted
    First none_;                                      // of the characters that start nothing
    std::vector<Children> children_;                  // of each deeper node, by its number
    std::vector<Slot> slots_;
    std::vector<std::uint64_t> pairs_;  // bits of pairBit() for the first two characters of keys
    int pairShift_ = 64;
    std::string pool_;
    std::array<bool, 0x80> plainAscii_{};  // ASCII that ends no run and starts no key
};

/// The dictionaries of a loaded configuration: the segmentation's, then the
/// conversions', each group flattened into the order in which it consults them.
std::vector<std::shared_ptr<opencc::Dict>> configurationDicts(const opencc::Converter& converter);

}  // namespace lct
