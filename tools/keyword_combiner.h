#pragma once
// The keyword traversal combiner: crosses up to four word groups. Each line
// takes one word from every group that holds words and joins them with a
// symbol drawn from the symbol box; every combination of positions gives one
// line. How a group yields its words (vertical mode), the order of the taken
// words in a line (horizontal mode) and the symbols are read from the window.
//
// Everything here works on a Form built from keywordCombinerTable(), so it runs
// headless; tools/keyword_combiner_window.h shows it. Texts are GBK with CR LF.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "form/control_table.h"
#include "form/form.h"
#include "platform/random.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"

namespace lct {

/// Window title and settings section (UTF-8).
inline constexpr std::string_view kKeywordCombinerTitle = "关键词遍历组合器";

/// Every control of the window, in the window's own order, with its default.
const ControlTable& keywordCombinerTable();
/// What the window keeps in section 关键词遍历组合器: the two modes, the
/// symbols and the four groups (byte blocks).
SettingsTable keywordCombinerSettings();

/// The text 按钮帮助 shows (GBK): 21 lines joined by CR LF, none after the last.
const std::string& keywordCombinerHelp();

/// The words of one group box: blank lines removed, then split at CR LF (no
/// trailing empty piece). A box without words gives one empty word.
std::vector<std::string> combinerWords(std::string_view boxText);

/// The separator candidates: every character of `symbols`, one entry each; one
/// empty text when `symbols` is empty.
std::vector<std::string> combinerSeparators(std::string_view symbols);

/// The distinct non-empty lines of `text` (split at CR LF), in the order of
/// their first appearance, joined by CR LF with none after the last. Lines
/// compare byte for byte.
std::string distinctLines(std::string_view text);

/// Where a run stops on its own. The output goes into an edit box at the end,
/// which needs about half a kilobyte per line; these bounds keep a run of
/// large groups (1,000 words each give 10^12 lines) from exhausting memory.
struct CombineLimits {
    std::size_t maxLines = 1'000'000;
    std::size_t maxBytes = std::size_t{64} << 20;
};

struct CombineRequest {
    std::array<std::vector<std::string>, 4> groups;  ///< each holds at least one word
    std::vector<std::string> separators;             ///< at least one entry
    int vertical = 0;    ///< 1 不重复随机, 2 自然随机, other 原始顺序
    int horizontal = 0;  ///< 1 不重复随机, other 原始顺序
};

enum class CombineEnd { Finished, Stopped, LimitReached };

struct CombineOutcome {
    CombineEnd end = CombineEnd::Finished;
    std::size_t lines = 0;  ///< lines appended
    std::size_t bytes = 0;  ///< bytes of the output before distinct lines are kept
};

/// Appends one line and a CR LF to `output` for every combination, group 1
/// outermost, group 4 fastest. Processes pending messages before each word
/// pick and each of a line's four positions, tests `stop` after each line and
/// stops (LimitReached) before a line that would pass a limit. Empty words are left out of a
/// line; words without a separator in front of the first one.
[[nodiscard]] CombineOutcome combineGroups(const CombineRequest& request, Random& random,
                                           const bool& stop, const CombineLimits& limits,
                                           std::string& output);

/// The message shown when a run stopped at a limit (GBK): its lines and bytes
/// and the limits.
std::string combineLimitMessage(const CombineOutcome& outcome, const CombineLimits& limits);

/// The number of lines the groups cross into (the product of their word
/// counts; the largest uint64 when that overflows).
std::uint64_t combinationCount(const CombineRequest& request);

/// Lines of a result: CR LF-ended pieces, and a last piece without one.
std::size_t countLines(std::string_view text);

/// What the line count label shows after a run (GBK): "共 N 行".
std::string lineCountText(std::size_t lines);

/// True when 按钮开始组合 shows "开始组合", i.e. no run is in progress.
bool combinerIdle(Form& form);

/// One run, as 按钮开始组合 starts it: reads the separators, groups and
/// modes; a cross product of more than 100,000 lines is started only after a
/// Yes to a question that tells the count (false when the answer is No). Then
/// clears `stop`, captions the button "停止组合", reseeds `random`, combines,
/// keeps only distinct lines in 自然随机 mode, puts the result into 编辑框结果
/// (also after a stop), shows its line count in 标签结果行数 and captions the
/// button "开始组合" again. A run that reaches a limit keeps what it built and
/// then says so in a message box.
bool runKeywordCombiner(Form& form, bool& stop, Random& random, const CombineLimits& limits = {});

/// Asks a running run to stop: sets `stop` and captions the button "停止中..".
void requestCombinerStop(Form& form, bool& stop);

/// A click on 按钮开始组合: a run when idle, a stop request otherwise.
/// False when a run was not started (see runKeywordCombiner).
bool pressCombinerButton(Form& form, bool& stop, Random& random, const CombineLimits& limits = {});

/// Reads the window's settings (keywordCombinerSettings), each with the
/// control's current state as default (a missing or damaged value changes
/// nothing).
void restoreKeywordCombiner(SettingsStore& store, Form& form);
/// Writes them, as one save.
[[nodiscard]] SaveOutcome saveKeywordCombiner(SettingsStore& store, Form& form);

}  // namespace lct
