#include "platform/script_tables.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>

#include "platform/charset.h"
#include "platform/utf8.h"

namespace lct {
namespace {

// How many parts an ideographic description operator (U+2FF0..U+2FFF)
// takes; 0 for any other character.
int idsArity(char32_t cp) {
    if (cp < 0x2FF0 || cp > 0x2FFF) return 0;
    if (cp == 0x2FF2 || cp == 0x2FF3) return 3;
    if (cp == 0x2FFE || cp == 0x2FFF) return 1;
    return 2;
}

// Moves `p` over one part of an ideographic description sequence: a
// character, or an operator and its parts. False when the sequence is cut
// (by the end, bytes that are no character, NUL or a raw-byte point), nests
// deeper than 16 or has more than 64 code points, as in OpenCC.
bool skipIdsPart(const unsigned char*& p, const unsigned char* end, int depth, int& codePoints) {
    if (p >= end || depth == 0 || codePoints >= 64) return false;
    const Utf8Char c = readUtf8(p, end);
    if (c.size == 0 || c.cp == 0 || c.cp >= kRawByteBase) return false;
    ++codePoints;
    p += c.size;
    for (int i = idsArity(c.cp); i > 0; --i)
        if (!skipIdsPart(p, end, depth - 1, codePoints)) return false;
    return true;
}

// Where the character `c` at `p` ends, or the whole ideographic description
// sequence that it starts: OpenCC copies such a sequence unconverted. The
// sequence may end with the line feed that ends its run, not go past it.
const unsigned char* unitEnd(const unsigned char* p, Utf8Char c, const unsigned char* end) {
    if (idsArity(c.cp) == 0) return p + c.size;
    if (const void* lineFeed = std::memchr(p, '\n', static_cast<std::size_t>(end - p)))
        end = static_cast<const unsigned char*>(lineFeed) + 1;
    const unsigned char* q = p;
    int codePoints = 0;
    return skipIdsPart(q, end, 16, codePoints) ? q : p + c.size;
}

std::size_t codePoints(const unsigned char* from, const unsigned char* to) {
    return utf8Length(
        std::string_view(reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from)));
}

// Adds a place to `offsets` unless it is the last one already.
void addOffset(ScriptOffsets& offsets, std::size_t in, std::size_t out) {
    if (offsets.empty() || offsets.back() != std::pair{in, out}) offsets.emplace_back(in, out);
}

// The offsets of `first` followed by `second` (which converted the output of
// `first`): the places that both have.
ScriptOffsets compose(const ScriptOffsets& first, const ScriptOffsets& second) {
    ScriptOffsets both;
    std::size_t j = 0;
    for (const auto& [in, middle] : first) {
        while (j < second.size() && second[j].first < middle)
            ++j;
        if (j < second.size() && second[j].first == middle) addOffset(both, in, second[j].second);
    }
    return both;
}

}  // namespace

const ScriptKeyTable::First& ScriptKeyTable::astralFirstOf(char32_t cp) const {
    const auto at = std::lower_bound(in_.astral.begin(), in_.astral.end(), cp,
                                     [](const Astral& entry, char32_t c) { return entry.cp < c; });
    return at != in_.astral.end() && at->cp == cp ? at->first : in_.pages[0][0];
}

ScriptKeyTable::Match ScriptKeyTable::longest(char32_t cp, const unsigned char* next,
                                              const unsigned char* end) const {
    const First& first = firstOf(cp);
    Match match{first.piece, first.level, next};
    const Children* children = first.children.offset != kNone ? &first.children : nullptr;
    for (const unsigned char* q = next; children && q < end;) {
        const Utf8Char c = readUtf8(q, end);
        if (c.size == 0) break;
        if (children == &first.children && !mayStartKey(cp, c.cp)) break;
        const Slot* slot = findChild(*children, c.cp);
        if (!slot) break;
        q += c.size;
        if (slot->piece != kNone && slot->level <= match.level)
            match = {slot->piece, slot->level, q};
        children = slot->node != 0 ? &in_.children[slot->node] : nullptr;
    }
    return match;
}

// One conversion of a text by one matcher, with the segments and gaps of
// ScriptTables. The bytes from copyFrom_ to the read position are kept as
// they are and not yet written: they belong to the gap, which goes to the
// output directly when no gap matcher follows, else to gap_ until a segment
// or the end of a run ends it. A run starts at runStart_, its output at
// runOut_; runDelta_ is the change of its length in code points so far.
class ScriptTables::Pass {
  public:
    Pass(const ScriptTables* tables, const ScriptKeyTable& table, std::uint8_t segmentLevels,
         std::span<const ScriptKeyTable> gapTables, bool keepLength, ScriptOffsets* offsets,
         std::string_view in, std::string& out)
        : tables_(tables),
          table_(table),
          segmentLevels_(segmentLevels),
          gapTables_(gapTables),
          keepLength_(keepLength),
          offsets_(offsets),
          end_(reinterpret_cast<const unsigned char*>(in.data()) + in.size()),
          out_(out),
          copyFrom_(reinterpret_cast<const unsigned char*>(in.data())),
          runStart_(copyFrom_),
          runOut_(out.size()) {
        if (offsets_) {
            offsets_->assign(1, {0, 0});
            gapOffsets_.assign(1, {0, 0});
        }
    }

