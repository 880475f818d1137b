#pragma once
// The sequence text generator: a counted sequence from a start to a stop value
// in steps, each item written as zero-padded digits, as a Chinese numeral
// reading (plain or money form, simple or capital characters) or as letters
// (A … Z, AA …), optionally inside a template, joined by a separator. Works on
// the toolkit interface; tools/sequence_text_window.h only lays out and
// connects. Texts are GBK.

#include <cstdint>
#include <string>
#include <string_view>

#include "form/control_table.h"
#include "form/form.h"
#include "settings/settings_store.h"
#include "tools/result_limit.h"

namespace lct {

/// The window's controls with their defaults (1 to 100 in steps of 1, three
/// zeros, 数位相同, a CR LF separator); the result box is tagged "禁止保存".
const ControlTable& sequenceTextTable();

/// Everything a generation reads from the window.
struct SequenceOptions {
    std::int64_t start = 1;
    std::int64_t step = 1;
    std::int64_t stop = 100;
    bool letters = false;      ///< 英文字母 rather than 阿拉伯数字
    int zeros = 3;             ///< zeros put in front of each number; below 0 counts as 0
    bool sameWidth = true;     ///< keep the last zeros + 1 characters of each number
    bool upper = false;        ///< Chinese numerals, or upper-case letters
    bool money = false;        ///< Chinese numerals in the money form
    bool capital = false;      ///< capital numeral characters
    std::string itemTemplate;  ///< "<序列>" marks the item (GBK)
    std::string separator;     ///< GBK
};

/// The options as the window shows them: the separator "\n" (backslash, n)
/// stands for CR LF; without 扩展组合 the template is "<序列>"; numbers are
/// the leading 64-bit integers of their boxes (readNumberText: blanks and
/// full-width digits read; a fraction is cut toward zero), the zeros kept
/// between 0 and kMaxToolResultBytes.
SequenceOptions readSequenceOptions(Form& form);

/// The plain Chinese reading of `n`: 10 reads 一十, 105 一百零五, 10001 一万零一,
/// 100000 一十万, -3 负三, 0 零; `capital` uses 壹贰叁… and 拾佰仟. Readings go
/// up to 12 digits; a larger magnitude gives "".
std::string chineseNumeral(std::int64_t n, bool capital);

/// The money form: the plain reading followed by 元整 (0 gives 零 alone).
std::string chineseMoney(std::int64_t n, bool capital);

/// The bijective base-26 letters of `n` (1 A, 26 Z, 27 AA, 703 AAA), lower
/// case unless `upper`; 0 and negative values give "".
std::string letterSequence(std::int64_t n, bool upper);

/// The text of one item (before it goes into the template).
std::string sequenceItem(std::int64_t value, const SequenceOptions& options);

/// The whole sequence: u runs from start by step while it has not passed stop
/// (a step pointing away from stop gives ""). A step of 0 gives the start's
/// item once (when start is not past stop) instead of repeating it forever;
/// a step that would leave the 64-bit range ends it. An item that would take
/// the text past `limits` is left out and ends the sequence; `count` (when
/// given) tells how many items were made and whether that happened.
std::string generateSequence(const SequenceOptions& options, ResultCount* count = nullptr,
                             const ResultLimits& limits = {});

/// Why the options cannot be generated (GBK), or "": Chinese numerals read
/// at most 12 digits, so 转为大写 needs start and stop within ±999999999999.
std::string sequenceRangeError(const SequenceOptions& options);

/// 按钮生成: generates from the window's options into 编辑框结果 (replacing
/// it) and announces a result cut at `limits`. A number box out of range, or
/// a range that the numerals cannot read, is refused with a message box and
/// false.
bool generateSequenceInto(Form& form, const ResultLimits& limits = {});

/// The enable rules: 到金额 and 到繁体 only for Chinese numerals; 零位数 and
/// 数位相同 only for digits; the template box and 按钮问号 only with 扩展组合.
void applySequenceCoupling(Form& form);

/// Ticks the kind radio box `name` (单选框数字 or 单选框字母), unticks the
/// other and applies the enable rules.
void selectSequenceKind(Form& form, std::string_view name);

/// 按钮问号: the information message about "<序列>".
void showTemplateHint(Form& form);

/// 按钮复制: puts the result box's text on the clipboard.
void copySequenceResult(Form& form);

/// Restores every stored control of the window from section "序列文本生成器"
/// (persistWindow), then applies the enable rules.
void restoreSequenceSettings(SettingsStore& store, Form& form);
/// Saves every stored control of the window into the same section.
[[nodiscard]] SaveOutcome saveSequenceSettings(SettingsStore& store, Form& form);

}  // namespace lct
