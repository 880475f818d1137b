#include "engine/article_run.h"

#include <algorithm>
#include <unordered_map>

#include "engine/chars.h"
#include "engine/content_insertion.h"
#include "engine/draws.h"
#include "engine/markup_regions.h"
#include "engine/output_budget.h"
#include "engine/patterns.h"
#include "engine/random_insert.h"
#include "engine/replace.h"
#include "engine/script.h"
#include "engine/shuffle.h"
#include "engine/tag_guard.h"
#include "engine/title_insertion.h"
#include "platform/charset.h"
#include "platform/memory.h"

namespace lct {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kCountsCapped = "插入次数过多，已按上限插入：";

// Records a problem once in `list`; `what` says which option it concerns.
void note(std::vector<std::string>& list, std::string_view what, const std::string& error) {
    if (error.empty()) return;
    std::string problem = std::string(what) + error;
    if (std::find(list.begin(), list.end(), problem) == list.end())
        list.push_back(std::move(problem));
}

void note(ArticleReport* report, std::string_view what, const std::string& error) {
    if (report) note(report->problems, what, error);
}

using Spans = std::vector<std::pair<std::size_t, std::size_t>>;

// Byte ranges of `text` (sorted, not overlapping, at character boundaries) as
// 0-based character ranges, in one walk; and back.
void spansToCharacters(std::string_view text, Spans& spans) {
    std::size_t offset = 0;
    std::size_t characters = 0;
    const auto walkTo = [&](std::size_t byte) {
        while (offset < byte && offset < text.size()) {
            offset += std::max<std::size_t>(charSize(text, offset), 1);
            ++characters;
        }
        return characters;
    };
    for (auto& [begin, end] : spans) {
        begin = walkTo(begin);
        end = walkTo(end);
    }
}

void spansToBytes(std::string_view text, Spans& spans) {
    std::size_t offset = 0;
    std::size_t characters = 0;
    const auto walkTo = [&](std::size_t character) {
        while (characters < character && offset < text.size()) {
            offset += std::max<std::size_t>(charSize(text, offset), 1);
            ++characters;
        }
        return offset;
    };
    for (auto& [begin, end] : spans) {
        begin = walkTo(begin);
        end = walkTo(end);
    }
}

// `text` converted in pieces that end after a line break, which no phrase
// crosses, so that a big text's UTF-8 forms are never held whole; nullopt, with
// `text` untouched, when the first piece fails. `text` is dropped for the
// result: once a piece is converted, its bytes go back to the system
// (platform/memory.h), so the text and its conversion are not held whole
// together. Should a later piece fail, the rest follows as it is.
std::optional<std::string> convertInPieces(std::string& text, ScriptConversion conversion,
                                           std::string& error) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::string out;
    out.reserve(text.size());
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t lf = rest.size() > kPiece ? rest.find('\n', kPiece) : rest.npos;
        const std::string_view piece = rest.substr(0, lf == rest.npos ? lf : lf + 1);
        const std::size_t done = text.size() - rest.size();
        rest.remove_prefix(piece.size());
        appendScript(piece, conversion, out, &error);
        if (!error.empty()) {
            if (done == 0) return std::nullopt;
            out += rest;
            break;
        }
        if (!rest.empty()) releaseReadBytes(text, done, done + piece.size());
    }
    std::string().swap(text);
    return out;
}

// The items of an article counted by the keyword each was made from, in the
// order of each keyword's first item.
class KeywordTally {
  public:
    void add(std::int32_t keyword, int times) {
        const auto [at, added] = at_.try_emplace(keyword, counts_.size());
        if (added) counts_.emplace_back(keyword, 0);
        counts_[at->second].second += times;
    }

    // The items standing at `spans` of `text`, each by the keyword that made it.
    void addItems(std::string_view text, const Spans& spans, const KeywordSupply& keywords) {
        for (const auto& [begin, end] : spans) {
            if (end > text.size() || begin > end) continue;
            const std::int32_t k = keywords.keywordOfItem(text.substr(begin, end - begin));
            if (k >= 0) add(k, 1);
        }
    }

    // By keyword text: lines with the same keyword count together.
    std::vector<std::pair<std::string, int>> byText(
        const std::vector<std::string>& keywords) const {
        std::vector<std::pair<std::string, int>> out;
        std::unordered_map<std::string_view, std::size_t> at;
        for (const auto& [k, n] : counts_) {
            const std::string& text = keywords[static_cast<std::size_t>(k)];
            const auto [it, added] = at.try_emplace(text, out.size());
            if (added) out.emplace_back(text, 0);
            out[it->second].second += n;
        }
        return out;
    }

