#include "engine/keyword_supply.h"

#include <algorithm>

#include "engine/chars.h"
#include "engine/draws.h"
#include "engine/link_targets.h"
#include "engine/lists.h"
#include "engine/output_budget.h"
#include "engine/tag_guard.h"
#include "platform/charset.h"

namespace lct {
namespace {

const std::string& titleMark() {
    static const std::string mark = utf8ToGbk("#标题#");
    return mark;
}

const std::string& keywordMark() {
    static const std::string mark = utf8ToGbk("#关键词#");
    return mark;
}

const std::string& addressMark() {
    static const std::string mark = utf8ToGbk("#网址#");
    return mark;
}

constexpr std::string_view kLineBreak = "\r\n";

// After this many draws of keywords left out in a row, the next keyword in
// list order that is not left out is taken.
constexpr int kMaxRedraws = 64;

std::string fillTemplate(std::string_view tmpl, std::string_view title, std::string_view keyword) {
    if (tmpl.empty()) return {};
    std::string item = replaceText(tmpl, "**", titleMark());
    item = replaceText(item, "*", keywordMark());
    item = replaceText(item, titleMark(), title);
    return replaceText(item, keywordMark(), keyword);
}

}  // namespace

std::vector<std::string> loadKeywords(std::string_view keywordText) {
    return splitList(keywordText, kLineBreak);
}

std::vector<std::string> splitTemplates(std::string_view text) {
    std::vector<std::string> templates = splitList(text, "|");
    if (templates.empty()) templates.emplace_back();
    return templates;
}

std::string buildItem(std::string_view tmpl, std::string_view title, std::string_view keyword,
                      std::string_view address) {
    if (!containsText(tmpl, addressMark())) return fillTemplate(tmpl, title, keyword);
    std::string item;
    std::size_t piece = 0;
    for (std::size_t i = 0; i < tmpl.size();) {
        if (!matchesAt(tmpl, i, addressMark())) {
            i += std::max<std::size_t>(charSize(tmpl, i), 1);
            continue;
        }
        item += fillTemplate(tmpl.substr(piece, i - piece), title, keyword);
        item += address;
        i += addressMark().size();
        piece = i;
    }
    return item += fillTemplate(tmpl.substr(piece), title, keyword);
}

TitledTemplate::TitledTemplate(std::string_view tmpl, std::string_view title) {
    // The cuts of buildItem: at each "#网址#" of the template itself.
    std::size_t piece = 0;
    if (containsText(tmpl, addressMark())) {
        for (std::size_t i = 0; i < tmpl.size();) {
            if (!matchesAt(tmpl, i, addressMark())) {
                i += std::max<std::size_t>(charSize(tmpl, i), 1);
                continue;
            }
            addFilled(tmpl.substr(piece, i - piece), title);
            pieces_.push_back({text_.size(), Gap::Address});
            i += addressMark().size();
            piece = i;
        }
    }
    addFilled(tmpl.substr(piece), title);
    pieces_.push_back({text_.size(), Gap::None});
}

void TitledTemplate::addFilled(std::string_view piece, std::string_view title) {
    // fillTemplate's passes up to the last one, which puts in the keyword: it
    // replaces "#关键词#" where replaceText finds it, and that depends on the
    // text alone.
    if (piece.empty()) return;
    std::string item = replaceText(piece, "**", titleMark());
    item = replaceText(item, "*", keywordMark());
    item = replaceText(item, titleMark(), title);
    const std::string_view mark = keywordMark();
    std::size_t copied = 0;
    for (std::size_t i = 0; i < item.size();) {
        if (matchesAt(item, i, mark)) {
            text_.append(item, copied, i - copied);
            pieces_.push_back({text_.size(), Gap::Keyword});
            i += mark.size();
            copied = i;
        } else {
            i += charSize(item, i);
        }
    }
    text_.append(item, copied);
}

std::string TitledTemplate::fill(std::string_view keyword, std::string_view address) const {
    std::size_t size = text_.size();
    for (const Piece& piece : pieces_)
        size += piece.gap == Gap::Keyword   ? keyword.size()
                : piece.gap == Gap::Address ? address.size()
                                            : 0;
    std::string item;
    item.reserve(size);
    std::size_t begin = 0;
    for (const Piece& piece : pieces_) {
        item.append(text_, begin, piece.end - begin);
        begin = piece.end;
        if (piece.gap == Gap::Keyword) item += keyword;
        if (piece.gap == Gap::Address) item += address;
    }
    return item;
}

void KeywordSupply::setKeywords(std::vector<std::string> lines) {
    addresses_.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string& line = lines[i];
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        if (addresses_.empty()) addresses_.resize(lines.size());
        // The line's memory goes on holding its address; the keyword is
        // short, and a short text needs none of its own.
        std::string& address = addresses_[i];
        address = std::move(line);
        const std::string_view part = addressOfLine(address);
        line.assign(address, 0, tab);
        if (part.empty()) {
            address.clear();
            continue;
        }
        address.erase(address.begin() + (part.data() + part.size() - address.data()),
                      address.end());
        address.erase(0, static_cast<std::size_t>(part.data() - address.data()));
    }
    keywordLines_ = std::move(lines);
    excluded_.clear();
    madeBy_.clear();
    keywordPicker_.reset();
    sequentialIndex_ = 0;
}

const std::string& KeywordSupply::addressAt(std::size_t index) const {
    static const std::string none;
    return index < addresses_.size() ? addresses_[index] : none;
}

void KeywordSupply::parseTemplates(std::string_view text) {
    templates_ = splitTemplates(text);
    templatePicker_.reset();
}

