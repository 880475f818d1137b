// The main window's fifty-six settings through a headless form and a real file,
// and every window's settings table against its control table.
#include "app/main_window_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/main_window_table.h"
#include "form/headless_form.h"
#include "gbk.h"
#include "settings/settings_support.h"
#include "tools/keyword_combiner.h"
#include "tools/keyword_merger.h"
#include "tools/random_text.h"

namespace lct {
namespace {

using test::G;
using test::readFile;
using test::TempFolder;
using test::writeFile;

class MainWindowSettingsTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string path = folder / "青禾·澜词通.ini";

    // Changes every one of the fifty-six values away from its default.
    static void changeEverything(Form& form) {
        auto text = [&](std::string_view name, std::string_view utf8) {
            form.find(name)->setText(G(utf8));
        };
        auto tick = [&](std::string_view name) {
            form.find(name)->setTicked(!form.find(name)->ticked());
        };
        auto select = [&](std::string_view name, int index) {
            form.find(name)->setSelectedIndex(index);
        };
        for (const char* name :
             {"选择框避免单词",       "选择框避免标签",       "选择框插入次数",
              "选择框每次不同",       "选择框标题插一次",     "选择框插入标题",
              "选择框插入内容",       "选择框更新关键词",     "选择框打乱标题",
              "选择框打乱内容",       "选择框文章一句",       "选择框标题插入",
              "选择框原标题",         "选择框替换标题",       "选择框替换内容",
              "选择框标题启用正则",   "选择框标题忽视大小写", "选择框内容启用正则",
              "选择框内容忽视大小写", "选择框标题插入首行",   "选择框替换避开标签",
              "选择框替换避开小标题", "选择框替换整词",       "选择框插入避开链接",
              "选择框包含子文件夹",   "选择框生成报告"})
            tick(name);
        text("编辑框关键词列表", "甲\r\n乙 丙\r\n\r\n" + std::string(100'000, 'k'));
        select("组合框调用方式", 2);
        text("编辑框再组合关键词", "<a>*</a>|**");
        form.find("单选框插入")->setTicked(false);
        form.find("单选框替换")->setTicked(true);
        text("编辑框次数1", "2");
        text("编辑框次数2", "5");
        select("组合框标题插入类型", 3);
        text("编辑框标题间隔符", " - | ");
        text("编辑框每隔最少", "30");
        text("编辑框每隔最多", "60");
        select("组合框内容插入类型", 14);
        text("编辑框句子结尾符", "。| |\\n");
        select("组合框符号插入模式", 2);
        text("编辑框预览标题", "新标题");
        text("编辑框预览内容", "一\r\n二");
        text("编辑框新文件扩展名", "txt");
        form.find("按钮批量处理")->setTag(G("/home/用户/文章"));
        form.find("按钮批量处理文件夹")->setTag("/data");
        text("编辑框过滤", "*.htm|*.txt");
        text("编辑框标题打乱符号", "，");
        text("编辑框内容打乱符号", "。");
        select("组合框插入类型", 4);
        text("编辑框最少字数", "6");
        text("编辑框包含的词", "词");
        text("编辑框插入最少", "1");
        text("编辑框插入最多", "3");
        text("编辑框标题替换次数", "1");
        text("编辑框内容替换次数", "2");
        select("组合框输入编码", 5);
        select("组合框输出编码", 3);
        text("编辑框替换次数上限", "2");
        text("编辑框链接总数上限", "10");
        text("编辑框每个网址最多链接", "1");
        text("编辑框本站网址", "https://example.com/");
    }

    // The state of every control that the settings keep, as one comparable list.
    static std::vector<std::string> state(Form& form) {
        std::vector<std::string> out;
        for (Control* c : form.controls()) {
            out.push_back(c->name() + "|" + c->text() + "|" + c->tag() + "|" +
                          std::to_string(c->ticked()) + "|" + std::to_string(c->selectedIndex()));
        }
        return out;
    }
};

TEST_F(MainWindowSettingsTest, SaveThenLoadRestoresAllFiftyFiveValues) {
    HeadlessForm saved(mainWindowTable());
    changeEverything(saved);
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(saveMainWindowSettings(store, saved).ok());
    }
    HeadlessForm loaded(mainWindowTable());
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    loadMainWindowSettings(store, loaded);
    // The values not kept between runs are the ones changeEverything leaves alone.
    EXPECT_EQ(state(loaded), state(saved));
}

TEST_F(MainWindowSettingsTest, StoredFormsAndOrder) {
    HeadlessForm form(mainWindowTable());
    form.find("单选框插入")->setTicked(false);
    form.find("单选框替换")->setTicked(true);
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(saveMainWindowSettings(store, form).ok());
    }
    const std::string file = test::U(readFile(path));
    EXPECT_EQ(file.find("[主界面]\r\n选择框避免单词=真\r\n选择框避免标签=真\r\n调用方式=0\r\n"), 0u)
        << file;
    EXPECT_NE(file.find("\r\n操作类型=1\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\n标题间隔符=[#kg#]|，\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\n句子结尾符=。|\\n|，|,|!|?|！|？\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\n测试内容=<div class=\"article\">┊*┊<p>"), std::string::npos);
    const auto shuffle = file.find("\r\n[文章打乱替换器]\r\n选择框打乱标题=真\r\n");
    ASSERT_NE(shuffle, std::string::npos);
    EXPECT_GT(shuffle, file.find("文件过滤=*.*"));
    EXPECT_NE(file.find("\r\n选择框标题插入首行=假\r\n输入编码=0\r\n输出编码=0", shuffle),
              std::string::npos);
    // Not kept: the script conversion and the match and replacement lists.
    EXPECT_EQ(file.find("转换"), std::string::npos);
    EXPECT_EQ(file.find("匹配式"), std::string::npos);
    // The keyword list is a byte-set file beside the settings file.
    EXPECT_EQ(readFile(folder / "inibin/主界面-关键词列表.ibn"),
              test::G("【关键词1】\r\n【关键词2】\r\n【关键词3】\r\n【关键词4】\r\n【关键词5】"));
}

// The replace panel's options, 选择框插入避开链接 and the link map's options came after the others:
// their keys follow the older keys of 主界面, and a file written before them gives their defaults.
TEST_F(MainWindowSettingsTest, LaterOptionsFollowTheOlderKeysAndDefaultWhenAbsent) {
    HeadlessForm form(mainWindowTable());
    form.find("选择框替换避开标签")->setTicked(false);
    form.find("选择框替换避开小标题")->setTicked(true);
    form.find("编辑框替换次数上限")->setText("3");
    form.find("编辑框链接总数上限")->setText("7");
    form.find("选择框替换整词")->setTicked(false);
    form.find("选择框插入避开链接")->setTicked(false);
    form.find("编辑框每个网址最多链接")->setText("2");
    form.find("编辑框本站网址")->setText("https://example.com/");
    form.find("选择框包含子文件夹")->setTicked(true);
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(saveMainWindowSettings(store, form).ok());
    }
    const std::string file = test::U(readFile(path));
    EXPECT_NE(file.find("\r\n文件过滤=*.*\r\n选择框替换避开标签=假\r\n选择框替换避开小标题=真\r\n"
                        "替换次数上限=3\r\n替换总数上限=7\r\n选择框替换整词=假\r\n"
                        "选择框插入避开链接=假\r\n每个网址最多链接=2\r\n"
                        "本站网址=https://example.com/\r\n选择框包含子文件夹=真\r\n"
                        "选择框生成报告=假\r\n[文章打乱替换器]"),
              std::string::npos)
        << file;
    {
        HeadlessForm loaded(mainWindowTable());
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        loadMainWindowSettings(store, loaded);
        EXPECT_FALSE(loaded.find("选择框替换避开标签")->ticked());
        EXPECT_TRUE(loaded.find("选择框替换避开小标题")->ticked());
        EXPECT_EQ(textOf(loaded, "编辑框替换次数上限"), "3");
        EXPECT_EQ(textOf(loaded, "编辑框链接总数上限"), "7");
        EXPECT_FALSE(loaded.find("选择框替换整词")->ticked());
        EXPECT_FALSE(loaded.find("选择框插入避开链接")->ticked());
        EXPECT_EQ(textOf(loaded, "编辑框每个网址最多链接"), "2");
        EXPECT_EQ(textOf(loaded, "编辑框本站网址"), "https://example.com/");
        EXPECT_TRUE(loaded.find("选择框包含子文件夹")->ticked());
    }
    // An older file: the same settings without the later keys.
    writeFile(path, test::G("[主界面]\r\n文件过滤=*.txt\r\n[文章打乱替换器]\r\n输入编码=1\r\n"));
    HeadlessForm defaults(mainWindowTable());
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm fresh(mainWindowTable());
    loadMainWindowSettings(store, fresh);
    EXPECT_EQ(textOf(fresh, "编辑框过滤"), "*.txt");
    for (const char* name : {"选择框替换避开标签", "选择框替换避开小标题", "选择框替换整词",
                             "选择框插入避开链接", "选择框包含子文件夹", "选择框生成报告"})
        EXPECT_EQ(fresh.find(name)->ticked(), defaults.find(name)->ticked()) << name;
    EXPECT_EQ(textOf(fresh, "编辑框替换次数上限"), "0");
    EXPECT_EQ(textOf(fresh, "编辑框链接总数上限"), "0");
    EXPECT_EQ(textOf(fresh, "编辑框每个网址最多链接"), "0");
    EXPECT_EQ(textOf(fresh, "编辑框本站网址"), "");
}