  private:
    std::vector<std::pair<std::int32_t, int>> counts_;
    std::unordered_map<std::int32_t, std::size_t> at_;
};

// Script conversion of both texts; the character ranges, when given, move
// with their text.
void convert(const ArticleOptions& options, std::string& title, std::string& content,
             ArticleReport* report, Spans* titleSpans = nullptr, Spans* contentSpans = nullptr) {
    if (options.scriptConversion == ScriptConversion::None) return;
    std::string error;
    title = convertScript(title, options.scriptConversion, &error, titleSpans);
    note(report, "繁简体转换不可用：", error);
    if (contentSpans) {
        // The preview's ranges move with the whole text.
        content = convertScript(content, options.scriptConversion, &error, contentSpans);
        note(report, "繁简体转换不可用：", error);
        return;
    }
    if (content.empty()) return;
    // Unavailable, the conversion leaves the text as it was.
    if (std::optional<std::string> converted =
            convertInPieces(content, options.scriptConversion, error))
        content = std::move(*converted);
    note(report, "繁简体转换不可用：", error);
}

// Removes what still looks like a tag, then makes the title a file name.
std::string finish(ArticleRun& run, const std::string& title) {
    std::string untagged = run.tagRegex().replace(title, "");
    if (!run.tagRegex().ok() || run.tagRegex().runFailed()) untagged = title;
    return finishTitle(untagged);
}

// `text` through `step` (removing tags, making a title a file name), with the
// byte ranges `spans` moved along: the text is cut at the ranges' edges and
// each piece goes through the step on its own. When that gives another text
// than the whole text through the step (a tag cut apart by an item), the
// ranges are dropped and the text is the whole one's.
template <typename Step>
std::string finishInPieces(const std::string& text, Spans& spans, Step step) {
    std::string whole = step(text);
    if (spans.empty()) return whole;
    std::string joined;
    joined.reserve(whole.size());
    std::size_t at = 0;
    Spans moved;
    moved.reserve(spans.size());
    for (const auto& [begin, end] : spans) {
        if (begin < at || end < begin || end > text.size()) {
            spans.clear();
            return whole;
        }
        joined += step(std::string_view(text).substr(at, begin - at));
        const std::size_t movedBegin = joined.size();
        joined += step(std::string_view(text).substr(begin, end - begin));
        moved.emplace_back(movedBegin, joined.size());
        at = end;
    }
    joined += step(std::string_view(text).substr(at));
    if (joined != whole) {
        spans.clear();
        return whole;
    }
    spans = std::move(moved);
    return whole;
}

// The content as insertion sees it. Tags are hidden first, so that the
// every-N type counts the characters it actually walks (a tag is one
// placeholder character there). Links, comments, scripts and the like are
// hidden whole, so that no type can put an item inside them; and a
// document's opening (up to its head and <body> tag) is set aside, so that
// what goes at the start of the content goes after it: text before the head
// would end the head early and push what it holds into the body.
struct InsertionBody {
    explicit InsertionBody(const KeepAlive& keepAlive) : guard(keepAlive) {}

    TagGuard guard;
    bool hidden = false;  // the guard holds what restore puts back
    std::string opening;
    std::string text;
};

// Takes `content` over when the content gets items: the guard keeps the tags
// and the body the rest, so a big article is not held a third time while
// items go in.
InsertionBody hideForInsertion(const InsertOptions& in, std::string& content,
                               const KeepAlive& keepAlive) {
    InsertionBody body(keepAlive);
    const bool hideTags = in.avoidTags && in.insertContent;
    const bool hidePlaces = in.avoidLinks && in.insertContent;
    body.hidden = hideTags || hidePlaces;
    // Both hide only when the content gets items: the content is taken over
    // and hidden in its own buffer.
    if (hidePlaces) {
        const std::size_t openingEnd = documentOpeningEnd(content);
        const std::vector<ByteRange> places = markupRegions(
            std::string_view(content).substr(openingEnd), MarkupKinds::insertPlaces());
        body.opening = content.substr(0, openingEnd);
        body.text = body.guard.protectRegions(std::move(content), openingEnd, places, in.avoidTags,
                                              TagGuard::shortPlaceholder());
    } else if (hideTags) {
        body.text = body.guard.protectRegions(std::move(content), 0, {}, true,
                                              TagGuard::shortPlaceholder());
    } else if (in.insertContent) {
        body.text = std::move(content);
    }
    // A content that gets no items stays where it is: the items are drawn
    // over it there.
    if (in.insertContent) std::string().swap(content);
    return body;
}