void KeywordSupply::buildPlainKeywords() {
    // Without a "<" there is no tag to remove, and the lines come back from
    // the split as they are, unless one holds a CR (it could start a line
    // break) or ends in a lone byte of 0x80 or more (it would take the CR
    // after it as its second half).
    const auto keepsItsLine = [](const std::string& line) {
        for (const char b : line) {
            if (b == '<' || b == '\r') return false;
        }
        std::size_t last = 0;
        for (std::size_t i = 0; i < line.size(); i += gbkCharSize(line, i))
            last = i;
        return line.empty() || last + 1 < line.size() || byteAt(line, last) < 0x80;
    };
    if (std::all_of(keywordLines_.begin(), keywordLines_.end(), keepsItsLine)) {
        plainKeywords_ = keywordLines_;
        return;
    }
    std::string joined;
    for (std::size_t i = 0; i < keywordLines_.size(); ++i) {
        if (i > 0) joined += kLineBreak;
        joined += keywordLines_[i];
    }
    plainKeywords_ = splitList(TagGuard::strip(joined, keepAlive_), kLineBreak);
    plainKeywords_.resize(keywordLines_.size());
}

std::string KeywordSupply::pickKeyword(int callMode) {
    const std::int32_t keyword = pickNumber(callMode);
    return keyword < 0 ? std::string() : keywordLines_[static_cast<std::size_t>(keyword)];
}

void KeywordSupply::excludeKeywords(std::vector<std::int32_t> numbers) {
    const auto count = static_cast<std::int32_t>(keywordLines_.size());
    std::erase_if(numbers, [count](std::int32_t k) { return k < 0 || k >= count; });
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    excluded_ = std::move(numbers);
}

bool KeywordSupply::isExcluded(std::int32_t keyword) const {
    return std::binary_search(excluded_.begin(), excluded_.end(), keyword);
}

std::int32_t KeywordSupply::pickNumber(int callMode) {
    const int count = static_cast<int>(keywordLines_.size());
    if (count == 0 || !canPick()) return -1;
    int number = drawNumber(callMode);
    for (int draws = 1; isExcluded(number - 1); ++draws) {
        if (draws < kMaxRedraws) {
            number = drawNumber(callMode);
            continue;
        }
        do {
            number = number % count + 1;
        } while (isExcluded(number - 1));
        if (callMode == 2) sequentialIndex_ = number;
    }
    return number - 1;
}

int KeywordSupply::drawNumber(int callMode) {
    const int count = static_cast<int>(keywordLines_.size());
    int number = 1;
    switch (callMode) {
        case 1:
            number = randomInt(random_, 1, count);
            break;
        case 2:
            sequentialIndex_ = sequentialIndex_ >= count ? 1 : sequentialIndex_ + 1;
            number = sequentialIndex_;
            break;
        default:
            number = keywordPicker_.pick(random_, 1, count);
            break;
    }
    return std::clamp(number, 1, count);
}

int KeywordSupply::pickTemplate() {
    return templatePicker_.pick(random_, 1, static_cast<int>(templates_.size()));
}

const std::string& KeywordSupply::templateAt(int number) const {
    static const std::string empty;
    if (number < 1 || static_cast<std::size_t>(number) > templates_.size()) return empty;
    return templates_[static_cast<std::size_t>(number - 1)];
}

std::string KeywordSupply::itemFor(int templateNumber, std::string_view title,
                                   std::int32_t keyword) {
    const std::string& tmpl = templateAt(templateNumber);
    if (keyword < 0) return buildItem(tmpl, title, "");  // a list without keywords
    const auto index = static_cast<std::size_t>(keyword);
    std::string item = tmpl.empty()
                           ? keywordLines_[index]
                           : buildItem(tmpl, title, keywordLines_[index], addressAt(index));
    if (!madeBy_.contains(item)) madeBy_.emplace(item, keyword);
    return item;
}

std::int32_t KeywordSupply::keywordOfItem(std::string_view item) const {
    const auto it = madeBy_.find(item);
    return it == madeBy_.end() ? -1 : it->second;
}

std::vector<std::string> KeywordSupply::makeItemSet(const ItemSetOptions& options, bool useCount,
                                                    int count, bool newSet, std::string_view title,
                                                    std::size_t maxCost, bool* capped) {
    int size = 0;
    if (useCount) {
        size = count;
    } else if (options.useCountRange) {
        size = randomInt(random_, options.countFrom, options.countTo);
    }
    size = std::max(size, 1);
    if (size > kMaxSetItems) {
        size = kMaxSetItems;
        if (capped) *capped = true;
    }
    OutputBudget budget(std::min(maxCost, kMaxSetBytes));

    std::vector<std::string> items;
    // Reserved only up to what a count of thousands needs: a huge count may
    // stop at the bytes long before its items.
    items.reserve(static_cast<std::size_t>(std::min(size, 65'536)));
    std::int32_t keyword = -1;
    for (int i = 1; i <= size; ++i) {
        if (i == 1 || newSet || (!useCount && options.differentEachTime))
            keyword = pickNumber(options.callMode);
        if (keyword < 0 && !keywordLines_.empty()) break;
        std::string item = itemFor(pickTemplate(), title, keyword);
        if (!budget.take(itemCost(item))) {
            if (capped) *capped = true;
            break;
        }
        items.push_back(std::move(item));
        if (i % 1024 == 0) keepAlive_();
    }
    return items;
}

std::string KeywordSupply::makeSingleItem(const ItemSetOptions& options, std::string_view title) {
    const std::int32_t keyword = pickNumber(options.callMode);
    if (keyword < 0 && !keywordLines_.empty()) return {};
    return itemFor(pickTemplate(), title, keyword);
}

}  // namespace lct
