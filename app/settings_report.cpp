#include "app/settings_report.h"

#include "app/main_window_table.h"
#include "platform/charset.h"

namespace lct {

std::string saveReport(const SaveOutcome& outcome) {
    if (!outcome.held)
        return utf8ToGbk("另一个正在运行的青禾·澜词通占用着配置文件，本次没有保存任何设置。");
    if (outcome.failures.empty()) return utf8ToGbk("保存完毕！");
    std::string text = "以下设置未能保存，配置文件保持原样：";
    for (const std::string& failure : outcome.failures)
        text += "\r\n" + failure;
    return utf8ToGbk(text);
}

std::string mainWindowTitle(bool holdsSettings) {
    std::string title(kMainWindowTitle);
    if (!holdsSettings) title += " [只读：配置文件正被另一个青禾·澜词通使用，设置不会保存]";
    return title;
}

}  // namespace lct
