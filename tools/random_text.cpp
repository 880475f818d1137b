#include "tools/random_text.h"

#include <algorithm>
#include <array>
#include <limits>

#include "engine/draws.h"
#include "engine/script.h"
#include "form/pending_messages.h"
#include "platform/charset.h"
#include "tools/number_box.h"
#include "tools/random_text_names.h"

namespace lct {

using namespace random_text;

namespace {

constexpr std::string_view kTableRadios[] = {kMostCommon, kCommon, kSecondary};

// Captions are compared with what the buttons show, so they are kept in GBK.
struct Captions {
    std::string chineseIdle = utf8ToGbk("生成随机汉字");
    std::string alnumIdle = utf8ToGbk("生成随机数字字母");
    std::string running = utf8ToGbk("点我停止生成");
    std::string stopping = utf8ToGbk("正在停止中");
};

const Captions& captions() {
    static const Captions c;
    return c;
}

int clampCount(int n) {
    return n <= 0 ? 8 : std::min(n, kMaxGroupCharacters);
}

enum class CharClass { Digit, Lower, Upper };

// The class of one character; the rows are tried from the top.
CharClass drawClass(Random& random, bool noDigits, bool noLower, bool noUpper) {
    if (noDigits && noLower) return CharClass::Upper;
    if (noDigits && noUpper) return CharClass::Lower;
    if (noLower && noUpper) return CharClass::Digit;
    if (noDigits) return randomInt(random, 1, 2) == 1 ? CharClass::Lower : CharClass::Upper;
    if (noLower) return randomInt(random, 0, 1) == 1 ? CharClass::Upper : CharClass::Digit;
    if (noUpper) return randomInt(random, 0, 1) == 1 ? CharClass::Lower : CharClass::Digit;
    switch (randomInt(random, 0, 2)) {
        case 0:
            return CharClass::Digit;
        case 1:
            return CharClass::Lower;
        default:
            return CharClass::Upper;
    }
}

CharacterTable chosenTable(Form& form) {
    if (tickedOf(form, kMostCommon)) return CharacterTable::MostCommon;
    if (tickedOf(form, kCommon)) return CharacterTable::Common;
    if (tickedOf(form, kSecondary)) return CharacterTable::Secondary;
    return CharacterTable::MostCommon;
}

struct Options {
    int low = 0;
    int high = 0;
    std::int64_t groups = 0;
    CharacterTable table = CharacterTable::MostCommon;
    bool traditional = false;
    bool fullWidth = false;
    bool noDigits = false;
    bool noLower = false;
    bool noUpper = false;
};

// Window title and settings section.
constexpr std::string_view kTitle = "随机文本生成器";

// Negative bounds count as 0 (groups of 8); a bound above the longest group
// is refused rather than cut.
constexpr NumberBox kNumberBoxes[] = {
    {kLengthMin, "每组字数", std::numeric_limits<int>::min(), kMaxGroupCharacters},
    {kLengthMax, "每组字数", std::numeric_limits<int>::min(), kMaxGroupCharacters},
    {kGroupCount, "生成组数", std::numeric_limits<int>::min(), std::numeric_limits<int>::max()},
};

// The options, or nullopt after a message about a number out of range.
std::optional<Options> readOptions(Form& form) {
    std::int64_t numbers[std::size(kNumberBoxes)] = {};
    for (std::size_t i = 0; i < std::size(kNumberBoxes); ++i) {
        const std::optional<std::int64_t> value =
            readNumberBoxOrWarn(form, kNumberBoxes[i], kTitle);
        if (!value) return std::nullopt;
        numbers[i] = *value;
    }
    Options o;
    o.low = static_cast<int>(numbers[0]);
    o.high = static_cast<int>(numbers[1]);
    o.groups = numbers[2];
    o.table = chosenTable(form);
    o.traditional = tickedOf(form, kTraditional);
    o.fullWidth = tickedOf(form, kFullWidth);
    o.noDigits = !tickedOf(form, kDigits);
    o.noLower = !tickedOf(form, kLowerCase);
    o.noUpper = !tickedOf(form, kUpperCase);
    return o;
}

ResultCount generate(RandomTextKind kind, const Options& o, const bool& stop, Random& random,
                     const ResultLimits& limits, std::string& result) {
    ResultBuilder builder(limits);
    random.reseed();
    for (std::int64_t i = 1; i <= o.groups; ++i) {
        processPendingMessages();
        const int n = randomInt(random, o.low, o.high);
        const std::string group =
            kind == RandomTextKind::Chinese
                ? randomChinese(random, n, characterTable(o.table), o.traditional)
                : randomAlnum(random, n, o.fullWidth, o.noDigits, o.noLower, o.noUpper);
        const std::size_t separator = builder.text().empty() ? 0 : 2;
        if (!builder.admit(separator + group.size())) break;
        if (separator != 0) builder.text() += "\r\n";
        builder.text() += group;
        if (stop) break;
    }
    // Counted before the text moves out, or it would count no bytes.
    const ResultCount count = builder.count();
    result = std::move(builder.text());
    return count;
}

using S = StoredAs;

constexpr SettingsRow kSettingsRows[] = {
    {.control = kDigits, .as = S::Tick},
    {.control = kLowerCase, .as = S::Tick},
    {.control = kUpperCase, .as = S::Tick},
    {.control = kFullWidth, .as = S::Tick},
    {.control = kTraditional, .as = S::Tick},
    {.control = kMostCommon, .as = S::Tick},
    {.control = kSecondary, .as = S::Tick},
    {.control = kCommon, .as = S::Tick},
    {.control = kLengthMin, .key = "字数1", .as = S::Text},
    {.control = kLengthMax, .key = "字数2", .as = S::Text},
    {.control = kGroupCount, .key = "组数", .as = S::Text},
};

constexpr SettingsSection kSettings[] = {{kTitle, kSettingsRows}};

}  // namespace

const ControlTable& randomTextTable() {
    using K = ControlKind;
    static const ControlTable table = {
        {.name = kLengthLabel, .kind = K::Label, .text = "每组字数："},
        {.name = kLengthMin, .kind = K::EditBox, .text = "3"},
        {.name = kLengthToLabel, .kind = K::Label, .text = "到"},
        {.name = kLengthMax, .kind = K::EditBox, .text = "5"},
        {.name = kLengthUnitLabel, .kind = K::Label, .text = "个"},
        {.name = kGroupCountLabel, .kind = K::Label, .text = "生成组数："},
        {.name = kGroupCount, .kind = K::EditBox, .text = "100"},
        {.name = kTableLabel, .kind = K::Label, .text = "汉字类型："},
        {.name = kMostCommon, .kind = K::RadioBox, .text = "最常用", .ticked = true},
        {.name = kCommon, .kind = K::RadioBox, .text = "一般常用"},
        {.name = kSecondary, .kind = K::RadioBox, .text = "次要常用"},
        {.name = kTraditional, .kind = K::CheckBox, .text = "转为繁体"},
        {.name = kAlnumLabel, .kind = K::Label, .text = "数母成分："},
        {.name = kDigits, .kind = K::CheckBox, .text = "有数字"},
        {.name = kLowerCase, .kind = K::CheckBox, .text = "有小字母", .ticked = true},
        {.name = kUpperCase, .kind = K::CheckBox, .text = "有大字母", .ticked = true},
        {.name = kFullWidth, .kind = K::CheckBox, .text = "转为全角"},
        {.name = kGenerateChinese, .kind = K::Button, .text = "生成随机汉字"},
        {.name = kGenerateAlnum, .kind = K::Button, .text = "生成随机数字字母"},
        {.name = kResult, .kind = K::EditBox, .multiLine = true, .breaksLongLines = true},
        {.name = kCopyResult, .kind = K::Button, .text = "复制结果"},
    };
    return table;
}

SettingsTable randomTextSettings() {
    return kSettings;
}

std::string randomChinese(Random& random, int n, std::string_view table, bool traditional) {
    random.reseed();
    n = clampCount(n);
    if (table.size() < 2) return {};
    const int last = static_cast<int>(std::min<std::size_t>(table.size() - 2, 0x7FFFFFFE));
    std::string group;
    group.reserve(2 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        int offset = randomInt(random, 0, last);
        // Clearing the low bit lands on a character's first byte; the last
        // character is reached from one offset only, the others from two.
        if (offset % 2 == 1) --offset;
        group.append(table.substr(static_cast<std::size_t>(offset), 2));
    }
    return traditional ? convertScript(group, ScriptConversion::ToTraditional) : group;
}

std::string randomAlnum(Random& random, int n, bool fullWidth, bool noDigits, bool noLower,
                        bool noUpper) {
    random.reseed();
    n = clampCount(n);
    std::string group;
    group.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        switch (drawClass(random, noDigits, noLower, noUpper)) {
            case CharClass::Digit:
                group += static_cast<char>('0' + randomInt(random, 0, 9));
                break;
            case CharClass::Lower:
                group += static_cast<char>(randomInt(random, 'a', 'z'));
                break;
            case CharClass::Upper:
                group += static_cast<char>(randomInt(random, 'A', 'Z'));
                break;
        }
    }
    return fullWidth ? toFullWidth(group) : group;
}

