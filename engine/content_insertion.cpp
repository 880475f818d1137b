#include "engine/content_insertion.h"

#include <algorithm>
#include <span>

#include "engine/chars.h"
#include "engine/draws.h"
#include "engine/lists.h"
#include "engine/output_budget.h"
#include "engine/patterns.h"
#include "engine/random_insert.h"

namespace lct {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// The line and sentence loops repeat a set for every block they write (one
// per line or sentence, two for the types with a block on both sides). Each
// block may take an equal share of what the content's allowance still holds:
// while the sets fit, every block takes its whole set, and when they do not,
// the cut is spread over the article instead of leaving its end bare.
class BlockShares {
  public:
    BlockShares(std::string_view content, std::size_t blocks, bool* capped)
        : budget_(outputAllowance(content.size())), blocksLeft_(blocks), capped_(capped) {}

    // What the next block may take.
    std::size_t share() const { return budget_.left() / std::max<std::size_t>(blocksLeft_, 1); }

    // The first items of `items` within one share, written `times` times.
    std::span<const std::string> take(const std::vector<std::string>& items, std::size_t times) {
        const std::size_t most = share();
        std::size_t cost = 0;
        std::size_t n = 0;
        while (n < items.size() && cost + itemCost(items[n]) <= most)
            cost += itemCost(items[n++]);
        if (n < items.size() && capped_) *capped_ = true;
        for (std::size_t t = 0; t < times; ++t)
            static_cast<void>(budget_.take(cost));
        blocksLeft_ -= std::min(times, blocksLeft_);
        return std::span<const std::string>(items).first(n);
    }

  private:
    OutputBudget budget_;
    std::size_t blocksLeft_;
    bool* capped_;
};

std::string concatenate(std::span<const std::string> items) {
    std::size_t size = 0;
    for (const std::string& item : items)
        size += item.size();
    std::string block;
    block.reserve(size);
    for (const std::string& item : items)
        block += item;
    return block;
}

using Spans = std::vector<std::pair<std::size_t, std::size_t>>;

RandomInsertion randomPlacement(const InsertOptions& options, Spans* spans,
                                const KeepAlive& keepAlive) {
    RandomInsertion how;
    how.avoidWords = options.avoidWords;
    how.spans = spans;
    how.keepAlive = keepAlive;
    return how;
}

// The sizes of a block's items, one after the other.
std::vector<std::size_t> sizesOf(std::span<const std::string> items) {
    std::vector<std::size_t> sizes;
    sizes.reserve(items.size());
    for (const std::string& item : items)
        sizes.push_back(item.size());
    return sizes;
}

// Notes the items of a block written at byte `at`, given their sizes.
void noteBlock(Spans* spans, std::size_t at, const std::vector<std::size_t>& sizes) {
    if (!spans) return;
    for (const std::size_t size : sizes) {
        spans->emplace_back(at, at + size);
        at += size;
    }
}

// `text` with its items' ranges (`local`, in `text`) noted at byte `at`.
void notePiece(Spans* spans, std::size_t at, const Spans& local) {
    if (!spans) return;
    for (const auto& [begin, end] : local)
        spans->emplace_back(at + begin, at + end);
}

// Types 1 and 3 to 7: every non-blank line gets the items (inside it, or as a
// block before and/or after it); blank lines stay as they are. A fresh set is
// made for every line after the first when new sets are asked for. Type 7
// chains its sets: each line's after-block takes a further set, which then
// stands before the next line.
class LineLoop {
  public:
    LineLoop(std::string_view content, const ContentArticle& article, const InsertOptions& options,
             KeywordSupply& keywords, const KeepAlive& keepAlive)
        : content_(content),
          article_(article),
          options_(options),
          keywords_(keywords),
          keepAlive_(keepAlive),
          lines_(splitList(content, kLineBreak)),
          shares_(content, blockCount(), article.capped) {}

