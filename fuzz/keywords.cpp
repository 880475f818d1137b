// Keyword supply: keyword lists, templates, separator and symbol lists, and
// the item sets drawn from them.
//
// Checks: list splitting loses no byte (the pieces joined again give the
// text); a template without placeholders is its own item and "*" is the bare
// keyword; every item of a set is some template filled with some keyword, and
// a set never passes the bytes it is allowed; a head block holds every item in order.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/content_insertion.h"
#include "engine/insert_options.h"
#include "engine/keyword_supply.h"
#include "engine/lists.h"
#include "engine/output_budget.h"
#include "fuzz/fuzz_check.h"
#include "platform/random.h"

namespace {

std::string joined(const std::vector<std::string>& pieces, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) out += separator;
        out += pieces[i];
    }
    return out;
}

void checkSplitKeepsBytes(std::string_view text, std::string_view separator) {
    const std::vector<std::string> pieces = lct::splitList(text, separator);
    if (text.empty()) {
        LCT_FUZZ_CHECK(pieces.empty());
        return;
    }
    if (separator.empty()) {
        LCT_FUZZ_CHECK(pieces.size() == 1 && pieces[0] == text);
        return;
    }
    const std::string back = joined(pieces, separator);
    LCT_FUZZ_CHECK(back == text || back + std::string(separator) == text);
}

void checkTemplates(std::string_view text, std::string_view title, std::string_view keyword) {
    const std::vector<std::string> templates = lct::splitTemplates(text);
    LCT_FUZZ_CHECK(!templates.empty());
    LCT_FUZZ_CHECK(lct::buildItem("*", title, keyword) == keyword);
    if (text.find('*') == std::string_view::npos && text.find('#') == std::string_view::npos)
        LCT_FUZZ_CHECK(lct::buildItem(text, title, keyword) == text);
}

// True when `item` is one of the templates filled with one of the keywords
// and its address.
bool isSomeItem(const lct::KeywordSupply& supply, std::string_view item, std::string_view title) {
    const std::vector<std::string>& keywords = supply.keywordLines();
    for (const std::string& t : supply.templates()) {
        for (std::size_t k = 0; k < keywords.size(); ++k) {
            if (lct::buildItem(t, title, keywords[k], supply.addressAt(k)) == item ||
                (t.empty() && item == keywords[k]))
                return true;
        }
    }
    return keywords.empty();
}

lct::ItemSetOptions itemOptions(FuzzedDataProvider& input) {
    lct::ItemSetOptions options;
    options.callMode = input.ConsumeIntegralInRange(-1, 3);
    options.useCountRange = input.ConsumeBool();
    options.countFrom = input.ConsumeIntegralInRange(-5, 40);
    options.countTo = input.ConsumeIntegralInRange(-5, 40);
    options.differentEachTime = input.ConsumeBool();
    return options;
}

void checkItemSets(FuzzedDataProvider& input, const std::string& keywordText,
                   const std::string& templateText, const std::string& title) {
    lct::Random random(input.ConsumeIntegral<std::uint64_t>());
    lct::KeywordSupply supply(random);
    supply.setKeywords(lct::loadKeywords(keywordText));
    supply.parseTemplates(templateText);
    const lct::ItemSetOptions options = itemOptions(input);
    lct::InsertOptions insert;
    insert.titleSeparators = input.ConsumeRandomLengthString(32);
    insert.symbolGroups = input.ConsumeRandomLengthString(32);
    lct::InsertRunState state = lct::prepareInsertRun(insert);

    for (int round = input.ConsumeIntegralInRange(1, 4); round > 0; --round) {
        const auto limit = static_cast<std::size_t>(input.ConsumeIntegralInRange(0, 400));
        bool capped = false;
        const std::vector<std::string> items =
            supply.makeItemSet(options, input.ConsumeBool(), input.ConsumeIntegralInRange(-3, 60),
                               input.ConsumeBool(), title, limit, &capped);
        LCT_FUZZ_CHECK(!items.empty() || capped);
        std::size_t cost = 0;
        for (const std::string& item : items) {
            LCT_FUZZ_CHECK(isSomeItem(supply, item, title));
            cost += lct::itemCost(item);
        }
        LCT_FUZZ_CHECK(cost <= limit);
        const std::string block = lct::joinWithSeparators(items, state, random);
        std::size_t at = 0;
        for (const std::string& item : items) {
            at = block.find(item, at);
            LCT_FUZZ_CHECK(at != std::string::npos);
            at += item.size();
        }
    }
    (void)supply.makeSingleItem(options, title);
    supply.buildPlainKeywords();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string keywordText = input.ConsumeRandomLengthString(256);
    const std::string templateText = input.ConsumeRandomLengthString(128);
    const std::string title = input.ConsumeRandomLengthString(32);
    const std::string separator = input.ConsumeRandomLengthString(4);

    checkSplitKeepsBytes(keywordText, separator);
    checkSplitKeepsBytes(keywordText, "\r\n");
    checkSplitKeepsBytes(templateText, "|");
    checkTemplates(templateText, title, lct::loadKeywords(keywordText).empty() ? "" : "k");
    (void)lct::splitSymbolList(templateText);
    (void)lct::hasLineBreakEscape(templateText);
    (void)lct::expandLineBreakEscapes(templateText);
    checkItemSets(input, keywordText, templateText, title);
    return 0;
}
