#include "tools/keyword_merger.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "engine/draws.h"
#include "engine/lists.h"
#include "engine/unique_picker.h"
#include "form/pending_messages.h"
#include "platform/charset.h"
#include "tools/keyword_merger_names.h"
#include "tools/number_box.h"

namespace lct {

using namespace keyword_merger;

namespace {

constexpr int kSampleLines = 100;

constexpr std::string_view kIdleCaption = "合并";
constexpr std::string_view kRunningCaption = "停止合并";
constexpr std::string_view kStoppingCaption = "停止中..";

const NumberBox kWordCountBox = {kWordCount, "合并词数", std::numeric_limits<int>::min(),
                                 std::numeric_limits<int>::max()};
// Fixed, so that the lists (the defaults that restoring falls back on) are
// the same on every start.
constexpr std::uint64_t kSampleSeed = 0x5eed'11575;

std::string sampleLines(bool chinese) {
    Random random(kSampleSeed + (chinese ? 1 : 0));
    std::string gbk;
    for (int line = 0; line < kSampleLines; ++line) {
        if (line > 0) gbk += "\r\n";
        const int length = randomInt(random, 3, 5);
        for (int i = 0; i < length; ++i) {
            if (chinese) {
                // Level-1 GBK characters: rows B0..D6 are full (A1..FE).
                gbk += static_cast<char>(random.between(0xB0, 0xD6));
                gbk += static_cast<char>(random.between(0xA1, 0xFE));
            } else {
                gbk += static_cast<char>(random.between('a', 'z'));
            }
        }
    }
    return gbkToUtf8(gbk);
}

const std::string& sampleLetters() {
    static const std::string text = sampleLines(false);
    return text;
}

const std::string& sampleChinese() {
    static const std::string text = sampleLines(true);
    return text;
}

}  // namespace

const ControlTable& keywordMergerTable() {
    using K = ControlKind;
    static const ControlTable table = {
        {.name = kListLabel1, .kind = K::Label, .text = "词组1："},
        {.name = kList1, .kind = K::EditBox, .text = sampleLetters(), .multiLine = true},
        {.name = kPaste1, .kind = K::Button, .text = "粘贴"},
        {.name = kListLabel2, .kind = K::Label, .text = "词组2："},
        {.name = kList2, .kind = K::EditBox, .text = sampleChinese(), .multiLine = true},
        {.name = kPaste2, .kind = K::Button, .text = "粘贴"},
        {.name = kTargetLabel, .kind = K::Label, .text = "合并对象："},
        {.name = kTarget1, .kind = K::RadioBox, .text = "词组1"},
        {.name = kTarget2, .kind = K::RadioBox, .text = "词组2"},
        {.name = kTargetBoth, .kind = K::RadioBox, .text = "词组1和词组2", .ticked = true},
        {.name = kWordCountLabel, .kind = K::Label, .text = "合并词数："},
        {.name = kWordCount, .kind = K::EditBox, .text = "2", .enabled = false},
        {.name = kRandomOrder, .kind = K::RadioBox, .text = "随机", .ticked = true},
        {.name = kListOrder, .kind = K::RadioBox, .text = "顺序"},
        {.name = kSymbolLabel, .kind = K::Label, .text = "合并符号："},
        {.name = kSymbol, .kind = K::EditBox, .text = ","},
        {.name = kMerge, .kind = K::Button, .text = "合并"},
        {.name = kResultLabel, .kind = K::Label, .text = "合并结果："},
        {.name = kResult, .kind = K::EditBox, .multiLine = true, .breaksLongLines = true},
        {.name = kCopyResult, .kind = K::Button, .text = "复制"},
    };
    return table;
}

std::string mergePairs(std::string_view list1, std::string_view list2, std::string_view symbol,
                       bool randomOrder, Random& random, const bool& stop, ResultCount* count,
                       const ResultLimits& limits) {
    const std::vector<std::string> words1 = splitList(list1, "\r\n");
    std::vector<std::string> words2 = splitList(list2, "\r\n");
    const int n = static_cast<int>(words1.size());
    words2.resize(words1.size());
    UniquePicker picker1;
    UniquePicker picker2;
    ResultBuilder builder(limits);
    std::string& result = builder.text();
    for (int i = 1; i <= n; ++i) {
        processPendingMessages();
        int a = i;
        int b = i;
        if (randomOrder) {
            a = picker1.pick(random, 1, n);
            b = picker2.pick(random, 1, n);
        }
        const std::string& first = words1[static_cast<std::size_t>(a - 1)];
        const std::string& second = words2[static_cast<std::size_t>(b - 1)];
        if (!builder.admit(first.size() + symbol.size() + second.size() + 2)) break;
        result += first;
        result += symbol;
        result += second;
        result += "\r\n";
        processPendingMessages();
        if (stop) break;
    }
    if (count) *count = builder.count();
    return std::move(result);
}

std::string mergeSingle(std::string_view list, int wordsPerLine, std::string_view symbol,
                        bool randomOrder, Random& random, const bool& stop, ResultCount* count,
                        const ResultLimits& limits) {
    const std::vector<std::string> words = splitList(list, "\r\n");
    const int n = static_cast<int>(words.size());
    const int k = std::max(wordsPerLine, 2);
    UniquePicker picker;
    ResultBuilder builder(limits);
    std::string line;
    int taken = 0;
    bool full = false;
    while (taken < n) {
        line.clear();
        processPendingMessages();
        for (int w = 0; w < k; ++w) {
            processPendingMessages();
            if (++taken > n) break;
            const int index = randomOrder ? picker.pick(random, 1, n) : taken;
            const std::string& word = words[static_cast<std::size_t>(index - 1)];
            // A line of millions of words is cut as soon as it could no
            // longer be admitted, not built whole first.
            const std::size_t joint = line.empty() ? 0 : symbol.size();
            if (!builder.fits(line.size() + joint + word.size() + 2)) {
                full = true;
                break;
            }
            if (joint != 0) line += symbol;
            line += word;
            processPendingMessages();
        }
        if (full) break;
        if (!line.empty()) {
            if (!builder.admit(line.size() + 2)) break;
            builder.text() += line;
            builder.text() += "\r\n";
        }
        processPendingMessages();
        if (stop) break;
    }
    if (count) *count = builder.count();
    return std::move(builder.text());
}

bool pressMergerButton(Form& form, Random& random, bool& stop, const ResultLimits& limits) {
    Control* button = form.find(kMerge);
    if (button && button->text() != utf8ToGbk(kIdleCaption)) {
        stop = true;
        button->setText(utf8ToGbk(kStoppingCaption));
        return true;
    }
    const bool both = tickedOf(form, kTargetBoth);
    std::int64_t wordsPerLine = 2;
    if (!both) {
        const std::optional<std::int64_t> value =
            readNumberBoxOrWarn(form, kWordCountBox, kKeywordMergerTitle);
        if (!value) return false;
        wordsPerLine = *value;
    }
    stop = false;
    if (button) button->setText(utf8ToGbk(kRunningCaption));
    random.reseed();
    const std::string symbol = textOf(form, kSymbol);
    const bool randomOrder = tickedOf(form, kRandomOrder);
    ResultCount count;
    std::string result;
    if (both) {
        result = mergePairs(textOf(form, kList1), textOf(form, kList2), symbol, randomOrder, random,
                            stop, &count, limits);
    } else {
        const std::string list = textOf(form, tickedOf(form, kTarget1) ? kList1 : kList2);
        result = mergeSingle(list, static_cast<int>(wordsPerLine), symbol, randomOrder, random,
                             stop, &count, limits);
    }
    if (Control* box = form.find(kResult)) box->setText(result);
    if (button) button->setText(utf8ToGbk(kIdleCaption));
    announceResultLimit(form, count, "行", kKeywordMergerTitle, limits);
    return true;
}

void applyMergerEnableRule(Form& form) {
    if (Control* count = form.find(kWordCount)) count->setEnabled(!tickedOf(form, kTargetBoth));
}

void restoreKeywordMerger(SettingsStore& store, Form& form) {
    store.selectSection(utf8ToGbk(kKeywordMergerTitle));
    for (std::string_view radio : {kTarget1, kTarget2, kTargetBoth}) {
        if (Control* control = form.find(radio)) store.restoreRadioBox(*control);
    }
    if (Control* count = form.find(kWordCount))
        count->setText(store.readText(utf8ToGbk("词数"), count->text()));
    if (Control* symbol = form.find(kSymbol))
        symbol->setText(store.readText(utf8ToGbk("符号"), symbol->text()));
    if (Control* list = form.find(kList1))
        list->setText(store.readBytes(utf8ToGbk("词组1"), list->text()));
    if (Control* list = form.find(kList2))
        list->setText(store.readBytes(utf8ToGbk("词组2"), list->text()));
    applyMergerEnableRule(form);
}

SaveOutcome saveKeywordMerger(SettingsStore& store, Form& form) {
    // Inside a save each write reaches the document; what cannot reach the
    // disk is told by finishSave.
    store.beginSave();
    store.selectSection(utf8ToGbk(kKeywordMergerTitle));
    for (std::string_view radio : {kTarget1, kTarget2, kTargetBoth}) {
        if (Control* control = form.find(radio)) static_cast<void>(store.saveRadioBox(*control));
    }
    static_cast<void>(store.writeText(utf8ToGbk("词数"), textOf(form, kWordCount)));
    static_cast<void>(store.writeText(utf8ToGbk("符号"), textOf(form, kSymbol)));
    static_cast<void>(store.writeBytes(utf8ToGbk("词组1"), textOf(form, kList1)));
    static_cast<void>(store.writeBytes(utf8ToGbk("词组2"), textOf(form, kList2)));
    return store.finishSave();
}

}  // namespace lct
