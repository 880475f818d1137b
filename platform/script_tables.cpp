#include "platform/script_tables.h"

#include <algorithm>

#include "platform/utf8.h"

namespace lct {

const ScriptTables::First& ScriptTables::firstOf(char32_t cp) const {
    if (cp < 0x10000) return bmp_[cp];
    const auto at = std::lower_bound(astral_.begin(), astral_.end(), cp,
                                     [](const auto& entry, char32_t c) { return entry.first < c; });
    return at != astral_.end() && at->first == cp ? at->second : none_;
}

ScriptTables::KeyMatch ScriptTables::longestKey(const First& first, char32_t cp,
                                                const unsigned char* next,
                                                const unsigned char* end) const {
    KeyMatch match{first.phrase, next};
    const Children* children = first.children.offset != kNone ? &first.children : nullptr;
    for (const unsigned char* q = next; children && q < end;) {
        const Utf8Char c = readUtf8(q, end);
        if (c.size == 0) break;
        if (children == &first.children && !mayStartKey(cp, c.cp)) break;
        const Slot* slot = findChild(*children, c.cp);
        if (!slot) break;
        q += c.size;
        if (slot->phrase != kNone) match = {slot->phrase, q};
        children = slot->node != 0 ? &children_[slot->node] : nullptr;
    }
    return match;
}

void ScriptTables::convertOneByOne(const unsigned char* p, const unsigned char* end,
                                   std::string& out) const {
    while (p < end) {
        const Utf8Char c = readUtf8(p, end);
        const std::size_t n = std::max<std::size_t>(1, c.size);
        const First& first = firstOf(c.cp);
        const std::uint32_t piece = first.phrase != kNone ? first.phrase : first.single;
        if (piece != kNone && header(piece).delta == 0) {
            appendPiece(piece, out);
        } else {
            out.append(reinterpret_cast<const char*>(p), n);
        }
        p += n;
    }
}

// One conversion of a text. The bytes from copyFrom_ to the read position are
// kept as they are and not yet written. A run (as in convertKeepingLength)
// starts at runStart_, its output at runOut_; runDelta_ is the change of its
// length in code points so far.
class ScriptTables::Pass {
  public:
    Pass(const ScriptTables& tables, std::string_view utf8, std::string& out)
        : tables_(tables),
          end_(reinterpret_cast<const unsigned char*>(utf8.data()) + utf8.size()),
          out_(out),
          copyFrom_(reinterpret_cast<const unsigned char*>(utf8.data())),
          runStart_(copyFrom_),
          runOut_(out.size()) {}

    bool run() {
        const unsigned char* p = copyFrom_;
        while (p < end_) {
            if (*p < 0x80 && tables_.plainAscii_[*p]) {
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
            if (c.cp == '\n') endRun(p);
        }
        endRun(p);
        return true;
    }

  private:
    void flushCopy(const unsigned char* p) {
        out_.append(reinterpret_cast<const char*>(copyFrom_),
                    static_cast<std::size_t>(p - copyFrom_));
        copyFrom_ = p;
    }

    void startRun(const unsigned char* p) {
        runStart_ = p;
        runOut_ = out_.size();
    }

    // Ends the run at `p`, converting it again one character at a time when
    // its length changed.
    void endRun(const unsigned char* p) {
        flushCopy(p);
        if (runDelta_ != 0) {
            out_.resize(runOut_);
            tables_.convertOneByOne(runStart_, p, out_);
            runDelta_ = 0;
        }
        startRun(p);
    }

    // Copies the character of `size` bytes at `p` (NUL or a raw byte) between
    // runs; returns where the next one starts.
    const unsigned char* copyThrough(const unsigned char* p, std::size_t size) {
        endRun(p);
        p += size;
        flushCopy(p);
        startRun(p);
        return p;
    }

    // Converts the key of S or the single character that starts with `c` at
    // `p`; returns where the next character starts.
    const unsigned char* convertAt(const unsigned char* p, Utf8Char c) {
        const First& first = tables_.firstOf(c.cp);
        const KeyMatch key = tables_.longestKey(first, c.cp, p + c.size, end_);
        if (key.piece != kNone) {
            flushCopy(p);
            runDelta_ += tables_.appendPiece(key.piece, out_);
            copyFrom_ = key.end;
        } else if (first.single != kNone) {
            flushCopy(p);
            runDelta_ += tables_.appendSingle(first, out_);
            copyFrom_ = key.end;
        }
        return key.end;
    }

    const ScriptTables& tables_;
    const unsigned char* const end_;
    std::string& out_;
    const unsigned char* copyFrom_;
    const unsigned char* runStart_;
    std::size_t runOut_;
    std::int64_t runDelta_ = 0;
};

bool ScriptTables::convert(std::string_view utf8, std::string& out) const {
    return Pass(*this, utf8, out).run();
}

}  // namespace lct
