#pragma once
// The largest result a tool window builds. A result box holding more is of no
// use to anyone (and a text box spends far more memory per line than the text
// does), while absurd options (two billion groups or items, a template
// repeated millions of times) would otherwise exhaust memory instead of ending.
// Every generator checks an item against the limits before it appends it, so
// a result never passes them; a result cut there is announced.

#include <cstddef>
#include <string>
#include <string_view>

#include "form/form.h"

namespace lct {

/// Bytes of GBK text; generation stops before passing it (see each tool).
constexpr std::size_t kMaxToolResultBytes = std::size_t{64} << 20;

/// Groups or items (lines, with the default separators) in one result.
constexpr int kMaxToolResultItems = 1'000'000;

struct ResultLimits {
    std::size_t maxItems = kMaxToolResultItems;
    std::size_t maxBytes = kMaxToolResultBytes;
};

/// What a generator made: its items, its bytes, and whether it stopped at a
/// limit (an item was left out because it would have passed one).
struct ResultCount {
    std::size_t items = 0;
    std::size_t bytes = 0;
    bool limitReached = false;
};

/// Appends a tool's result item by item within the limits.
class ResultBuilder {
  public:
    explicit ResultBuilder(const ResultLimits& limits = {}) : limits_(limits) {}

    /// True, counting one item, when an item of `bytes` more bytes keeps the
    /// result within both limits; the caller then appends exactly those bytes.
    /// Otherwise false, the result counts as cut, and nothing may be appended.
    [[nodiscard]] bool admit(std::size_t bytes);
    /// For an item built piece by piece: true when an item of `bytes` bytes
    /// could still be admitted. Otherwise false and the result counts as cut,
    /// so that the generator stops building an item that would never fit.
    [[nodiscard]] bool fits(std::size_t bytes);

    std::string& text() { return text_; }
    std::size_t items() const { return items_; }
    bool limitReached() const { return limitReached_; }
    ResultCount count() const { return {items_, text_.size(), limitReached_}; }

  private:
    ResultLimits limits_;
    std::string text_;
    std::size_t items_ = 0;
    bool limitReached_ = false;
};

/// The announcement of a result cut at the limits (GBK): how many `unit`s
/// (UTF-8, such as "行" or "组") and bytes it holds, and the limits.
std::string resultLimitMessage(const ResultCount& count, std::string_view unit,
                               const ResultLimits& limits = {});

/// Shows resultLimitMessage in a warning box captioned `titleUtf8` when
/// `count` says the result was cut; nothing otherwise.
void announceResultLimit(Form& form, const ResultCount& count, std::string_view unit,
                         std::string_view titleUtf8, const ResultLimits& limits = {});

}  // namespace lct