    std::string run() {
        result_.reserve(content_.size() + content_.size() / 4);
        for (std::size_t p = 0; p < lines_.size(); ++p) {
            keepAlive_();
            const std::string& line = lines_[p];
            result_.append(result_.empty() ? std::string_view() : kLineBreak);
            if (isBlank(line)) {
                result_.append(line);
                continue;
            }
            if (options_.newSet && p > 0) freshSet();
            // Type 5 writes the same block twice; type 7 two blocks of their own.
            const std::span<const std::string> current =
                shares_.take(*article_.items, type() == ContentType::LineBeforeAndAfter ? 2 : 1);
            if (type() == ContentType::ParagraphRandom)
                insideLine(line, current);
            else
                aroundLine(line, current);
        }
        // Splitting dropped the empty piece after a final line break; keep it.
        if (content_.ends_with(kLineBreak)) result_ += kLineBreak;
        return std::move(result_);
    }

  private:
    ContentType type() const { return options_.contentType; }

    // The blocks the loop writes: one per non-blank line, two for the types
    // with a block of their own on each side.
    std::size_t blockCount() const {
        const auto filled = static_cast<std::size_t>(std::count_if(
            lines_.begin(), lines_.end(), [](const std::string& l) { return !isBlank(l); }));
        const bool twoBlocks =
            type() == ContentType::LineBeforeAndAfter || type() == ContentType::LineBothDifferent;
        return twoBlocks ? 2 * filled : filled;
    }

    // The article's set replaced by a fresh one, within one block's share.
    void freshSet() {
        *article_.items = keywords_.makeItemSet(options_.items, false, 0, false, article_.title,
                                                shares_.share(), article_.capped);
    }

    // Type 1: the items at random places inside the line.
    void insideLine(const std::string& line, std::span<const std::string> current) {
        Spans local;
        const std::string piece = insertRandom(
            line, current, randomPlacement(options_, article_.spans ? &local : nullptr, keepAlive_),
            keywords_.random());
        notePiece(article_.spans, result_.size(), local);
        result_.append(piece);
    }

    // Types 3 to 7: the items as a block before and/or after the line.
    void aroundLine(const std::string& line, std::span<const std::string> current) {
        const std::string block1 = concatenate(current);
        std::string block2 = block1;
        // The sizes of the before-block's items: the set may be replaced below.
        const std::vector<std::size_t> sizes1 =
            article_.spans ? sizesOf(current) : std::vector<std::size_t>();
        std::vector<std::size_t> sizes2 = sizes1;
        if (type() == ContentType::LineBothDifferent) {
            // The further set of the after-block becomes the current set, so
            // the next line's before-block repeats it.
            freshSet();
            const std::span<const std::string> further = shares_.take(*article_.items, 1);
            block2 = concatenate(further);
            if (article_.spans) sizes2 = sizesOf(further);
        }
        const auto [before, after] = sides();
        if (before) {
            noteBlock(article_.spans, result_.size(), sizes1);
            result_ += block1;
        }
        result_ += line;
        if (after) {
            noteBlock(article_.spans, result_.size(), sizes2);
            result_ += block2;
        }
    }

    // Which sides of the line get a block; type 5 draws one for each line.
    std::pair<bool, bool> sides() {
        if (type() == ContentType::LineBeforeOrAfter) {
            const bool after = randomInt(keywords_.random(), 1, 10000) < 5000;
            return {!after, after};
        }
        const bool both =
            type() == ContentType::LineBeforeAndAfter || type() == ContentType::LineBothDifferent;
        return {both || type() == ContentType::LineBefore,
                both || type() == ContentType::LineAfter};
    }

