#pragma once
// The anchor text composer: fills a template once per pair of a keyword and
// a web address, typically an HTML link whose text is the keyword and whose
// target is the address ("*1" stands for the keyword, "*2" for the address).
//
// Everything here works on a Form built from anchorComposerTable(), so it runs
// headless; tools/anchor_composer_window.h shows it. Texts are GBK with CR LF.

#include <string>
#include <string_view>

#include "form/control_table.h"
#include "form/form.h"
#include "tools/result_limit.h"

namespace lct {

/// Window title (UTF-8). The window keeps no settings.
inline constexpr std::string_view kAnchorComposerTitle =
    "锚文本合成器 - 在“合成模板”中引用“*1”代表关键词，“*2”代表网址";

/// Every control of the window, in the window's own order, with its default:
/// three sample sites' names and addresses, and a link template.
const ControlTable& anchorComposerTable();

/// One filled template and a CR LF per address whose keyword (same line) and
/// address are both non-empty, in address order: every "*1" becomes the
/// keyword, then every "*2" the address. The address list decides the number
/// of lines; surplus keywords are ignored. A keyword holding "|" is cut there:
/// its first part fills *1 and its second *2. Processes pending messages
/// after each line, and returns the lines made so far once `stop` is set then.
/// A line that would take the result past `limits` is left out and ends the
/// composition; `count` (when given) says so.
std::string composeAnchors(std::string_view keywords, std::string_view addresses,
                           std::string_view templateText, const bool& stop,
                           ResultCount* count = nullptr, const ResultLimits& limits = {});

/// A click on 按钮合成. When it shows "合成": clears `stop`, captions it
/// "正在合成..", composes from the window's lists and template into
/// 编辑框合成列表 (the lines made before a stop), captions it "合成" again and
/// announces a result cut at `limits`. Otherwise the click is the stop click:
/// sets `stop` and captions the button "停止中..".
void pressAnchorComposer(Form& form, bool& stop, const ResultLimits& limits = {});

}  // namespace lct
