#pragma once
// How much insertion may add to a text. A count is the user's to choose, and
// counts of thousands into every line of an article are ordinary; only what
// would exhaust memory is cut. Insertion may add at most 64 MiB plus 16 times
// the text it inserts into (the same cap as a pattern replacement's result):
// no ordinary article and count comes near it, while a count of two billion
// stops there. Each item counts one byte more than its text, for the space
// that may keep it apart from a word and so that empty items are bounded too.

#include <cstddef>
#include <limits>
#include <string>

namespace lct {

/// The bytes insertion may add to a text of `textBytes` bytes.
constexpr std::size_t outputAllowance(std::size_t textBytes) {
    constexpr std::size_t kBase = std::size_t{64} << 20;
    constexpr std::size_t kPerByte = 16;
    if (textBytes > (std::numeric_limits<std::size_t>::max() - kBase) / kPerByte)
        return std::numeric_limits<std::size_t>::max();
    return kBase + kPerByte * textBytes;
}

/// What an item costs against an allowance: its bytes and one more.
inline std::size_t itemCost(const std::string& item) {
    return item.size() + 1;
}

/// An allowance being spent, piece by piece.
class OutputBudget {
  public:
    explicit OutputBudget(std::size_t bytes) : left_(bytes) {}

    /// True, spending them, when `bytes` more fit; otherwise false, nothing
    /// is spent, and the budget counts as cut.
    [[nodiscard]] bool take(std::size_t bytes) {
        if (bytes > left_) {
            cut_ = true;
            return false;
        }
        left_ -= bytes;
        return true;
    }
    std::size_t left() const { return left_; }
    /// True once something did not fit.
    bool cut() const { return cut_; }

  private:
    std::size_t left_;
    bool cut_ = false;
};

}  // namespace lct
