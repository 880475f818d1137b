#include "tools/sequence_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <vector>

#include "platform/charset.h"
#include "tools/number_box.h"
#include "tools/result_limit.h"
#include "tools/sequence_text_names.h"

namespace lct {

using namespace sequence_text;

namespace {

// The numeral characters of one set, in GBK.
struct NumeralSet {
    std::array<std::string, 10> digits;
    std::array<std::string, 12> units;  ///< positions 1 to 12
};

NumeralSet makeSet(std::string_view digitsUtf8, std::string_view unitsUtf8) {
    NumeralSet set;
    const std::string digits = utf8ToGbk(digitsUtf8);
    const std::string units = utf8ToGbk(unitsUtf8);
    for (std::size_t i = 0; i < set.digits.size(); ++i)
        set.digits[i] = digits.substr(2 * i, 2);
    for (std::size_t i = 0; i < set.units.size(); ++i)
        set.units[i] = units.substr(2 * i, 2);
    return set;
}

const NumeralSet& numeralSet(bool capital) {
    static const NumeralSet simple = makeSet("零一二三四五六七八九", "十百千万十百千亿十百千万");
    static const NumeralSet upper = makeSet("零壹贰叁肆伍陆柒捌玖", "拾佰仟万拾佰仟亿拾佰仟万");
    return capital ? upper : simple;
}

struct Words {
    std::string negative = utf8ToGbk("负");
    std::string tenThousand = utf8ToGbk("万");
    std::string hundredMillion = utf8ToGbk("亿");
    std::string yuanWhole = utf8ToGbk("元整");
    std::string marker = utf8ToGbk("<序列>");
    std::string hint =
        utf8ToGbk("扩展组合的话， <序列>  代表生成的序列值，你可以在左右添加其他内容！");
    std::string section = utf8ToGbk("序列文本生成器");
};

const Words& words() {
    static const Words w;
    return w;
}

constexpr int kMaxNumeralDigits = 12;
constexpr std::int64_t kMaxNumeralValue = 999'999'999'999;

constexpr std::string_view kTitle = "序列文本生成器";

// More zeros than a whole result can hold make no item; a negative count
// counts as 0.
constexpr std::int64_t kMaxZeros = kMaxToolResultBytes;
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr NumberBox kNumberBoxes[] = {
    {kStart, "起始值", kInt64Min, kInt64Max},
    {kStep, "间隔值", kInt64Min, kInt64Max},
    {kStop, "终止值", kInt64Min, kInt64Max},
    {kZeros, "零位数", std::numeric_limits<int>::min(), kMaxZeros},
};

// True when u + step stays inside the 64-bit range.
bool withinRange(std::int64_t u, std::int64_t step) {
    return step >= 0 ? u <= kInt64Max - step : u >= kInt64Min - step;
}

// The template cut at its markers: item goes between consecutive pieces.
struct SplitTemplate {
    std::vector<std::string_view> pieces;
    std::size_t literalBytes = 0;
};

SplitTemplate splitTemplate(std::string_view text, std::string_view marker) {
    SplitTemplate split;
    for (;;) {
        const std::size_t at = text.find(marker);
        split.pieces.push_back(text.substr(0, at));
        split.literalBytes += split.pieces.back().size();
        if (at == std::string_view::npos) break;
        text.remove_prefix(at + marker.size());
    }
    return split;
}

void setEnabled(Form& form, std::string_view name, bool enabled) {
    if (Control* c = form.find(name)) c->setEnabled(enabled);
}

}  // namespace

const ControlTable& sequenceTextTable() {
    using K = ControlKind;
    static const ControlTable table = {
        {.name = kStartLabel, .kind = K::Label, .text = "起始值："},
        {.name = kStart, .kind = K::EditBox, .text = "1"},
        {.name = kStepLabel, .kind = K::Label, .text = "间隔值："},
        {.name = kStep, .kind = K::EditBox, .text = "1"},
        {.name = kStopLabel, .kind = K::Label, .text = "终止值："},
        {.name = kStop, .kind = K::EditBox, .text = "100"},
        {.name = kNumbers, .kind = K::RadioBox, .text = "阿拉伯数字", .ticked = true},
        {.name = kLetters, .kind = K::RadioBox, .text = "英文字母"},
        {.name = kZerosLabel, .kind = K::Label, .text = "零位数："},
        {.name = kZeros, .kind = K::EditBox, .text = "3"},
        {.name = kSameWidth, .kind = K::CheckBox, .text = "数位相同", .ticked = true},
        {.name = kUpper, .kind = K::CheckBox, .text = "转为大写"},
        {.name = kMoney, .kind = K::CheckBox, .text = "到金额", .enabled = false},
        {.name = kCapital, .kind = K::CheckBox, .text = "到繁体", .enabled = false},
        {.name = kExtended, .kind = K::CheckBox, .text = "扩展组合"},
        {.name = kTemplate, .kind = K::EditBox, .text = "【关键词<序列>】", .enabled = false},
        {.name = kTemplateHint, .kind = K::Button, .text = "?", .enabled = false},
        {.name = kSeparatorLabel, .kind = K::Label, .text = "分隔符："},
        // Multi-line, so that the box can hold its default line break.
        {.name = kSeparator,
         .kind = K::EditBox,
         .text = "\r\n",
         .multiLine = true,
         .typesTabs = true},
        {.name = kGenerate, .kind = K::Button, .text = "生成序列"},
        {.name = kResult,
         .kind = K::EditBox,
         .multiLine = true,
         .tag = "禁止保存",
         .breaksLongLines = true},
        {.name = kCopyResult, .kind = K::Button, .text = "复制"},
    };
    return table;
}

SequenceOptions readSequenceOptions(Form& form) {
    auto number = [&form](std::string_view name) {
        return readNumberText(textOf(form, name)).value;
    };
    SequenceOptions o;
    o.start = number(kStart);
    o.step = number(kStep);
    o.stop = number(kStop);
    o.letters = !tickedOf(form, kNumbers) && tickedOf(form, kLetters);
    o.zeros = static_cast<int>(std::clamp<std::int64_t>(number(kZeros), 0, kMaxZeros));
    o.sameWidth = tickedOf(form, kSameWidth);
    o.upper = tickedOf(form, kUpper);
    o.money = tickedOf(form, kMoney);
    o.capital = tickedOf(form, kCapital);
    o.itemTemplate = tickedOf(form, kExtended) ? textOf(form, kTemplate) : words().marker;
    o.separator = textOf(form, kSeparator);
    if (o.separator == "\\n") o.separator = "\r\n";
    return o;
}

namespace {

// The decimal digits of a numeral, the lowest first.
struct Digits {
    std::array<int, kMaxNumeralDigits> at{};
    int count = 0;