// The article's item set; `step` is the every-N type's, drawn here.
std::vector<std::string> drawItems(const InsertOptions& in, ArticleRun& run, std::string_view title,
                                   std::string_view body, long long& step, bool& capped) {
    KeywordSupply& keywords = run.keywords();
    std::vector<std::string> items;
    if (in.contentType == ContentType::EveryN) {
        step = std::max(randomInt(run.random(), in.everyMin, in.everyMax), 1);
        const long long times = std::max<long long>(charCount(body) / step, 1);
        items = keywords.makeItemSet(in.items, true, static_cast<int>(times), in.newSet, title,
                                     kMaxSetBytes, &capped);
    } else if (in.contentType != ContentType::EveryNChunks) {
        items = keywords.makeItemSet(in.items, false, 0, false, title, kMaxSetBytes, &capped);
    }
    if (items.empty() && in.insertTitle) items.push_back(keywords.makeSingleItem(in.items, title));
    return items;
}

// The body with the items inserted (and counted) and everything hidden put
// back; `spans` receives where the items stand in the content that results.
std::string insertIntoBody(const InsertOptions& in, ArticleRun& run, InsertionBody& body,
                           const ContentArticle& article, bool wantSpans, KeywordTally& tally) {
    Spans& spans = *article.spans;
    body.text =
        insertIntoContent(body.text, article, in, run.insert(), run.keywords(), run.keepAlive());
    tally.addItems(body.text, spans, run.keywords());
    // The opening goes in front as the text is restored, not by moving it.
    std::string content = !body.hidden ? std::move(body.text)
                          : wantSpans  ? body.guard.restore(body.text, spans)
                                      : body.guard.restoreAfter(body.opening, std::move(body.text));
    std::string().swap(body.text);
    {
        // Its tags are back in place. Moved from, its buffers go with it;
        // assigning a new guard would keep them.
        const TagGuard spent = std::move(body.guard);
    }
    if (body.opening.empty()) return content;
    if (wantSpans) content.insert(0, body.opening);
    for (auto& [begin, end] : spans) {
        begin += body.opening.size();
        end += body.opening.size();
    }
    return content;
}

// The last steps of an article of a batch: script conversion, the title
// without tags (and as the content's first line when asked), then safe as a
// file name.
void finishInserted(const ArticleOptions& options, ArticleRun& run, std::string& title,
                    std::string& content, ArticleReport* report) {
    convert(options, title, content, report);
    title = TagGuard::strip(title, run.keepAlive());
    if (options.insert.titleFirstLine) content = title + std::string(kLineBreak) + content;
    title = finish(run, title);
}

// The same for the preview, whose items' ranges follow the texts through the
// last steps.
void finishPreview(const ArticleOptions& options, ArticleRun& run, std::string& title,
                   std::string& content, Spans& titleSpans, Spans& contentSpans,
                   ArticleReport& report) {
    spansToCharacters(title, titleSpans);
    spansToCharacters(content, contentSpans);
    convert(options, title, content, &report, &titleSpans, &contentSpans);
    spansToBytes(title, titleSpans);
    spansToBytes(content, contentSpans);
    title = finishInPieces(title, titleSpans, [&run](std::string_view t) {
        return TagGuard::strip(t, run.keepAlive());
    });
    if (options.insert.titleFirstLine) {
        const std::size_t shift = title.size() + kLineBreak.size();
        for (auto& [begin, end] : contentSpans) {
            begin += shift;
            end += shift;
        }
        contentSpans.insert(contentSpans.begin(), titleSpans.begin(), titleSpans.end());
        content = title + std::string(kLineBreak) + content;
    }
    title = finishInPieces(title, titleSpans,
                           [&run](std::string_view t) { return finish(run, std::string(t)); });
    report.titleSpans = std::move(titleSpans);
    report.contentSpans = std::move(contentSpans);
}

