#pragma once
// The keyword merger: joins the words of two lists pairwise into lines, or
// packs the words of one list into lines of a fixed number of words, in list
// order or in a random order without repetition, with a symbol between the
// joined words.
//
// Everything here works on a Form built from keywordMergerTable(), so it runs
// headless; tools/keyword_merger_window.h shows it. Texts are GBK with CR LF.

#include <string>
#include <string_view>

#include "form/control_table.h"
#include "form/form.h"
#include "platform/random.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"
#include "tools/result_limit.h"

namespace lct {

/// Window title and settings section (UTF-8).
inline constexpr std::string_view kKeywordMergerTitle = "关键词合并器";

/// Every control of the window, in the window's own order, with its default.
/// The two lists start with 100 sample lines each: 3 to 5 ASCII letters in
/// list 1, 3 to 5 Chinese characters in list 2 (the same on every start).
const ControlTable& keywordMergerTable();
/// What the window keeps in section 关键词合并器: the three target radio
/// boxes, 词数, 符号 and the two lists (byte blocks).
SettingsTable keywordMergerSettings();

/// One line per word of `list1`: the word, `symbol`, the word of `list2` at
/// the same position ("" when list 2 is shorter; its surplus words are never
/// used) and a CR LF. With `randomOrder` both sides are drawn without
/// repetition, independently. Lists split at CR LF; an empty list 1 gives "".
/// Processes pending messages while it works and returns the lines made so
/// far once `stop` is set after a line. A line that would take the result past
/// `limits` is left out and ends the merge; `count` (when given) says so.
std::string mergePairs(std::string_view list1, std::string_view list2, std::string_view symbol,
                       bool randomOrder, Random& random, const bool& stop,
                       ResultCount* count = nullptr, const ResultLimits& limits = {});

/// Every word of `list` exactly once, `wordsPerLine` to a line (values below 2
/// mean 2; the last line holds the remainder), joined by `symbol`, each line
/// followed by CR LF. With `randomOrder` the words come in a random order
/// without repetition. An empty list gives "". Stops like mergePairs.
std::string mergeSingle(std::string_view list, int wordsPerLine, std::string_view symbol,
                        bool randomOrder, Random& random, const bool& stop,
                        ResultCount* count = nullptr, const ResultLimits& limits = {});

/// A click on 按钮合并. When it shows "合并": reads 编辑框词数 when one list
/// is merged (a number out of range is refused with a message box: false),
/// clears `stop`, captions the button "停止合并", reseeds `random`, merges the
/// lists the radio boxes choose, replaces 编辑框结果 with the result (the
/// lines made before a stop), captions it "合并" again and announces a result
/// cut at `limits`. Otherwise the click is the stop click: sets `stop` and
/// captions the button "停止中..".
bool pressMergerButton(Form& form, Random& random, bool& stop, const ResultLimits& limits = {});

/// 编辑框词数 is disabled exactly when 单选框词组1和词组2 is selected.
void applyMergerEnableRule(Form& form);

/// Reads the window's settings (keywordMergerSettings), each with the
/// control's current state as default, then applies the enable rule.
void restoreKeywordMerger(SettingsStore& store, Form& form);
/// Writes them, as one save.
[[nodiscard]] SaveOutcome saveKeywordMerger(SettingsStore& store, Form& form);

}  // namespace lct