    int operator[](int p) const { return at[static_cast<std::size_t>(p)]; }
};

// The digits of |n|; nullopt when it has more than kMaxNumeralDigits.
std::optional<Digits> decimalDigits(std::int64_t n) {
    // The magnitude as unsigned, so that the smallest int64 has one too.
    std::uint64_t rest = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    Digits digits;
    for (; rest > 0; rest /= 10) {
        if (digits.count == kMaxNumeralDigits) return std::nullopt;
        digits.at[static_cast<std::size_t>(digits.count++)] = static_cast<int>(rest % 10);
    }
    return digits;
}

// The lowest non-zero position of the group of four from `from`; -1 when the
// group holds none.
int lowestNonZero(const Digits& digit, int from) {
    for (int p = from; p < std::min(from + 4, digit.count); ++p) {
        if (digit[p] != 0) return p;
    }
    return -1;
}

// The reading of `digit` (at least one non-zero), without a sign.
std::string reading(const Digits& digit, const NumeralSet& set) {
    // The lowest non-zero position of each group (万: 4 to 7, 亿: 8 to 11); a
    // group whose own first position is zero gets its mark after that digit.
    const int markAt[2] = {lowestNonZero(digit, 4), lowestNonZero(digit, 8)};

    // Pieces from the lowest position up, joined the other way round.
    std::vector<std::string> pieces;
    bool nonZeroBelow = false;
    bool zeroWritten = false;
    for (int p = 0; p < digit.count; ++p) {
        const int d = digit[p];
        if (d == 0) {
            if (nonZeroBelow && !zeroWritten) {
                pieces.push_back(set.digits[0]);
                zeroWritten = true;
            }
            continue;
        }
        std::string piece = set.digits[static_cast<std::size_t>(d)];
        if (p > 0) piece += set.units[static_cast<std::size_t>(p - 1)];
        if (p == markAt[0] && p != 4) piece += words().tenThousand;
        if (p == markAt[1] && p != 8) piece += words().hundredMillion;
        pieces.push_back(std::move(piece));
        nonZeroBelow = true;
        zeroWritten = false;
    }
    std::string out;
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
        out += *it;
    return out;
}

}  // namespace

std::string chineseNumeral(std::int64_t n, bool capital) {
    const NumeralSet& set = numeralSet(capital);
    if (n == 0) return set.digits[0];
    const std::optional<Digits> digits = decimalDigits(n);
    if (!digits) return {};
    return (n < 0 ? words().negative : std::string()) + reading(*digits, set);
}

std::string chineseMoney(std::int64_t n, bool capital) {
    if (n == 0) return numeralSet(capital).digits[0];
    std::string reading = chineseNumeral(n, capital);
    if (reading.empty()) return {};
    return reading + words().yuanWhole;
}

std::string letterSequence(std::int64_t n, bool upper) {
    std::string out;
    const char first = upper ? 'A' : 'a';
    while (n > 0) {
        std::int64_t r = n % 26;
        if (r == 0) {
            r = 26;
            --n;
        }
        out.insert(out.begin(), static_cast<char>(first + r - 1));
        n /= 26;
    }
    return out;
}

namespace {

// The item text of `value` written over `item`, whose buffer is reused.
void writeSequenceItem(std::int64_t value, const SequenceOptions& o, std::string& item) {
    if (o.letters) {
        item = letterSequence(value, o.upper);
        return;
    }
    if (o.upper) {
        item = o.money ? chineseMoney(value, o.capital) : chineseNumeral(value, o.capital);
        return;
    }
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    // An item can never be longer than a whole result.
    const std::size_t zeros =
        std::min(static_cast<std::size_t>(std::max(o.zeros, 0)), kMaxToolResultBytes);
    item.clear();
    if (negative) item += '-';
    item.append(zeros, '0');
    item.append(digits, static_cast<std::size_t>(end - digits));
    if (o.sameWidth && item.size() > zeros + 1) item.erase(0, item.size() - (zeros + 1));
}

}  // namespace

std::string sequenceItem(std::int64_t value, const SequenceOptions& o) {
    std::string item;
    writeSequenceItem(value, o, item);
    return item;
}

std::string generateSequence(const SequenceOptions& o, ResultCount* count,
                             const ResultLimits& limits) {
    const SplitTemplate split = splitTemplate(o.itemTemplate, words().marker);
    const std::size_t markers = split.pieces.size() - 1;
    ResultBuilder builder(limits);
    std::string& out = builder.text();
    std::string item;  // reused: one buffer for every item
    for (std::int64_t u = o.start; (o.step >= 0 && u <= o.stop) || (o.step < 0 && u >= o.stop);
         u += o.step) {
        writeSequenceItem(u, o, item);
        const std::size_t bytes =
            (out.empty() ? 0 : o.separator.size()) + split.literalBytes + markers * item.size();
        if (!builder.admit(bytes)) break;
        if (!out.empty()) out += o.separator;
        out += split.pieces[0];
        for (std::size_t i = 1; i < split.pieces.size(); ++i) {
            out += item;
            out += split.pieces[i];
        }
        // A step of 0 would repeat the start forever: it gives one item. A
        // step past the end of the 64-bit range ends the sequence.
        if (o.step == 0 || !withinRange(u, o.step)) break;
    }
    if (count) *count = builder.count();
    return std::move(out);
}

std::string sequenceRangeError(const SequenceOptions& o) {
    if (o.letters || !o.upper) return {};
    const auto outside = [](std::int64_t v) {
        return v > kMaxNumeralValue || v < -kMaxNumeralValue;
    };
    if (!outside(o.start) && !outside(o.stop)) return {};
    return utf8ToGbk("转为大写时，起始值和终止值应在 -" + std::to_string(kMaxNumeralValue) +
                     " 到 " + std::to_string(kMaxNumeralValue) + " 之间（最多 12 位数）。");
}

bool generateSequenceInto(Form& form, const ResultLimits& limits) {
    for (const NumberBox& box : kNumberBoxes) {
        if (!readNumberBoxOrWarn(form, box, kTitle)) return false;
    }
    const SequenceOptions options = readSequenceOptions(form);
    if (const std::string error = sequenceRangeError(options); !error.empty()) {
        form.messageBox(error, utf8ToGbk(kTitle), MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    ResultCount count;
    const std::string result = generateSequence(options, &count, limits);
    if (Control* box = form.find(kResult)) box->setText(result);
    announceResultLimit(form, count, "项", kTitle, limits);
    return true;
}

void applySequenceCoupling(Form& form) {
    const bool numbers = tickedOf(form, kNumbers);
    const bool upper = tickedOf(form, kUpper);
    const bool extended = tickedOf(form, kExtended);
    setEnabled(form, kMoney, numbers && upper);
    setEnabled(form, kCapital, numbers && upper);
    setEnabled(form, kZeros, numbers && !upper);
    setEnabled(form, kSameWidth, numbers && !upper);
    setEnabled(form, kTemplate, extended);
    setEnabled(form, kTemplateHint, extended);
}

void selectSequenceKind(Form& form, std::string_view name) {
    for (std::string_view radio : {std::string_view(kNumbers), std::string_view(kLetters)}) {
        if (Control* c = form.find(radio)) c->setTicked(radio == name);
    }
    applySequenceCoupling(form);
}

void showTemplateHint(Form& form) {
    form.messageBox(words().hint, {}, MessageButtons::Ok, MessageIcon::Information);
}

void copySequenceResult(Form& form) {
    form.setClipboardText(textOf(form, kResult));
}

void restoreSequenceSettings(SettingsStore& store, Form& form) {
    store.persistWindow(form, true, words().section);
    applySequenceCoupling(form);
}

SaveOutcome saveSequenceSettings(SettingsStore& store, Form& form) {
    store.beginSave();
    store.persistWindow(form, false, words().section);
    return store.finishSave();
}

}  // namespace lct