    std::string_view content_;
    const ContentArticle& article_;
    const InsertOptions& options_;
    KeywordSupply& keywords_;
    const KeepAlive& keepAlive_;
    std::vector<std::string> lines_;
    BlockShares shares_;
    std::string result_;
};

struct SentenceEnd {
    int position;
    const std::string* symbol;  // nullptr for the tail after the last symbol
};

// Type 2: each piece between two sentence ends gets the items, except blank
// pieces, the tail after the last sentence end, and line ends that the user
// did not list as sentence ends.
std::string sentenceLoop(std::string_view content, const ContentArticle& article,
                         const InsertOptions& options, const InsertRunState& run,
                         KeywordSupply& keywords, const KeepAlive& keepAlive) {
    std::vector<SentenceEnd> ends;
    for (const std::string& symbol : run.sentenceEnds) {
        for (int p : findAllChars(content, symbol))
            ends.push_back({p, &symbol});
    }
    if (ends.empty()) return std::string(content);
    std::stable_sort(ends.begin(), ends.end(), [](const SentenceEnd& a, const SentenceEnd& b) {
        return a.position < b.position;
    });
    const CharIndex index(content);
    const int length = index.count();
    if (ends.back().position < length) ends.push_back({length + 1, nullptr});

    struct Piece {
        std::string_view text;
        std::string_view symbol;
        bool untouched;
    };
    std::vector<Piece> pieces;
    pieces.reserve(ends.size());
    std::size_t filled = 0;
    int start = 1;
    for (const SentenceEnd& end : ends) {
        // An occurrence inside a symbol already taken (overlapping symbols such
        // as "!" and "!!") would repeat text: it is no sentence end.
        if (end.position < start) continue;
        const std::string_view piece = index.mid(start, end.position - start);
        const std::string_view symbol = end.symbol ? std::string_view(*end.symbol) : "";
        start = end.position + charCount(symbol);
        const bool untouched =
            isBlank(piece) || !end.symbol || (run.autoLineBreak && symbol == kLineBreak);
        pieces.push_back({piece, symbol, untouched});
        if (!untouched) ++filled;
    }

    std::vector<std::string>& items = *article.items;
    BlockShares shares(content, filled, article.capped);
    std::string result;
    result.reserve(content.size() + content.size() / 4);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        keepAlive();
        const Piece& piece = pieces[k];
        if (piece.untouched) {
            result.append(piece.text).append(piece.symbol);
            continue;
        }
        if (options.newSet && k > 0) {
            items = keywords.makeItemSet(options.items, false, 0, false, article.title,
                                         shares.share(), article.capped);
        }
        Spans local;
        const std::string inserted =
            insertRandom(piece.text, shares.take(items, 1),
                         randomPlacement(options, article.spans ? &local : nullptr, keepAlive),
                         keywords.random());
        notePiece(article.spans, result.size(), local);
        result.append(inserted);
        result.append(piece.symbol);
    }
    return result;
}

// Type 9: chunks of a random length each, an item after every chunk but the
// one that reaches the end; the item is drawn once, or per chunk with new sets.
std::string chunkWalk(std::string_view content, const ContentArticle& article,
                      const InsertOptions& options, KeywordSupply& keywords,
                      const KeepAlive& keepAlive) {
    const CharIndex index(content);
    const int length = index.count();
    std::string result;
    result.reserve(content.size() + content.size() / 4);
    OutputBudget budget(outputAllowance(content.size()));
    std::string item;
    long long e = 1;
    while (e <= length) {
        keepAlive();
        const int f = std::max(randomInt(keywords.random(), options.everyMin, options.everyMax), 1);
        result.append(index.mid(static_cast<int>(e), f));
        e += f;
        if (item.empty() || options.newSet)
            item = keywords.makeSingleItem(options.items, article.title);
        if (e > length) break;
        if (!budget.take(itemCost(item))) {
            // The rest of the content goes on without items.
            if (article.capped) *article.capped = true;
            result.append(index.mid(static_cast<int>(e), length));
            break;
        }
        if (article.spans) article.spans->emplace_back(result.size(), result.size() + item.size());
        result += item;
    }
    return result;
}

}  // namespace

