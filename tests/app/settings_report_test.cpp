#include "app/settings_report.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "app/main_window_table.h"
#include "platform/charset.h"

namespace lct {
namespace {

TEST(SettingsReport, SaysWhatASaveAchieved) {
    EXPECT_EQ(gbkToUtf8(saveReport({})), "保存完毕！");
    SaveOutcome held;
    held.held = false;
    EXPECT_EQ(gbkToUtf8(saveReport(held)),
              "另一个正在运行的青禾·澜词通占用着配置文件，本次没有保存任何设置。");
    SaveOutcome failed;
    failed.failures = {"/p/inibin/主界面-关键词列表.ibn：磁盘已满"};
    EXPECT_EQ(gbkToUtf8(saveReport(failed)),
              "以下设置未能保存，配置文件保持原样：\r\n/p/inibin/主界面-关键词列表.ibn：磁盘已满");
}

TEST(SettingsReport, ACopyWithoutTheSettingsSaysSoInItsTitle) {
    EXPECT_EQ(mainWindowTitle(true), std::string(kMainWindowTitle));
    const std::string readOnly = mainWindowTitle(false);
    EXPECT_TRUE(readOnly.starts_with(kMainWindowTitle));
    EXPECT_NE(readOnly.find("只读"), std::string::npos);
}

}  // namespace
}  // namespace lct
