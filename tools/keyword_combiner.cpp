#include "tools/keyword_combiner.h"

#include <limits>
#include <unordered_set>

#include "engine/chars.h"
#include "engine/draws.h"
#include "engine/lists.h"
#include "engine/unique_picker.h"
#include "form/pending_messages.h"
#include "platform/charset.h"
#include "regex/regex_object.h"
#include "regex/strip_whitespace.h"
#include "tools/keyword_combiner_names.h"
#include "tools/result_limit.h"

namespace lct {

using namespace keyword_combiner;

namespace {

constexpr std::string_view kStartCaption = "开始组合";
constexpr std::string_view kRunningCaption = "停止组合";
constexpr std::string_view kStoppingCaption = "停止中..";

constexpr int kVerticalUnique = 1;
constexpr int kVerticalFree = 2;
constexpr int kHorizontalUnique = 1;

// A run of more lines than this asks first.
constexpr std::uint64_t kConfirmLines = 100'000;

void setCaption(Form& form, std::string_view utf8) {
    if (Control* button = form.find(kStart)) button->setText(utf8ToGbk(utf8));
}

// The run's state: one group per box, the pickers and the taken words.
class Combiner {
  public:
    Combiner(const CombineRequest& request, Random& random, const bool& stop,
             const CombineLimits& limits, std::string& output)
        : request_(request), random_(random), stop_(stop), limits_(limits), output_(output) {
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            groups_[g].words = &request.groups[g];
            groups_[g].count = static_cast<int>(request.groups[g].size());
        }
    }

    CombineOutcome run() {
        outcome_ = {};
        walk(0);
        return outcome_;
    }

  private:
    struct Group {
        const std::vector<std::string>* words = nullptr;
        int count = 0;
        UniquePicker picker;
        int position = 0;
    };

    // One loop level; false when every level must be left.
    bool walk(std::size_t depth) {
        Group& group = groups_[depth];
        for (int i = 0; i < group.count; ++i) {
            processPendingMessages();
            slots_[depth] = pickWord(group);
            if (depth + 1 < groups_.size()) {
                if (!walk(depth + 1)) return false;
                continue;
            }
            buildLine();
            // A line that would pass a limit is not appended.
            if (outcome_.lines >= limits_.maxLines || output_.size() > limits_.maxBytes ||
                line_.size() > limits_.maxBytes - output_.size()) {
                outcome_.end = CombineEnd::LimitReached;
                return false;
            }
            output_ += line_;
            ++outcome_.lines;
            if (stop_) {
                outcome_.end = CombineEnd::Stopped;
                return false;
            }
        }
        return true;
    }

    std::string_view pickWord(Group& group) {
        int index = 0;
        if (request_.vertical == kVerticalUnique) {
            index = group.picker.pick(random_, 1, group.count);
        } else if (request_.vertical == kVerticalFree) {
            index = randomInt(random_, 1, group.count);
        } else {
            if (++group.position > group.count) group.position = 1;
            index = group.position;
        }
        return (*group.words)[static_cast<std::size_t>(index - 1)];
    }

    // The current combination's line and its CR LF, into line_.
    void buildLine() {
        line_.clear();
        const int separatorCount = static_cast<int>(request_.separators.size());
        for (int p = 0; p < 4; ++p) {
            processPendingMessages();
            int slot = 0;
            if (request_.horizontal == kHorizontalUnique) {
                slot = horizontalPicker_.pick(random_, 1, 4);
            } else {
                if (++horizontalCounter_ > 4) horizontalCounter_ = 1;
                slot = horizontalCounter_;
            }
            const std::string_view word = slots_[static_cast<std::size_t>(slot - 1)];
            if (word.empty()) continue;
            // Drawn for every word, the first of a line included, so that the
            // sequence of symbols follows the picker's cycles.
            const int separator = separatorPicker_.pick(random_, 1, separatorCount);
            if (!line_.empty())
                line_ += request_.separators[static_cast<std::size_t>(separator - 1)];
            line_ += word;
        }
        line_ += "\r\n";
    }

    const CombineRequest& request_;
    Random& random_;
    const bool& stop_;
    const CombineLimits& limits_;
    std::string& output_;
    std::array<Group, 4> groups_;
    std::array<std::string_view, 4> slots_;
    UniquePicker separatorPicker_;
    UniquePicker horizontalPicker_;
    int horizontalCounter_ = 0;
    std::string line_;
    CombineOutcome outcome_;
};

using S = StoredAs;

constexpr SettingsRow kSettingsRows[] = {
    {.control = kVerticalMode, .key = "纵向调用方式", .as = S::Index},
    {.control = kHorizontalMode, .key = "横向组合方式", .as = S::Index},
    {.control = kSymbols, .key = "组合符号", .as = S::Text},
    {.control = kGroupBox1, .key = "词组1", .as = S::Bytes},
    {.control = kGroupBox2, .key = "词组2", .as = S::Bytes},
    {.control = kGroupBox3, .key = "词组3", .as = S::Bytes},
    {.control = kGroupBox4, .key = "词组4", .as = S::Bytes},
};

constexpr SettingsSection kSettings[] = {{kKeywordCombinerTitle, kSettingsRows}};

}  // namespace