std::string joinWithSeparators(const std::vector<std::string>& items, InsertRunState& run,
                               Random& random, Spans* spans, OutputBudget* budget) {
    std::string block;
    const auto count = static_cast<int>(run.titleSeparators.size());
    for (const std::string& item : items) {
        std::string_view separator;
        if (count > 0) {
            separator = run.titleSeparators[static_cast<std::size_t>(
                run.separatorPicker.pick(random, 1, count) - 1)];
        }
        if (budget && !budget->take(itemCost(item) + separator.size())) break;
        if (!block.empty()) block.append(separator);
        if (spans) spans->emplace_back(block.size(), block.size() + item.size());
        block += item;
    }
    return block;
}

std::string insertIntoContent(std::string_view content, const ContentArticle& article,
                              const InsertOptions& options, InsertRunState& run,
                              KeywordSupply& keywords, const KeepAlive& keepAlive) {
    Random& random = keywords.random();
    const std::vector<std::string>& items = *article.items;
    Spans* spans = article.spans;
    // The head and tail blocks put a separator between their items: the set
    // is bounded, its separators are bounded here.
    OutputBudget budget(outputAllowance(content.size()));
    const auto block = [&](Spans* where) {
        std::string joined = joinWithSeparators(items, run, random, where, &budget);
        if (budget.cut() && article.capped) *article.capped = true;
        return joined;
    };
    // A block after the content: its items' ranges count from where it goes.
    const auto after = [&](std::string_view lead) {
        std::string out(content);
        out.append(lead);
        Spans local;
        const std::string joined = block(spans ? &local : nullptr);
        notePiece(spans, out.size(), local);
        return out.append(joined);
    };
    switch (options.contentType) {
        case ContentType::WholeTextRandom: {
            RandomInsertion how = randomPlacement(options, spans, keepAlive);
            how.lastRead = article.lastRead;
            return insertRandom(content, items, how, random);
        }
        case ContentType::ParagraphRandom:
        case ContentType::LineBefore:
        case ContentType::LineAfter:
        case ContentType::LineBeforeOrAfter:
        case ContentType::LineBeforeAndAfter:
        case ContentType::LineBothDifferent:
            return LineLoop(content, article, options, keywords, keepAlive).run();
        case ContentType::SentenceRandom:
            return sentenceLoop(content, article, options, run, keywords, keepAlive);
        case ContentType::EveryN: {
            RandomInsertion how = randomPlacement(options, spans, keepAlive);
            how.step = std::max<long long>(article.step, 1);
            how.lastRead = article.lastRead;
            return insertRandom(content, items, how, random);
        }
        case ContentType::EveryNChunks:
            return chunkWalk(content, article, options, keywords, keepAlive);
        case ContentType::FirstLine:
            return block(spans).append(kLineBreak).append(content);
        case ContentType::Head:
            return block(spans).append(content);
        case ContentType::Tail:
            return after("");
        case ContentType::LastLine:
            return after(kLineBreak);
        case ContentType::NextToSymbols: {
            RandomInsertion how = randomPlacement(options, spans, keepAlive);
            how.symbols = options.symbolGroups;
            how.symbolMode = options.symbolMode;
            how.lastRead = article.lastRead;
            return insertRandom(content, items, how, random);
        }
        default:
            return std::string(content);
    }
}

InsertRunState prepareInsertRun(const InsertOptions& options) {
    InsertRunState run;
    run.titleSeparators = splitSymbolList(options.titleSeparators);
    run.sentenceEnds = splitSymbolList(options.symbolGroups);
    run.autoLineBreak = !hasLineBreakEscape(options.symbolGroups);
    if (run.autoLineBreak) run.sentenceEnds.emplace_back(kLineBreak);
    // An empty symbol would end a sentence everywhere; it ends none.
    std::erase_if(run.sentenceEnds, [](const std::string& s) { return s.empty(); });
    return run;
}

}  // namespace lct
