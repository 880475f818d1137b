#pragma once
// What the pipeline does to a title: inserting items in insert mode, picking a
// sentence of the article for shuffle-replace mode, and finishing the title so
// that it can name a file. Texts are GBK.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/insert_options.h"
#include "engine/keep_alive.h"
#include "platform/random.h"

namespace lct {

/// `title` with the items inserted by `options.titleType`: type 0 at random
/// positions (only the first item, once, when `titleOnce` is on or the content
/// type is 8 or 9), types 1 to 4 before, after, either side, or in place of
/// the title, joined by separators drawn from `run`. An empty item set leaves
/// the title as it is.
/// When `spans` is given, it receives the byte range of each item in the
/// result, in text order. Items and separators together stay within the
/// title's outputAllowance (output_budget.h): the items stop before the first
/// that would pass it, and `*capped` (when given) is set. Each item placed
/// lets the caller's window breathe through `keepAlive`.
std::string insertIntoTitle(std::string_view title, const std::vector<std::string>& items,
                            const InsertOptions& options, InsertRunState& run, Random& random,
                            std::vector<std::pair<std::size_t, std::size_t>>* spans = nullptr,
                            bool* capped = nullptr, const KeepAlive& keepAlive = {});

/// One sentence of `text` (tags removed, blank lines dropped, split at
/// punctuation, spaces and line breaks), tried in random order: the first
/// that, trimmed of spaces, is not empty, has at least `minimum` characters
/// (when minimum > 0) and contains `mustContain` (case-sensitive, when not
/// empty). When none qualifies, a random piece as it is; "" without pieces.
/// Each piece tried lets the caller's window breathe through `keepAlive`.
std::string pickSentence(std::string_view text, int minimum, std::string_view mustContain,
                         Random& random, const KeepAlive& keepAlive = {});

/// The separator pattern of pickSentence for a separator set: the set without
/// CR LF and ". " as a bracketed wildcard class, with alternatives for line
/// breaks and ". " when the set holds them.
std::string sentenceSeparatorPattern(std::string_view separators);

/// `title` made safe as a file name: \ / : * ? | < > become their full-width
/// forms, double quotes are removed, and so are line breaks and tabs. No
/// trimming, no length limit.
std::string finishTitle(std::string_view title);

}  // namespace lct