const ControlTable& keywordCombinerTable() {
    using K = ControlKind;
    static const ControlTable table = {
        {.name = kGroupLabel1, .kind = K::Label, .text = "词组1："},
        {.name = kGroupBox1, .kind = K::EditBox, .text = "我\r\n你\r\n她", .multiLine = true},
        {.name = kPasteGroup1, .kind = K::Button, .text = "粘贴"},
        {.name = kClearGroup1, .kind = K::Button, .text = "清空"},
        {.name = kGroupLabel2, .kind = K::Label, .text = "词组2："},
        {.name = kGroupBox2, .kind = K::EditBox, .text = "很\r\n甚\r\n超", .multiLine = true},
        {.name = kPasteGroup2, .kind = K::Button, .text = "粘贴"},
        {.name = kClearGroup2, .kind = K::Button, .text = "清空"},
        {.name = kGroupLabel3, .kind = K::Label, .text = "词组3："},
        {.name = kGroupBox3, .kind = K::EditBox, .text = "爱\r\n恨\r\n想", .multiLine = true},
        {.name = kPasteGroup3, .kind = K::Button, .text = "粘贴"},
        {.name = kClearGroup3, .kind = K::Button, .text = "清空"},
        {.name = kGroupLabel4, .kind = K::Label, .text = "词组4："},
        {.name = kGroupBox4, .kind = K::EditBox, .text = "甲\r\n乙\r\n丙", .multiLine = true},
        {.name = kPasteGroup4, .kind = K::Button, .text = "粘贴"},
        {.name = kClearGroup4, .kind = K::Button, .text = "清空"},
        {.name = kVerticalModeLabel, .kind = K::Label, .text = "纵向调用方式："},
        // 原始顺序 first: the full cross product in box order is what a
        // first run should show.
        {.name = kVerticalMode,
         .kind = K::ComboBox,
         .items = {"原始顺序", "不重复随机", "自然随机"}},
        {.name = kHorizontalModeLabel, .kind = K::Label, .text = "横向组合方式："},
        {.name = kHorizontalMode, .kind = K::ComboBox, .items = {"原始顺序", "不重复随机"}},
        {.name = kSymbolsLabel, .kind = K::Label, .text = "组合符号："},
        {.name = kSymbols, .kind = K::EditBox},
        {.name = kStart, .kind = K::Button, .text = "开始组合"},
        {.name = kResult, .kind = K::EditBox, .multiLine = true, .breaksLongLines = true},
        {.name = kLineCount, .kind = K::Label},
        {.name = kCopyResult, .kind = K::Button, .text = "复制结果"},
        {.name = kHelp, .kind = K::Button, .text = "使用帮助"},
    };
    return table;
}

SettingsTable keywordCombinerSettings() {
    return kSettings;
}

const std::string& keywordCombinerHelp() {
    static const std::string text = [] {
        const std::string rule47(47, '-');
        const std::string rule48(48, '-');
        const std::string lines[] = {
            "程序支持最多 4 个词组进行交叉组合，且只对有数据的词组进行组合。",
            "（如只有“词组1”和“词组3”有数据，那么程序只对“词组1”和“词组3”进行组合）",
            "",
            rule47,
            "",
            "下面假设 4 个词组都参与组合：",
            "",
            "纵向调用方式：这 4 个词组，每个词组内部的纵向调用方式，每个词组各调用一个词出来，共 4 "
            "个词。",
            "横向组合方式：这 4 个调出来的词的横向组合方式。",
            "",
            "组合符号：4 个词进行横向组合时的分隔符号。这里可以输入多个相连符号，程序将在组合过程中"
            "随机选择一个。也可以留空，这样组合时便不会有分隔符。",
            "",
            rule47,
            "",
            "纵向调用方式不是“自然随机”的情况下，组合的结果数是可以计算的。公式 = 词1数量 x "
            "词2数量 x 词3数量 x 词4数量",
            "",
            "若纵向调用方式为“自然随机”，则组合的结果可能会存在重复，因此程序自动去重，故组合的最"
            "终结果数每次都可能不同，但绝不会超过上面公式计算的最大值。",
            "",
            rule48,
            "",
            "不重复随机：一种最大化避免重复内容的随机算法：3个苹果，我可能先吃第2个，再吃第3个，最"
            "后吃第1个，吃的顺序是随机的，但一定全吃完了，才重新摆3个苹果继续随机吃",
        };
        std::string joined;
        for (const std::string& line : lines) {
            if (&line != &lines[0]) joined += "\r\n";
            joined += line;
        }
        return utf8ToGbk(joined);
    }();
    return text;
}

std::vector<std::string> combinerWords(std::string_view boxText) {
    RegexObject blankLines;
    std::vector<std::string> words =
        splitList(stripWhitespace(boxText, WhitespaceMode::BlankLines, blankLines), "\r\n");
    if (words.empty()) words.emplace_back();
    return words;
}