    bool run() {
        const unsigned char* p = copyFrom_;
        while (p < end_) {
            if (*p < 0x80 && !offsets_ && table_.plainAscii(*p)) {
                ++p;
                continue;
            }
            const Utf8Char c = readUtf8(p, end_);
            if (c.size == 0) return false;
            if (c.cp == 0 || c.cp >= kRawByteBase) {
                p = copyThrough(p, c.size);
                continue;
            }
            p = convertAt(p, c);
            if (p[-1] == '\n') endRun(p);  // alone or ending a description sequence
        }
        endRun(p);
        return true;
    }

    /// The change of length in code points that the pass made.
    std::int64_t delta() const { return totalDelta_; }

  private:
    std::string& sink() { return gapTables_.empty() ? out_ : gap_; }

    void flushCopy(const unsigned char* p) {
        sink().append(reinterpret_cast<const char*>(copyFrom_),
                      static_cast<std::size_t>(p - copyFrom_));
        copyFrom_ = p;
    }

    // Notes that `in` code points of the input became `out` code points of
    // the gap.
    void noteGap(std::size_t in, std::size_t out) {
        inPoints_ += in;
        if (gapTables_.empty()) {
            outPoints_ += out;
            addOffset(*offsets_, inPoints_, outPoints_);
        } else {
            gapPoints_ += out;
            addOffset(gapOffsets_, inPoints_ - gapStart_, gapPoints_);
        }
    }

    void addDelta(std::int64_t delta) {
        runDelta_ += delta;
        totalDelta_ += delta;
    }

    // Converts the gap through the gap matchers into the output.
    void flushGap() {
        if (gapTables_.empty()) return;
        if (!gap_.empty()) {
            std::string* from = &gap_;
            for (std::size_t i = 0; i < gapTables_.size(); ++i) {
                const bool last = i + 1 == gapTables_.size();
                std::string& to = last ? out_ : scratch_[i % 2];
                if (!last) to.clear();
                ScriptOffsets stepOffsets;
                Pass step(tables_, gapTables_[i], 0, {}, false, offsets_ ? &stepOffsets : nullptr,
                          *from, to);
                step.run();  // the gap is valid UTF-8: it was read, or it is values of the tables
                addDelta(step.delta());
                if (offsets_) gapOffsets_ = compose(gapOffsets_, stepOffsets);
                from = &to;
            }
            if (offsets_) {
                for (const auto& [in, out] : gapOffsets_)
                    addOffset(*offsets_, gapStart_ + in, outPoints_ + out);
                outPoints_ += gapOffsets_.back().second;
            }
            gap_.clear();
        }
        if (offsets_) {
            gapOffsets_.assign(1, {0, 0});
            gapStart_ = inPoints_;
            gapPoints_ = 0;
        }
    }

    void startRun(const unsigned char* p) {
        runStart_ = p;
        runOut_ = out_.size();
    }

    // Ends the run at `p`, converting it again one character at a time when
    // its length must be kept and changed.
    void endRun(const unsigned char* p) {
        flushCopy(p);
        flushGap();
        if (keepLength_ && runDelta_ != 0) {
            out_.resize(runOut_);
            convertOneByOne(runStart_, p);
            totalDelta_ -= runDelta_;
        }
        runDelta_ = 0;
        startRun(p);
    }

    void convertOneByOne(const unsigned char* p, const unsigned char* end) {
        std::string alone;
        while (p < end) {
            const std::size_t n = readUtf8(p, end).size;
            const std::string_view character(reinterpret_cast<const char*>(p), n);
            alone.clear();
            const bool one =
                tables_->convert(character, alone, false, nullptr) && utf8Length(alone) == 1;
            out_ += one ? std::string_view(alone) : character;
            p += n;
        }
    }

    // Copies the character of `size` bytes at `p` (NUL or a raw byte) between
    // runs; returns where the next one starts.
    const unsigned char* copyThrough(const unsigned char* p, std::size_t size) {
        endRun(p);
        out_.append(reinterpret_cast<const char*>(p), size);
        p += size;
        copyFrom_ = p;
        if (offsets_) {
            ++inPoints_;
            ++outPoints_;
            addOffset(*offsets_, inPoints_, outPoints_);
            gapStart_ = inPoints_;
        }
        startRun(p);
        return p;
    }

