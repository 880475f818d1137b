#pragma once
// The largest result a tool window builds. A result box holding more is of no
// use to anyone (and a text box spends far more memory per line than the text
// does), while absurd options (two billion groups or items, a template
// repeated millions of times) would otherwise exhaust memory instead of ending.

#include <cstddef>

namespace lct {

/// Bytes of GBK text; generation stops before passing it (see each tool).
constexpr std::size_t kMaxToolResultBytes = std::size_t{64} << 20;

/// Groups or items (lines, with the default separators) in one result.
constexpr int kMaxToolResultItems = 1'000'000;

}  // namespace lct