TEST_F(MainWindowSettingsTest, ReplaceModeSurvivesARestart) {
    HeadlessForm first(mainWindowTable());
    first.find("单选框插入")->setTicked(false);
    first.find("单选框替换")->setTicked(true);
    {
        SettingsStore store;
        ASSERT_TRUE(store.open(path));
        ASSERT_TRUE(saveMainWindowSettings(store, first).ok());
    }
    HeadlessForm second(mainWindowTable());
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    loadMainWindowSettings(store, second);
    EXPECT_FALSE(second.find("单选框插入")->ticked());
    EXPECT_TRUE(second.find("单选框替换")->ticked());
}

TEST_F(MainWindowSettingsTest, MissingSectionsAndDamagedValuesKeepDefaults) {
    writeFile(path, G("[主界面]\r\n正文插入类型=99\r\n调用方式=abc\r\n选择框避免单词=坏\r\n"
                      "标题间隔符=\r\n"));
    HeadlessForm form(mainWindowTable());
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    loadMainWindowSettings(store, form);
    EXPECT_EQ(form.find("组合框内容插入类型")->selectedIndex(), 0);  // out of range: kept
    EXPECT_EQ(form.find("组合框调用方式")->selectedIndex(), 0);      // no number: item 0
    EXPECT_FALSE(form.find("选择框避免单词")->ticked());             // anything but 真
    EXPECT_EQ(textOf(form, "编辑框标题间隔符"), G(" |，"));          // empty reads as missing
    EXPECT_EQ(form.find("组合框输入编码")->selectedIndex(), 0);
    EXPECT_FALSE(form.find("选择框标题插入首行")->ticked());
    EXPECT_TRUE(form.find("单选框插入")->ticked());
}