void insertMode(const ArticleOptions& options, ArticleRun& run, std::string& title,
                std::string& content, ArticleReport* report) {
    if (!run.keywords().canPick()) {
        // Every keyword links to this very article: nothing goes in.
        finishInserted(options, run, title, content, report);
        return;
    }
    const InsertOptions& in = options.insert;
    InsertionBody body = hideForInsertion(in, content, run.keepAlive());
    bool capped = false;
    long long step = 1;
    std::vector<std::string> items =
        drawItems(in, run, title, in.insertContent ? body.text : content, step, capped);

    // Where the items go: always counted, placed only for the preview.
    const bool wantSpans = report && report->wantSpans;
    Spans titleSpans;
    Spans contentSpans;
    KeywordTally tally;
    if (in.insertTitle) {
        title = insertIntoTitle(title, items, in, run.insert(), run.random(), &titleSpans, &capped,
                                run.keepAlive());
        tally.addItems(title, titleSpans, run.keywords());
    }
    if (in.insertContent) {
        ContentArticle article{title, &items, step, &capped};
        article.spans = &contentSpans;
        // The body is replaced by what is made of it.
        article.lastRead = true;
        content = insertIntoBody(in, run, body, article, wantSpans, tally);
    }
    if (report) {
        report->items += static_cast<int>(titleSpans.size() + contentSpans.size());
        report->keywordItems = tally.byText(run.keywords().keywordLines());
    }
    if (capped) {
        // Type 8 counts its items by the step; the others by the count range.
        note(report, kCountsCapped,
             in.contentType == ContentType::EveryN ? "“每隔字符数”" : "“插入的次数”");
    }
    if (wantSpans)
        finishPreview(options, run, title, content, titleSpans, contentSpans, *report);
    else
        finishInserted(options, run, title, content, report);
}

void replaceExistingMode(const ArticleOptions& options, ArticleRun& run, std::string& title,
                         std::string& content, ArticleReport* report,
                         const std::vector<std::int32_t>& selfLinks) {
    ReplaceOutcome outcome;
    outcome.wantSpans = report && report->wantSpans;
    if (const ExistingKeywordReplacer* existing = run.existing()) {
        content = existing->replace(content, run.keywords().keywordLines(), run.keywords(), title,
                                    options.replace, true, &outcome, selfLinks);
    }
    if (report) {
        report->items += outcome.replaced;
        KeywordTally tally;
        for (const auto& [keyword, times] : outcome.perKeyword)
            tally.add(keyword, times);
        report->keywordItems = tally.byText(run.keywords().keywordLines());
    }
    if (!outcome.wantSpans || options.scriptConversion == ScriptConversion::None) {
        convert(options, title, content, report);
        if (report && outcome.wantSpans) report->contentSpans = std::move(outcome.spans);
        return;
    }
    // Script conversion moves the ranges in characters, not in bytes.
    Spans spans = std::move(outcome.spans);
    spansToCharacters(content, spans);
    convert(options, title, content, report, nullptr, &spans);
    spansToBytes(content, spans);
    report->contentSpans = std::move(spans);
}

void replaceByOptions(std::string& text, std::string_view field, const std::string& matches,
                      const std::string& replacements, bool regex, bool ignoreCase, int count,
                      ArticleReport* report, const KeepAlive& keepAlive) {
    if (!regex) {
        text = replaceByLists(text, matches, replacements, !ignoreCase, count, keepAlive);
        return;
    }
    std::string error;
    text = replaceByRegex(text, matches, replacements, ignoreCase, count, &error);
    if (report)
        note(report->failures, std::string(field) + "的正则表达式无法使用，未替换：", error);
}

