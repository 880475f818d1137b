#pragma once
// The report of a batch: one row per input with its path, its result's path,
// 成功 or 失败, the reason of a failure, the items its result holds and the
// items per keyword. CSV is for spreadsheets, JSON Lines for programs; both
// are UTF-8.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/run_driver.h"

namespace lct {

enum class ReportFormat {
    Csv,        ///< a byte-order mark, a header row, RFC 4180 rows ending in CR LF
    JsonLines,  ///< one JSON object per input, each ending in LF
};

/// JsonLines for a path that ends in ".jsonl" (in any case), otherwise Csv.
ReportFormat reportFormatOf(std::string_view path);

/// The items per keyword as people read them, such as "软件包×3；图层×1":
/// the GBK keywords as UTF-8, in first-use order; a keyword met more than once
/// is given once with the sum of its items. Empty when there are none.
std::string keywordItemsText(const std::vector<std::pair<std::string, int>>& keywordItems);

/// The whole report of `outcomes` in `format`.
///
/// CSV: the header 输入文件,结果文件,状态,失败原因,写入数量,各关键词数量, then a
/// row per outcome, a field quoted when it holds a comma, a quote or a line
/// break. A text field that a spreadsheet would run as a formula (one that
/// begins with "=", "+", "-", "@", a TAB or a CR) is written with a "'" in
/// front, as spreadsheets themselves mark text.
///
/// JSON Lines: {"input":…,"result":…,"status":"成功","reason":…,"items":4,
/// "keywords":{"软件包":3,"图层":1}} per outcome, the keywords as in
/// keywordItemsText; "result" and "reason" are "" when there is none.
///
/// Paths and reasons that are no valid UTF-8 (names unpacked from an archive
/// made under GBK) are read as GBK, as the titles of such files are.
std::string batchReportText(const std::vector<InputOutcome>& outcomes, ReportFormat format);

}  // namespace lct