std::string toFullWidth(std::string_view text) {
    std::string out;
    out.reserve(2 * text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t size = gbkCharSize(text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        if (size != 1 || byte >= 0x80) {
            out.append(text.substr(i, size));
        } else if (byte >= '!' && byte <= '}') {
            out += static_cast<char>(0xA3);
            out += static_cast<char>(byte + 0x80);
        } else if (byte == ' ') {
            out += "\xA1\xA1";
        } else if (byte == '~') {
            out += "\xA1\xAB";
        } else {
            out += static_cast<char>(byte);
        }
        i += size;
    }
    return out;
}

bool clickRandomTextButton(Form& form, RandomTextKind kind, RandomTextRun& run,
                           std::optional<std::uint64_t> seed, const ResultLimits& limits) {
    const bool chinese = kind == RandomTextKind::Chinese;
    Control* pressed = form.find(chinese ? kGenerateChinese : kGenerateAlnum);
    Control* other = form.find(chinese ? kGenerateAlnum : kGenerateChinese);
    Control* resultBox = form.find(kResult);
    if (!pressed || !other || !resultBox) return false;
    const std::string& idle = chinese ? captions().chineseIdle : captions().alnumIdle;
    if (pressed->text() != idle) {
        pressed->setText(captions().stopping);
        run.stop = true;
        return true;
    }
    const std::optional<Options> options = readOptions(form);
    if (!options) return false;
    run.stop = false;
    run.running = true;
    pressed->setText(captions().running);
    other->setEnabled(false);

    Random random(seed);
    std::string result;
    const ResultCount count = generate(kind, *options, run.stop, random, limits, result);

    resultBox->setText(result);
    other->setEnabled(true);
    pressed->setText(idle);
    run.running = false;
    announceResultLimit(form, count, "组", kTitle, limits);
    return true;
}

void selectCharacterTable(Form& form, std::string_view name) {
    for (std::string_view radio : kTableRadios) {
        if (Control* c = form.find(radio)) c->setTicked(radio == name);
    }
}

void copyRandomTextResult(Form& form) {
    form.setClipboardText(textOf(form, kResult));
}

void restoreRandomTextSettings(SettingsStore& store, Form& form) {
    restoreWindowSettings(store, form, kSettings);
}

SaveOutcome saveRandomTextSettings(SettingsStore& store, Form& form) {
    return saveWindowSettings(store, form, kSettings);
}

}  // namespace lct
