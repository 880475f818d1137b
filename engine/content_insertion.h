#pragma once
// Content insertion: places the items of an article's item set into its
// content, in one of the fifteen ways of 组合框内容插入类型 (see ContentType):
// at random positions, inside each paragraph or sentence, around paragraph
// lines, every N characters, at the head or tail, or next to punctuation.
// Texts are GBK with CR LF line breaks. When tags are avoided, the pipeline
// has hidden them behind one-character placeholders before this runs.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/insert_options.h"
#include "engine/keep_alive.h"
#include "engine/keyword_supply.h"
#include "engine/output_budget.h"

namespace lct {

/// The article-level inputs of content insertion.
struct ContentArticle {
    std::string_view title;           ///< for building fresh items
    std::vector<std::string>* items;  ///< the article's item set; fresh sets replace it
    long long step = 1;               ///< type 8: drawn once per article, at least 1
    bool* capped = nullptr;           ///< set when a count was cut (see insertIntoContent)
    /// The content is dropped once the result is made: where it is copied
    /// whole, it may be given back as it is copied (RandomInsertion::lastRead).
    bool lastRead = false;
    /// When set, receives the byte range [begin, end) of each item in the
    /// result, in text order.
    std::vector<std::pair<std::size_t, std::size_t>>* spans = nullptr;
};

/// `content` with the items inserted by `options.contentType`. Fresh items
/// and sets come from `keywords` (the run's keyword state), separators from
/// `run`. Never fails: an empty content stays empty except for the head and
/// tail types, which still add their block; an unknown type changes nothing.
/// Only what would exhaust memory is cut: the line and sentence types repeat
/// a set for every line or sentence, and the head and tail types join theirs
/// with separators, within the content's outputAllowance (output_budget.h),
/// each line or sentence taking at most an equal share of what is left; the
/// chunk type stops adding items there too. A set that fits is inserted
/// whole, and `*article.capped` is set when something was cut. The other
/// types insert the set as it is (its size is bounded where it is made).
/// Each line, sentence, chunk or item placed lets the caller's window breathe
/// through `keepAlive`.
std::string insertIntoContent(std::string_view content, const ContentArticle& article,
                              const InsertOptions& options, InsertRunState& run,
                              KeywordSupply& keywords, const KeepAlive& keepAlive = {});

/// The items joined for a head or tail block (types 10 to 13): a separator is
/// drawn from the run for every item, the first included, and written between
/// items. `spans`, when given, receives each item's byte range in the block.
/// With a `budget`, each item and its separator are taken from it, and the
/// block ends before the first item that does not fit.
std::string joinWithSeparators(const std::vector<std::string>& items, InsertRunState& run,
                               Random& random,
                               std::vector<std::pair<std::size_t, std::size_t>>* spans = nullptr,
                               OutputBudget* budget = nullptr);

}  // namespace lct
