#pragma once
// The output of the table-driven conversion loops (platform/gb18030_tables,
// platform/big5_tables).

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/gb18030_tables.h"

namespace lct {

// The output buffer, grown a block at a time as it fills (so that the zeroes
// a resize writes are still in the cache when the text overwrites them) and
// shrunk to what was written at the end.
class TableWriter {
  public:
    /// `expected`: about how many bytes the whole run writes.
    TableWriter(std::string& out, std::size_t expected)
        : out_(out), used_(out.size()), block_(std::min<std::size_t>(expected, 32 << 10)) {}
    ~TableWriter() { out_.resize(written()); }
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    /// Makes room for `n` more bytes (none at first: then the buffer is
    /// still taken, so that a copy of nothing never goes to a null pointer).
    void room(std::size_t n) {
        if (at_ && static_cast<std::size_t>(end_ - at_) >= n) return;
        const std::size_t used = written();
        out_.resize(used + std::max(n, block_));
        at_ = out_.data() + used;
        end_ = out_.data() + out_.size();
    }

    /// Where the next byte goes, for a loop that writes within the room it
    /// made and then hands back where it stopped.
    char* at() const { return at_; }
    void advanceTo(char* at) { at_ = at; }

    void byte(unsigned b) { *at_++ = static_cast<char>(b); }
    void bytes(const char* from, std::size_t n) {
        __builtin_memcpy(at_, from, n);
        at_ += n;
    }
    void unit16(unsigned u, UnicodeForm form) {
        if (form == UnicodeForm::Utf16Le) {
            byte(u & 0xFF);
            byte(u >> 8);
        } else {
            byte(u >> 8);
            byte(u & 0xFF);
        }
    }
    void character(char32_t u, UnicodeForm form) {
        if (form != UnicodeForm::Utf8) return unit16(u, form);
        if (u < 0x80) return byte(u);
        if (u < 0x800) {
            byte(0xC0 | u >> 6);
            return byte(0x80 | (u & 0x3F));
        }
        byte(0xE0 | u >> 12);
        byte(0x80 | ((u >> 6) & 0x3F));
        byte(0x80 | (u & 0x3F));
    }

  private:
    std::size_t written() const {
        return at_ ? static_cast<std::size_t>(at_ - out_.data()) : used_;
    }

    std::string& out_;
    std::size_t used_;
    std::size_t block_;
    char* at_ = nullptr;
    char* end_ = nullptr;
};

}  // namespace lct
