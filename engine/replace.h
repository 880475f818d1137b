#pragma once
// Replacing texts by the user's match lists, plainly or by a regular
// expression. Texts, lists and patterns are GBK.

#include <string>
#include <string_view>

#include "engine/keep_alive.h"

namespace lct {

/// `text` after replacing, for each match i of the "|" list `matchList` in
/// order, its occurrences by replacement i of `replacementList` (missing
/// replacements are "", surplus ones are ignored); each step works on the
/// result of the one before. ASCII letters compare without case unless
/// `caseSensitive`. With `count` >= 1 only the first `count` occurrences of
/// each match are replaced, otherwise all. Empty matches change nothing.
/// Each match replaced lets the caller's window breathe through `keepAlive`.
std::string replaceByLists(std::string_view text, std::string_view matchList,
                           std::string_view replacementList, bool caseSensitive, int count,
                           const KeepAlive& keepAlive = {});

/// `text` with the matches of the regular expression `pattern` (RegexObject
/// syntax, multi-line) replaced by `replacement` ($1, $& ... expand): the
/// first match only when `count` >= 1, every match otherwise. A pattern that
/// does not compile, or a run that stops at the engine's limits, leaves the
/// text unchanged and puts the reason into `error` (when given); on success
/// `error` is emptied.
std::string replaceByRegex(std::string_view text, std::string_view pattern,
                           std::string_view replacement, bool ignoreCase, int count,
                           std::string* error = nullptr);

}  // namespace lct
