#include "app/settings_report.h"

#include "app/main_window_table.h"
#include "platform/charset.h"

namespace lct {

std::string mainWindowTitle(bool holdsSettings) {
    std::string title(kMainWindowTitle);
    if (!holdsSettings) title += " [只读：配置文件正被另一个青禾·澜词通使用，设置不会保存]";
    return title;
}

}  // namespace lct
