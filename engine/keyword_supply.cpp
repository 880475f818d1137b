#include "engine/keyword_supply.h"

#include <algorithm>

#include "engine/chars.h"
#include "engine/draws.h"
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

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

std::vector<std::string> loadKeywords(std::string_view keywordText) {
    return splitList(keywordText, kLineBreak);
}

std::vector<std::string> splitTemplates(std::string_view text) {
    std::vector<std::string> templates = splitList(text, "|");
    if (templates.empty()) templates.emplace_back();
    return templates;
}

std::string buildItem(std::string_view tmpl, std::string_view title, std::string_view keyword) {
    if (tmpl.empty()) return {};
    std::string item = replaceText(tmpl, "**", titleMark());
    item = replaceText(item, "*", keywordMark());
    item = replaceText(item, titleMark(), title);
    return replaceText(item, keywordMark(), keyword);
}

void KeywordSupply::setKeywords(std::vector<std::string> lines) {
    keywordLines_ = std::move(lines);
    keywordPicker_.reset();
    sequentialIndex_ = 0;
}

void KeywordSupply::parseTemplates(std::string_view text) {
    templates_ = splitTemplates(text);
    templatePicker_.reset();
}

void KeywordSupply::buildPlainKeywords() {
    std::string joined;
    for (std::size_t i = 0; i < keywordLines_.size(); ++i) {
        if (i > 0) joined += kLineBreak;
        joined += keywordLines_[i];
    }
    plainKeywords_ = splitList(TagGuard::strip(joined, keepAlive_), kLineBreak);
    plainKeywords_.resize(keywordLines_.size());
}

std::string KeywordSupply::pickKeyword(int callMode) {
    const int count = static_cast<int>(keywordLines_.size());
    if (count == 0) return {};
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
    number = std::clamp(number, 1, count);
    return keywordLines_[static_cast<std::size_t>(number - 1)];
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
                                   std::string_view keyword) const {
    const std::string& tmpl = templateAt(templateNumber);
    return tmpl.empty() ? std::string(keyword) : buildItem(tmpl, title, keyword);
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
    std::string keyword;
    for (int i = 1; i <= size; ++i) {
        if (i == 1 || newSet || (!useCount && options.differentEachTime))
            keyword = pickKeyword(options.callMode);
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
    const std::string keyword = pickKeyword(options.callMode);
    return itemFor(pickTemplate(), title, keyword);
}

}  // namespace lct