TEST_F(MainWindowSettingsTest, LoadingChangesNoByteOfTheFile) {
    const std::string bytes = G("[主界面]\r\n调用方式=2\r\n[其他]\r\nx=1");
    writeFile(path, bytes);
    HeadlessForm form(mainWindowTable());
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    loadMainWindowSettings(store, form);
    EXPECT_EQ(form.find("组合框调用方式")->selectedIndex(), 2);
    EXPECT_EQ(readFile(path), bytes);
}

// A row's control is one of its window's, of a kind that holds the row's
// value, and no key is kept twice in a section.
TEST(SettingsTables, RowsNameControlsOfTheirWindowThatHoldTheirValues) {
    struct Window {
        const char* title;
        const ControlTable& controls;
        SettingsTable settings;
    };
    const Window windows[] = {
        {"main window", mainWindowTable(), mainWindowSettings()},
        {"keyword combiner", keywordCombinerTable(), keywordCombinerSettings()},
        {"keyword merger", keywordMergerTable(), keywordMergerSettings()},
        {"random text generator", randomTextTable(), randomTextSettings()},
    };
    const auto kindOf = [](const ControlTable& table, std::string_view name) {
        const auto row = std::find_if(table.begin(), table.end(),
                                      [&](const ControlRow& r) { return r.name == name; });
        return row == table.end() ? ControlKind::Unknown : row->kind;
    };
    const auto holds = [](StoredAs as, ControlKind kind) {
        switch (as) {
            case StoredAs::Tick:
                return kind == ControlKind::CheckBox || kind == ControlKind::RadioBox;
            case StoredAs::Index:
                return kind == ControlKind::ComboBox;
            case StoredAs::Tag:
                return kind == ControlKind::Button;
            case StoredAs::RadioPair:
                return kind == ControlKind::RadioBox;
            default:
                return kind == ControlKind::EditBox;
        }
    };
    for (const Window& window : windows) {
        for (const SettingsSection& section : window.settings) {
            std::set<std::string_view> keys;
            for (const SettingsRow& row : section.rows) {
                EXPECT_TRUE(holds(row.as, kindOf(window.controls, row.control)))
                    << window.title << ": " << row.control;
                EXPECT_TRUE(keys.insert(row.key.empty() ? row.control : row.key).second)
                    << window.title << ": " << section.name << " keeps " << row.control << " twice";
                if (row.as == StoredAs::RadioPair) {
                    EXPECT_EQ(kindOf(window.controls, row.partner), ControlKind::RadioBox);
                }
            }
        }
    }
}

}  // namespace
}  // namespace lct
