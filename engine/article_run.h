#pragma once
// The article pipeline: the spine of the engine.
//
//   options (ArticleOptions, read from the main window's form)
//      │
//      ▼
//   ArticleRun ── prepared once per run: the random generator, keyword supply
//      │          (keywords, templates, pickers), the insert-mode separators and
//      │          sentence ends, the replace-existing search, compiled patterns
//      ▼
//   processArticle(title, content) ── once per article, in one of three modes:
//   (an article of a batch first leaves out the keywords that link to its own
//   address, link_map.h)
//      insert:           item set → title → (tags, links, comments, scripts and
//                        the head hidden) content → (all back)
//                        → script conversion → title without tags → title as
//                        first line → title safe as a file name
//      replace-existing: keywords already in the content → their items
//                        → script conversion
//      shuffle-replace:  shuffle title and content → a sentence into the title
//                        → the title into the content → replace by lists or
//                        patterns → script conversion → title finishing
//
// The run driver (run_driver.h) owns the run and calls processArticle for the
// preview article or for each file of a batch. Texts are GBK with CR LF.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/article_options.h"
#include "engine/insert_options.h"
#include "engine/keep_alive.h"
#include "engine/keyword_supply.h"
#include "engine/link_targets.h"
#include "engine/replace_existing.h"
#include "platform/random.h"
#include "regex/regex_object.h"

namespace lct {

/// The run-level state of the pipeline. The pickers, the sequential keyword
/// index and the generator continue from one article to the next.
class ArticleRun {
  public:
    /// A run with a fixed seed gives the same results for the same inputs.
    /// Every long loop of its articles lets the caller's window breathe
    /// through `keepAlive`.
    explicit ArticleRun(std::optional<std::uint64_t> seed = std::nullopt, KeepAlive keepAlive = {});
    ArticleRun(const ArticleRun&) = delete;
    ArticleRun& operator=(const ArticleRun&) = delete;

    /// Prepares the run for `options` with the keyword lines the driver took
    /// (ignored in shuffle-replace mode): templates, the plain keywords and
    /// their search (replace-existing), separators and sentence ends (insert).
    void prepare(const ArticleOptions& options, std::vector<std::string> keywordLines);

    Random& random() { return random_; }
    const KeepAlive& keepAlive() const { return keepAlive_; }
    KeywordSupply& keywords() { return keywords_; }
    InsertRunState& insert() { return insert_; }
    RegexObject& tagRegex() { return tagRegex_; }
    const ExistingKeywordReplacer* existing() const { return existing_ ? &*existing_ : nullptr; }
    LinkTargets& links() { return *links_; }

  private:
    Random random_;
    KeepAlive keepAlive_;
    KeywordSupply keywords_{random_, keepAlive_};
    InsertRunState insert_;
    RegexObject tagRegex_;
    std::optional<ExistingKeywordReplacer> existing_;
    std::optional<LinkTargets> links_{std::in_place, keywords_.addresses()};  // remade by prepare
};

/// What went wrong in an article. Texts are UTF-8 for people.
struct ArticleReport {
    /// What did not stop the article: a script conversion that was not
    /// available, or a count so large that it was cut where it would have
    /// exhausted memory.
    std::vector<std::string> problems;
    /// A user pattern (替换标题, 替换内容) that did not compile or ran away,
    /// naming the field: the text it was meant for stays unchanged, so the
    /// article is not what the options ask for. The preview shows it; a batch
    /// counts the article as failed and writes no result for it.
    std::vector<std::string> failures;
    /// The items the article got: inserted (insert mode) or replaced
    /// (replace-existing mode), title and content together; 0 in
    /// shuffle-replace mode.
    int items = 0;
    /// Set by the caller to have the items' places reported (the preview):
    /// byte ranges [begin, end) of the final title and content, in text
    /// order, one per item that stands in that text (an empty item has none).
    bool wantSpans = false;
    std::vector<std::pair<std::size_t, std::size_t>> titleSpans;
    std::vector<std::pair<std::size_t, std::size_t>> contentSpans;
    std::vector<std::pair<std::string, int>>
        keywordItems;  ///< GBK keyword (the list line's keyword part) and how many of the article's
                       ///< items were made from it, in first-use order
};

/// Runs one article through the pipeline of `options.mode`; `title` and
/// `content` are replaced by the results. Stages that are switched off leave
/// them unchanged; empty inputs give empty outputs (the head and tail content
/// types still add their block).
/// `pagePath` is the article's path on its site (UTF-8, "/" separators,
/// relative to the folder the batch listed): the keywords whose address is
/// the article's own (options.siteAddress followed by the path, see
/// link_map.h) are neither inserted nor replaced in it. Without one (the
/// preview) no keyword is left out.
void processArticle(const ArticleOptions& options, ArticleRun& run, std::string& title,
                    std::string& content, ArticleReport* report = nullptr,
                    std::optional<std::string_view> pagePath = std::nullopt);

}  // namespace lct
