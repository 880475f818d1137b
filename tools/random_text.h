#pragma once
// The random text generator: groups of random Chinese characters drawn from a
// character table, or of random digits and ASCII letters, one group per line.
// Everything here works on the toolkit interface, so the window's behaviour is
// tested headless; tools/random_text_window.h only lays out and connects.
//
// Texts are GBK. Both generate buttons start a run when they show their idle
// caption and ask the running one to stop otherwise; the run lets the window
// process pending messages before each group, which is how the stop click gets
// through.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "form/control_table.h"
#include "form/form.h"
#include "platform/random.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"
#include "tools/character_tables.h"
#include "tools/result_limit.h"

namespace lct {

/// The window's controls with their defaults (bounds 3 and 5, 100 groups,
/// 最常用, 有小字母 and 有大字母 ticked).
const ControlTable& randomTextTable();
/// What the window keeps in section 随机文本生成器: the check boxes, the
/// table's radio boxes and the texts 字数1, 字数2 and 组数.
SettingsTable randomTextSettings();

/// Characters in one group at most; a larger drawn count is cut to this.
constexpr int kMaxGroupCharacters = 1'000'000;

/// One group of `n` characters (8 when n is 0 or less) drawn from `table` (GBK
/// double-byte characters): each draw takes an even byte offset, so only whole
/// characters come out, and the table's last character comes out half as often
/// as each other one. With `traditional` the group is converted to traditional
/// script. Reseeds `random` first. A table shorter than one character gives "".
std::string randomChinese(Random& random, int n, std::string_view table, bool traditional);

/// One group of `n` digits and ASCII letters (8 when n is 0 or less). The no-
/// flags leave classes out; with all three set, upper case letters are used.
/// With `fullWidth` the group comes out in full-width GBK forms (two bytes per
/// character). Reseeds `random` first.
std::string randomAlnum(Random& random, int n, bool fullWidth, bool noDigits, bool noLower,
                        bool noUpper);

/// `text` (GBK) with every ASCII character from "!" to "}" turned into 0xA3 and
/// its code + 0x80, a space into 0xA1 0xA1 and "~" into 0xA1 0xAB. Double-byte
/// characters and other bytes stay as they are.
std::string toFullWidth(std::string_view text);

enum class RandomTextKind {
    Chinese,  ///< 按钮生成汉字
    Alnum,    ///< 按钮生成数母
};

/// The state a window keeps between clicks: its stop flag, and whether a run
/// is going on (a run is re-entered by clicks while it processes messages).
struct RandomTextRun {
    bool stop = false;
    bool running = false;
};

/// A click on the generate button of `kind`. When the button shows its idle
/// caption: reads the options (a number box out of range is refused with a
/// message box, and false is returned) and runs, putting the groups into
/// 编辑框结果 (replacing it); while the run lasts the button reads
/// "点我停止生成" and the other button is disabled. Otherwise: the button reads
/// "正在停止中" and the running run stops after its current group, showing the
/// groups made so far. A group that would take the result past `limits` is not
/// made: the run ends there and says so in a message box. `seed` makes the
/// draws reproducible; without it each run is seeded from the clock.
bool clickRandomTextButton(Form& form, RandomTextKind kind, RandomTextRun& run,
                           std::optional<std::uint64_t> seed = std::nullopt,
                           const ResultLimits& limits = {});

/// Ticks the radio box `name` of the table choice and unticks the other two.
void selectCharacterTable(Form& form, std::string_view name);

/// 按钮复制结果: puts the result box's text on the clipboard.
void copyRandomTextResult(Form& form);

/// Restores the window's settings (randomTextSettings); a missing value
/// leaves its control as it is.
void restoreRandomTextSettings(SettingsStore& store, Form& form);
/// Saves them, as one save.
[[nodiscard]] SaveOutcome saveRandomTextSettings(SettingsStore& store, Form& form);

}  // namespace lct