void shuffleReplaceMode(const ArticleOptions& options, ArticleRun& run, std::string& title,
                        std::string& content, ArticleReport* report) {
    const ShuffleOptions& sh = options.shuffle;
    Random& random = run.random();
    const std::string sourceTitle = title;

    const KeepAlive& keepAlive = run.keepAlive();
    if (sh.shuffleTitle) title = shuffleText(title, sh.titleSymbols, random, keepAlive);
    if (sh.shuffleContent) {
        // The short placeholder is one character, as the long one is whole
        // characters: no symbol matches in either, so the shuffle is the
        // same, and the content is hidden in its own buffer.
        TagGuard guard(keepAlive);
        std::string hidden =
            guard.protectRegions(std::move(content), 0, {}, true, TagGuard::shortPlaceholder());
        std::string shuffled = shuffleText(hidden, sh.contentSymbols, random, keepAlive);
        std::string().swap(hidden);
        content = guard.restore(shuffled);
    }
    RandomInsertion placement;
    placement.avoidWords = options.insert.avoidWords;
    placement.keepAlive = keepAlive;
    if (sh.sentenceIntoTitle) {
        const std::string sentence =
            pickSentence(TagGuard::strip(content, keepAlive), sh.sentenceMinimum,
                         sh.sentenceMustContain, random, keepAlive);
        switch (sh.sentencePlacement) {
            case TitleType::Random:
                title = insertRandom(title, sentence, 1, placement, random);
                break;
            case TitleType::Before:
                title = sentence + title;
                break;
            case TitleType::After:
                title += sentence;
                break;
            case TitleType::BeforeOrAfter:
                title = randomInt(random, 1, 10000) < 5000 ? sentence + title : title + sentence;
                break;
            case TitleType::Replace:
                title = sentence;
                break;
        }
    }
    if (sh.titleIntoContent) {
        const std::string& inserted = sh.useSourceTitle ? sourceTitle : title;
        int count = std::max(randomInt(random, sh.titleInsertMin, sh.titleInsertMax), 1);
        // The copies are bounded like an item set and like what insertion
        // may add to the content.
        const std::size_t most = std::min(static_cast<std::size_t>(kMaxSetItems),
                                          outputAllowance(content.size()) / (inserted.size() + 1));
        if (static_cast<std::size_t>(count) > most) {
            count = static_cast<int>(most);
            note(report, kCountsCapped, "“标题插入到正文”的次数");
        }
        content = insertRandom(content, inserted, count, placement, random);
    }
    if (sh.replaceTitle) {
        replaceByOptions(title, "“替换标题”", sh.titleMatches, sh.titleReplacements, sh.titleRegex,
                         sh.titleIgnoreCase, sh.titleReplaceCount, report, keepAlive);
    }
    if (sh.replaceContent) {
        replaceByOptions(content, "“替换内容”", sh.contentMatches, sh.contentReplacements,
                         sh.contentRegex, sh.contentIgnoreCase, sh.contentReplaceCount, report,
                         keepAlive);
    }
    convert(options, title, content, report);
    title = finish(run, title);
}

}  // namespace

ArticleRun::ArticleRun(std::optional<std::uint64_t> seed, KeepAlive keepAlive)
    : random_(seed), keepAlive_(std::move(keepAlive)), tagRegex_(tagPattern()) {}

void ArticleRun::prepare(const ArticleOptions& options, std::vector<std::string> keywordLines) {
    existing_.reset();
    if (options.mode != PipelineMode::ShuffleReplace) {
        keywords_.setKeywords(std::move(keywordLines));
        keywords_.parseTemplates(options.templates);
        links_.emplace(keywords_.addresses(), gbkToUtf8(options.siteAddress));
        if (options.mode == PipelineMode::ReplaceExisting) {
            keywords_.buildPlainKeywords();
            existing_.emplace(keywords_.plainKeywords(), keepAlive_);
            if (options.replace.perAddressLimit > 0)
                existing_->setTargets(links_->targetOfEachKeyword());
        }
    }
    keywords_.resetKeywordPicker();
    if (options.mode == PipelineMode::Insert) {
        insert_ = prepareInsertRun(options.insert);
        random_.reseed();
        keywords_.resetSequence();
    }
}

void processArticle(const ArticleOptions& options, ArticleRun& run, std::string& title,
                    std::string& content, ArticleReport* report,
                    std::optional<std::string_view> pagePath) {
    // The keywords that link to the article's own address.
    std::vector<std::int32_t> selfLinks;
    if (pagePath && options.mode != PipelineMode::ShuffleReplace && run.links().any())
        selfLinks = run.links().linkingTo(*pagePath);
    switch (options.mode) {
        case PipelineMode::Insert:
            run.keywords().excludeKeywords(std::move(selfLinks));
            run.keywords().forgetItems();
            insertMode(options, run, title, content, report);
            break;
        case PipelineMode::ReplaceExisting:
            replaceExistingMode(options, run, title, content, report, selfLinks);
            break;
        case PipelineMode::ShuffleReplace:
            shuffleReplaceMode(options, run, title, content, report);
            break;
    }
}

}  // namespace lct