std::vector<std::string> combinerSeparators(std::string_view symbols) {
    std::vector<std::string> separators;
    const CharIndex chars(symbols);
    for (int i = 1; i <= chars.count(); ++i)
        separators.emplace_back(chars.at(i));
    if (separators.empty()) separators.emplace_back();
    return separators;
}

std::string distinctLines(std::string_view text) {
    // One pass with a set instead of removing each line's copies from the
    // rest of the list: the same lines in the same order, in linear time.
    std::unordered_set<std::string_view> seen;
    std::string out;
    auto take = [&](std::string_view line) {
        if (line.empty() || !seen.insert(line).second) return;
        if (!out.empty()) out += "\r\n";
        out += line;
    };
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            take(text.substr(start, i - start));
            i += 2;
            start = i;
        } else {
            i += charSize(text, i);
        }
    }
    if (start < text.size()) take(text.substr(start));
    return out;
}

CombineOutcome combineGroups(const CombineRequest& request, Random& random, const bool& stop,
                             const CombineLimits& limits, std::string& output) {
    for (const auto& group : request.groups) {
        if (group.empty()) return {};
    }
    if (request.separators.empty()) return {};
    return Combiner(request, random, stop, limits, output).run();
}

std::string combineLimitMessage(const CombineOutcome& outcome, const CombineLimits& limits) {
    return resultLimitMessage({outcome.lines, outcome.bytes, true}, "行",
                              {limits.maxLines, limits.maxBytes});
}

std::uint64_t combinationCount(const CombineRequest& request) {
    std::uint64_t product = 1;
    for (const auto& group : request.groups) {
        const std::uint64_t n = group.size();
        if (n != 0 && product > std::numeric_limits<std::uint64_t>::max() / n)
            return std::numeric_limits<std::uint64_t>::max();
        product *= n;
    }
    return product;
}

std::size_t countLines(std::string_view text) {
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    if (!text.empty() && !text.ends_with("\r\n")) ++lines;
    return lines;
}

std::string lineCountText(std::size_t lines) {
    return utf8ToGbk("共 " + std::to_string(lines) + " 行");
}

bool combinerIdle(Form& form) {
    return textOf(form, kStart) == utf8ToGbk(kStartCaption);
}

namespace {

CombineRequest readRequest(Form& form) {
    CombineRequest request;
    request.separators = combinerSeparators(textOf(form, kSymbols));
    for (std::size_t g = 0; g < request.groups.size(); ++g)
        request.groups[g] = combinerWords(textOf(form, kGroupBoxes[g]));
    request.vertical = indexOf(form, kVerticalMode);
    request.horizontal = indexOf(form, kHorizontalMode);
    return request;
}

// Asks before a run of more than kConfirmLines lines; true to go on.
bool confirmLargeRun(Form& form, const CombineRequest& request, const CombineLimits& limits) {
    const std::uint64_t lines = combinationCount(request);
    if (lines <= kConfirmLines) return true;
    std::string text =
        (lines == std::numeric_limits<std::uint64_t>::max() ? "超过 " : "") + std::to_string(lines);
    text = (request.vertical == kVerticalFree ? "本次组合最多生成 " : "本次组合将生成 ") + text +
           " 行";
    if (lines > limits.maxLines)
        text += "，超过上限，只会生成前 " + std::to_string(limits.maxLines) + " 行";
    text += "。生成和显示需要一些时间，确定要开始组合吗？";
    return form.messageBox(utf8ToGbk(text), utf8ToGbk(kKeywordCombinerTitle), MessageButtons::YesNo,
                           MessageIcon::Information) == MessageAnswer::Yes;
}

}  // namespace

bool runKeywordCombiner(Form& form, bool& stop, Random& random, const CombineLimits& limits) {
    const CombineRequest request = readRequest(form);
    if (!confirmLargeRun(form, request, limits)) return false;
    stop = false;
    setCaption(form, kRunningCaption);
    random.reseed();

    std::string output;
    CombineOutcome outcome = combineGroups(request, random, stop, limits, output);
    outcome.bytes = output.size();
    if (request.vertical == kVerticalFree) output = distinctLines(output);
    if (Control* result = form.find(kResult)) result->setText(output);
    if (Control* count = form.find(kLineCount)) count->setText(lineCountText(countLines(output)));
    setCaption(form, kStartCaption);

    if (outcome.end == CombineEnd::LimitReached)
        form.messageBox(combineLimitMessage(outcome, limits), utf8ToGbk(kKeywordCombinerTitle),
                        MessageButtons::Ok, MessageIcon::Warning);
    return true;
}

void requestCombinerStop(Form& form, bool& stop) {
    stop = true;
    setCaption(form, kStoppingCaption);
}

bool pressCombinerButton(Form& form, bool& stop, Random& random, const CombineLimits& limits) {
    if (combinerIdle(form)) return runKeywordCombiner(form, stop, random, limits);
    requestCombinerStop(form, stop);
    return true;
}

void restoreKeywordCombiner(SettingsStore& store, Form& form) {
    restoreWindowSettings(store, form, kSettings);
}

SaveOutcome saveKeywordCombiner(SettingsStore& store, Form& form) {
    return saveWindowSettings(store, form, kSettings);
}

}  // namespace lct
