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

using S = StoredAs;

// The 随机/顺序 choice is not kept.
constexpr SettingsRow kSettingsRows[] = {
    {.control = kTarget1, .as = S::Tick},
    {.control = kTarget2, .as = S::Tick},
    {.control = kTargetBoth, .as = S::Tick},
    {.control = kWordCount, .key = "词数", .as = S::Text},
    {.control = kSymbol, .key = "符号", .as = S::Text},
    {.control = kList1, .key = "词组1", .as = S::Bytes},
    {.control = kList2, .key = "词组2", .as = S::Bytes},
};

constexpr SettingsSection kSettings[] = {{kKeywordMergerTitle, kSettingsRows}};

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

SettingsTable keywordMergerSettings() {
    return kSettings;
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

namespace {

// The words of one list, each taken once, in list order or drawn at random.
class WordSource {
  public:
    WordSource(std::vector<std::string> words, bool randomOrder, Random& random)
        : words_(std::move(words)), randomOrder_(randomOrder), random_(random) {}

    bool exhausted() const { return taken_ >= size(); }

    /// The next word; nullptr once every word was taken.
    const std::string* next() {
        if (++taken_ > size()) return nullptr;
        const int index = randomOrder_ ? picker_.pick(random_, 1, size()) : taken_;
        return &words_[static_cast<std::size_t>(index - 1)];
    }

  private:
    int size() const { return static_cast<int>(words_.size()); }

    std::vector<std::string> words_;
    bool randomOrder_;
    Random& random_;
    UniquePicker picker_;
    int taken_ = 0;
};

// Appends up to `k` words of `source` to `line`, joined by `symbol`. False
// when a word no longer fits what `builder` may admit: a line of millions of
// words is cut as soon as it could no longer be admitted, not built whole
// first.
bool fillLine(WordSource& source, int k, std::string_view symbol, ResultBuilder& builder,
              std::string& line) {
    for (int w = 0; w < k; ++w) {
        processPendingMessages();
        const std::string* word = source.next();
        if (!word) break;
        const std::size_t joint = line.empty() ? 0 : symbol.size();
        if (!builder.fits(line.size() + joint + word->size() + 2)) return false;
        if (joint != 0) line += symbol;
        line += *word;
        processPendingMessages();
    }
    return true;
}

}  // namespace

std::string mergeSingle(std::string_view list, int wordsPerLine, std::string_view symbol,
                        bool randomOrder, Random& random, const bool& stop, ResultCount* count,
                        const ResultLimits& limits) {
    WordSource source(splitList(list, "\r\n"), randomOrder, random);
    const int k = std::max(wordsPerLine, 2);
    ResultBuilder builder(limits);
    std::string line;
    while (!source.exhausted()) {
        line.clear();
        processPendingMessages();
        if (!fillLine(source, k, symbol, builder, line)) break;
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
    restoreWindowSettings(store, form, kSettings);
    applyMergerEnableRule(form);
}

SaveOutcome saveKeywordMerger(SettingsStore& store, Form& form) {
    return saveWindowSettings(store, form, kSettings);
}

}  // namespace lct