    // Converts the key or copies the character (or sequence) that starts
    // with `c` at `p`; returns where the next one starts.
    const unsigned char* convertAt(const unsigned char* p, Utf8Char c) {
        const ScriptKeyTable::Match match = table_.longest(c.cp, p + c.size, end_);
        if (match.piece == ScriptKeyTable::kNone) {
            const unsigned char* next = unitEnd(p, c, end_);
            if (offsets_) {
                flushCopy(next);
                const std::size_t n = codePoints(p, next);
                noteGap(n, n);
            }
            return next;
        }
        flushCopy(p);
        copyFrom_ = match.end;
        if (match.level < segmentLevels_) {
            flushGap();
            const std::size_t before = out_.size();
            addDelta(table_.appendMatch(match, c.cp, p + c.size, out_));
            if (offsets_) {
                inPoints_ += codePoints(p, match.end);
                outPoints_ += utf8Length(std::string_view(out_).substr(before));
                addOffset(*offsets_, inPoints_, outPoints_);
                gapStart_ = inPoints_;
            }
            return match.end;
        }
        std::string& to = sink();
        const std::size_t before = to.size();
        addDelta(table_.appendMatch(match, c.cp, p + c.size, to));
        if (offsets_)
            noteGap(codePoints(p, match.end), utf8Length(std::string_view(to).substr(before)));
        return match.end;
    }

    const ScriptTables* tables_;
    const ScriptKeyTable& table_;
    const std::uint8_t segmentLevels_;
    const std::span<const ScriptKeyTable> gapTables_;
    const bool keepLength_;
    ScriptOffsets* const offsets_;
    const unsigned char* const end_;
    std::string& out_;
    const unsigned char* copyFrom_;
    const unsigned char* runStart_;
    std::size_t runOut_;
    std::int64_t runDelta_ = 0;
    std::int64_t totalDelta_ = 0;
    std::string gap_;
    std::string scratch_[2];
    // With offsets: code points read and written, where the gap started in
    // the input, and the gap's own offsets.
    std::size_t inPoints_ = 0;
    std::size_t outPoints_ = 0;
    std::size_t gapStart_ = 0;
    std::size_t gapPoints_ = 0;
    ScriptOffsets gapOffsets_;
};

bool ScriptTables::convertBy(const ScriptKeyTable& table, std::string_view utf8, std::string& out) {
    return Pass(nullptr, table, 0, {}, false, nullptr, utf8, out).run();
}

void ScriptTables::noteNormalizationLead() {
    normalizationLead_ = 0x100;
    for (unsigned pair = 0xC000; pair < 0x10000; ++pair) {
        if ((normalizationPairs_[pair >> 6] >> (pair & 63)) & 1) {
            normalizationLead_ = pair >> 8;
            break;
        }
    }
}

bool ScriptTables::mayNormalize(std::string_view utf8) const {
    if (normalization_.empty()) return false;
    if (normalizeAlways_) return true;
    if (normalizationLead_ > 0xFF) return false;
    // Eight bytes at a time, looking closer only where one of them is at
    // least the least first byte of a key: (b & 7F) + (80 - (lead & 7F))
    // reaches 80 just then, and never carries into the next byte.
    constexpr std::uint64_t kLow = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    const std::uint64_t add = kLow * (0x80u - (normalizationLead_ & 0x7Fu));
    const auto isCandidate = [&](std::size_t i) {
        const unsigned lead = byteAt(utf8, i);
        if (lead < normalizationLead_) return false;
        const unsigned pair = (lead << 8) | byteAt(utf8, i + 1);
        return ((normalizationPairs_[pair >> 6] >> (pair & 63)) & 1) != 0;
    };
    std::size_t i = 0;
    for (; i + 9 <= utf8.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, utf8.data() + i, 8);
        std::uint64_t found = word & ((word & ~kHigh) + add) & kHigh;
        for (; found != 0; found &= found - 1)
            if (isCandidate(i + static_cast<std::size_t>(std::endian::native == std::endian::little
                                                             ? std::countr_zero(found)
                                                             : std::countl_zero(found)) /
                                    8))
                return true;
    }
    for (; i + 1 < utf8.size(); ++i)
        if (isCandidate(i)) return true;
    return false;
}

bool ScriptTables::convert(std::string_view utf8, std::string& out, bool keepLength,
                           ScriptOffsets* offsets) const {
    std::string normalized;
    if (mayNormalize(utf8)) {
        for (const ScriptKeyTable& table : normalization_) {
            std::string next;
            if (!Pass(this, table, 0, {}, false, nullptr, utf8, next).run()) return false;
            normalized = std::move(next);
            utf8 = normalized;
        }
    }
    // A conversion that keeps the length keeps every place.
    ScriptOffsets* const passOffsets = keepLength ? nullptr : offsets;
    if (!Pass(this, scan_, segmentLevels_, gap_, keepLength, passOffsets, utf8, out).run())
        return false;
    if (offsets && keepLength) {
        const std::size_t length = utf8Length(utf8);
        offsets->clear();
        for (std::size_t i = 0; i <= length; ++i)
            offsets->emplace_back(i, i);
    }
    return true;
}

}  // namespace lct
