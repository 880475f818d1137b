#include "tools/keyword_merger.h"

#include <algorithm>
#include <vector>

#include "engine/draws.h"
#include "engine/lists.h"
#include "platform/charset.h"

namespace lct {
namespace {

constexpr std::string_view kList1 = "编辑框列表1";
constexpr std::string_view kList2 = "编辑框列表2";
constexpr std::string_view kTarget1 = "单选框词组1";
constexpr std::string_view kTarget2 = "单选框词组2";
constexpr std::string_view kTargetBoth = "单选框词组1和词组2";
constexpr std::string_view kWordCount = "编辑框词数";
constexpr std::string_view kSymbol = "编辑框符号";
constexpr std::string_view kRandom = "单选框随机";
constexpr std::string_view kResult = "编辑框结果";

constexpr int kSampleLines = 100;
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
        {.name = "标签列表1", .kind = K::Label, .text = "词组1："},
        {.name = "编辑框列表1", .kind = K::EditBox, .text = sampleLetters(), .multiLine = true},
        {.name = "按钮粘贴1", .kind = K::Button, .text = "粘贴"},
        {.name = "标签列表2", .kind = K::Label, .text = "词组2："},
        {.name = "编辑框列表2", .kind = K::EditBox, .text = sampleChinese(), .multiLine = true},
        {.name = "按钮粘贴2", .kind = K::Button, .text = "粘贴"},
        {.name = "标签合并对象", .kind = K::Label, .text = "合并对象："},
        {.name = "单选框词组1", .kind = K::RadioBox, .text = "词组1"},
        {.name = "单选框词组2", .kind = K::RadioBox, .text = "词组2"},
        {.name = "单选框词组1和词组2", .kind = K::RadioBox, .text = "词组1和词组2", .ticked = true},
        {.name = "标签词数", .kind = K::Label, .text = "合并词数："},
        {.name = "编辑框词数", .kind = K::EditBox, .text = "2", .enabled = false},
        {.name = "单选框随机", .kind = K::RadioBox, .text = "随机", .ticked = true},
        {.name = "单选框顺序", .kind = K::RadioBox, .text = "顺序"},
        {.name = "标签符号", .kind = K::Label, .text = "合并符号："},
        {.name = "编辑框符号", .kind = K::EditBox, .text = ","},
        {.name = "按钮合并", .kind = K::Button, .text = "合并"},
        {.name = "标签结果", .kind = K::Label, .text = "合并结果："},
        {.name = "编辑框结果", .kind = K::EditBox, .multiLine = true},
        {.name = "按钮复制", .kind = K::Button, .text = "复制"},
    };
    return table;
}

std::string mergePairs(std::string_view list1, std::string_view list2, std::string_view symbol,
                       bool randomOrder, Random& random, const bool& stop) {
    const std::vector<std::string> words1 = splitList(list1, "\r\n");
    std::vector<std::string> words2 = splitList(list2, "\r\n");
    const int n = static_cast<int>(words1.size());
    words2.resize(words1.size());
    UniquePicker picker1;
    UniquePicker picker2;
    std::string result;
    for (int i = 1; i <= n; ++i) {
        processPendingMessages();
        int a = i;
        int b = i;
        if (randomOrder) {
            a = picker1.pick(random, 1, n);
            b = picker2.pick(random, 1, n);
        }
        result += words1[static_cast<std::size_t>(a - 1)];
        result += symbol;
        result += words2[static_cast<std::size_t>(b - 1)];
        result += "\r\n";
        processPendingMessages();
        if (stop) break;
    }
    return result;
}

std::string mergeSingle(std::string_view list, int wordsPerLine, std::string_view symbol,
                        bool randomOrder, Random& random, const bool& stop) {
    const std::vector<std::string> words = splitList(list, "\r\n");
    const int n = static_cast<int>(words.size());
    const int k = std::max(wordsPerLine, 2);
    UniquePicker picker;
    std::string result;
    int taken = 0;
    while (taken < n) {
        const std::size_t lineStart = result.size();
        processPendingMessages();
        for (int w = 0; w < k; ++w) {
            processPendingMessages();
            if (++taken > n) break;
            const int index = randomOrder ? picker.pick(random, 1, n) : taken;
            if (result.size() != lineStart) result += symbol;
            result += words[static_cast<std::size_t>(index - 1)];
            processPendingMessages();
        }
        if (result.size() != lineStart) result += "\r\n";
        processPendingMessages();
        if (stop) break;
    }
    return result;
}

void runKeywordMerger(Form& form, Random& random, bool& stop) {
    stop = false;
    random.reseed();
    const std::string symbol = textOf(form, kSymbol);
    const bool randomOrder = tickedOf(form, kRandom);
    std::string result;
    if (tickedOf(form, kTargetBoth)) {
        result = mergePairs(textOf(form, kList1), textOf(form, kList2), symbol, randomOrder, random,
                            stop);
    } else {
        const std::string list = textOf(form, tickedOf(form, kTarget1) ? kList1 : kList2);
        result = mergeSingle(list, integerOf(form, kWordCount), symbol, randomOrder, random, stop);
    }
    if (Control* box = form.find(kResult)) box->setText(result);
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
    store.beginSave();
    store.selectSection(utf8ToGbk(kKeywordMergerTitle));
    for (std::string_view radio : {kTarget1, kTarget2, kTargetBoth}) {
        if (Control* control = form.find(radio)) store.saveRadioBox(*control);
    }
    store.writeText(utf8ToGbk("词数"), textOf(form, kWordCount));
    store.writeText(utf8ToGbk("符号"), textOf(form, kSymbol));
    store.writeBytes(utf8ToGbk("词组1"), textOf(form, kList1));
    store.writeBytes(utf8ToGbk("词组2"), textOf(form, kList2));
    return store.finishSave();
}

}  // namespace lct
