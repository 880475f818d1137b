// Saving and restoring controls of a headless form: every kind, the filters of
// persistWindow, and the keyword merger's and sequence generator's sections.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "form/control_table.h"
#include "form/headless_form.h"
#include "gbk.h"
#include "pending_messages_counter.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"
#include "settings_support.h"

namespace lct {
namespace {

using test::fileExists;
using test::G;
using test::readFile;
using test::TempFolder;
using test::U;
using test::writeFile;

const ControlTable& everyKind() {
    static const ControlTable table = {
        {.name = "分组框1", .kind = ControlKind::GroupBox, .text = "选项"},
        {.name = "选择框甲", .kind = ControlKind::CheckBox, .parent = "分组框1"},
        {.name = "单选框甲", .kind = ControlKind::RadioBox, .parent = "分组框1", .ticked = true},
        {.name = "编辑框甲", .kind = ControlKind::EditBox, .text = "默认"},
        {.name = "编辑框字节", .kind = ControlKind::EditBox, .tag = "字节集方式"},
        {.name = "选择列表框甲", .kind = ControlKind::CheckListBox, .items = {"一", "二"}},
        {.name = "树型框甲", .kind = ControlKind::TreeBox},
        {.name = "组合框列表", .kind = ControlKind::ComboBox, .items = {"零", "一", "二"}},
        {.name = "组合框编辑", .kind = ControlKind::ComboBox, .items = {"x"}, .comboStyle = 1},
        {.name = "列表框甲", .kind = ControlKind::ListBox, .items = {"a", "b"}},
        {.name = "按钮甲", .kind = ControlKind::Button, .text = "按钮"},
        {.name = "按钮字节", .kind = ControlKind::Button, .tag = "字节集方式"},
        {.name = "颜色选择器甲", .kind = ControlKind::ColourPicker, .text = "255"},
        {.name = "通用对话框甲", .kind = ControlKind::FileDialog},
        {.name = "标签甲", .kind = ControlKind::Label, .text = "说明"},
        {.name = "编辑框结果", .kind = ControlKind::EditBox, .tag = "禁止保存"},
        // The name announces an edit box; the control is a check box.
        {.name = "编辑框错配", .kind = ControlKind::CheckBox},
    };
    return table;
}

// Everything a control shows, for comparing two controls.
struct State {
    std::string text;
    std::string tag;
    bool ticked;
    int selected;
    std::vector<ListItem> items;
    bool operator==(const State&) const = default;
};

State stateOf(const Control& c) {
    return {c.text(), c.tag(), c.ticked(), c.selectedIndex(), c.items()};
}

std::ostream& operator<<(std::ostream& out, const State& s) {
    out << "text=" << U(s.text) << " tag=" << U(s.tag) << " ticked=" << s.ticked
        << " selected=" << s.selected << " items=";
    for (const ListItem& item : s.items)
        out << U(item.text) << "/" << item.value << "/" << item.checked << ";";
    return out;
}

class ControlState : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(store.open(path)); }
    std::string document() const { return store.document().document(); }
    std::string ibn(std::string_view name) const {
        return readFile(folder / ("inibin/测试窗口-" + std::string(name) + ".ibn"));
    }

    TempFolder folder;
    std::string path = folder / "s.ini";
    SettingsStore store;
    const std::string section = G("测试窗口");
};

struct KindCase {
    const char* name;
    std::function<void(Control&)> change;
    const char* line;  // the line stored in the document, UTF-8; empty for none
    const char* file;  // the byte-set file, UTF-8 name after "测试窗口-"; empty for none
};

// Each row changes one control, saves it through persistWindow, restores it
// into a fresh form and expects the same state there.
TEST_F(ControlState, EveryKindRoundTrips) {
    const std::vector<KindCase> cases = {
        {"选择框甲", [](Control& c) { c.setTicked(true); }, "选择框甲=真", ""},
        {"单选框甲", [](Control& c) { c.setTicked(false); }, "单选框甲=假", ""},
        {"编辑框甲", [](Control& c) { c.setText(G("两行\r\n文字")); }, "编辑框甲=两行┊*┊文字", ""},
        {"编辑框字节", [](Control& c) { c.setText(G("字节\r\n内容")); }, "", "编辑框字节"},
        {"选择列表框甲",
         [](Control& c) {
             c.setItems({{G("一"), 3, true}, {G("二"), 0, false}, {G("三"), -1, true}});
         },
         "选择列表框甲=一{G}3{G}真{H}二{G}0{G}假{H}三{G}-1{G}真", ""},
        {"树型框甲", [](Control& c) { c.setText(G("根\r\n  叶")); }, "", "树型框甲.列表"},
        {"组合框列表", [](Control& c) { c.setSelectedIndex(2); }, "组合框列表=2", ""},
        {"组合框编辑", [](Control& c) { c.setText(G("自由文字")); }, "组合框编辑.内容=自由文字",
         ""},
        {"列表框甲",
         [](Control& c) {
             c.setItems({{"a", 1, false}, {"b", 2, false}, {"c", 3, false}});
         },
         "列表框甲=a{G}1{H}b{G}2{H}c{G}3", ""},
        {"按钮甲", [](Control& c) { c.setTag(G("上次的文件夹")); }, "按钮甲.标记=上次的文件夹", ""},
        {"按钮字节", [](Control&) {}, "", "按钮字节.标记"},
        {"颜色选择器甲", [](Control& c) { c.setText("16711680"); }, "颜色选择器甲=16711680", ""},
        {"通用对话框甲", [](Control& c) { c.setText(G("/tmp/文件.txt")); },
         "通用对话框甲=/tmp/文件.txt", ""},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessForm saved(everyKind());
        Control* control = saved.find(c.name);
        ASSERT_NE(control, nullptr);
        c.change(*control);
        store.close();
        std::filesystem::remove_all(folder / "inibin");
        writeFile(path, "");
        ASSERT_TRUE(store.open(path));
        store.persistWindow(saved, false, section, {}, {}, {}, false, {c.name});

        const std::string header = G("[测试窗口]");
        if (*c.line)
            EXPECT_EQ(document(), header + "\r\n" + G(c.line));
        else
            EXPECT_EQ(document(), "");
        if (*c.file) {
            const std::string bytes =
                std::string(c.name) == "按钮字节" ? control->tag() : control->text();
            EXPECT_EQ(ibn(c.file), bytes);
        }

        HeadlessForm restored(everyKind());
        Control* fresh = restored.find(c.name);
        ASSERT_NE(fresh, nullptr);
        store.persistWindow(restored, true, section, {}, {}, {}, false, {c.name});
        EXPECT_EQ(stateOf(*fresh), stateOf(*control));
    }
}

TEST_F(ControlState, WholeWindowRoundTripSkipsWhatKeepsNoState) {
    HeadlessForm saved(everyKind());
    saved.find("选择框甲")->setTicked(true);
    saved.find("编辑框甲")->setText(G("新内容"));
    saved.find("编辑框字节")->setText(G("很长的\r\n列表"));
    saved.find("组合框列表")->setSelectedIndex(1);
    saved.find("标签甲")->setText(G("改过的标签"));
    saved.find("编辑框结果")->setText(G("结果"));
    saved.find("编辑框错配")->setTicked(true);
    store.persistWindow(saved, false, section);

    const std::string expected =
        G("[测试窗口]\r\n选择框甲=真\r\n单选框甲=真\r\n编辑框甲=新内容\r\n"
          "选择列表框甲=一{G}0{G}假{H}二{G}0{G}假\r\n组合框列表=1\r\n组合框编辑.内容=\r\n"
          "列表框甲=a{G}0{H}b{G}0\r\n按钮甲.标记=\r\n颜色选择器甲=255\r\n通用对话框甲=");
    EXPECT_EQ(document(), expected);
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(ibn("编辑框字节"), G("很长的\r\n列表"));

    HeadlessForm restored(everyKind());
    store.persistWindow(restored, true, section);
    for (Control* c : restored.controls()) {
        const std::string name = c->name();
        if (name == "标签甲" || name == "编辑框结果" || name == "编辑框错配") {
            HeadlessForm pristine(everyKind());
            EXPECT_EQ(stateOf(*c), stateOf(*pristine.find(name))) << name;
        } else {
            EXPECT_EQ(stateOf(*c), stateOf(*saved.find(name))) << name;
        }
    }
}

// A whole window is saved and restored as one: no handler of the window can
// change a control half-way through.
TEST_F(ControlState, PersistWindowNeverLetsTheWindowIn) {
    HeadlessForm form(everyKind());
    const test::PendingMessagesCounter breaths;
    store.persistWindow(form, false, section);
    store.persistWindow(form, true, section);
    EXPECT_EQ(breaths.count(), 0);
    EXPECT_NE(document(), "");
}

TEST_F(ControlState, PersistWindowReportsWhatASaveCouldNotKeep) {
    writeFile(folder / "inibin", "a file where the folder should be");
    HeadlessForm form(everyKind());
    form.find("编辑框字节")->setText(G("字节"));
    const SaveOutcome saved = store.persistWindow(form, false, section);
    EXPECT_TRUE(saved.held);
    // Every byte block of the window, in the window's order.
    ASSERT_EQ(saved.failures.size(), 3u);
    EXPECT_NE(saved.failures[0].find("编辑框字节.ibn"), std::string::npos) << saved.failures[0];
    EXPECT_NE(saved.failures[1].find("树型框甲.列表.ibn"), std::string::npos) << saved.failures[1];
    EXPECT_NE(saved.failures[2].find("按钮字节.标记.ibn"), std::string::npos) << saved.failures[2];
    EXPECT_EQ(readFile(path), "");  // the save kept out as a whole
    EXPECT_TRUE(store.persistWindow(form, true, section).ok());
}

TEST_F(ControlState, DoNotSaveTagAndMismatchedKindAreNeverRestored) {
    store.selectSection(section);
    store.writeText(G("编辑框结果"), "stored");
    store.writeText(G("编辑框错配"), "stored");
    store.writeText(G("标签甲"), "stored");
    HeadlessForm form(everyKind());
    store.persistWindow(form, true, section);
    EXPECT_EQ(form.find("编辑框结果")->text(), "");
    EXPECT_EQ(form.find("编辑框错配")->text(), "");
    EXPECT_EQ(form.find("标签甲")->text(), G("说明"));
}

struct FilterCase {
    const char* name;
    std::vector<std::string> namesToSkip;
    std::vector<std::string> namesToHandle;
    bool skipPanel;
    bool handlePanel;
    bool handleWindow;  // nullptr, the window itself, as the container to handle
    bool reversed;      // hand the controls over in reverse order
    const char* expected;
};

TEST_F(ControlState, PersistWindowFilters) {
    const std::vector<FilterCase> cases = {
        {"SkipByName",
         {"编辑框甲", "组合框编辑"},
         {},
         false,
         false,
         false,
         false,
         "[F]\r\n选择框甲=假\r\n单选框甲=真\r\n组合框列表=0"},
        {"HandleOverridesSkip",
         {"编辑框甲"},
         {"编辑框甲", "单选框甲"},
         false,
         false,
         false,
         false,
         "[F]\r\n单选框甲=真\r\n编辑框甲=默认"},
        {"SkipPanel",
         {},
         {},
         true,
         false,
         false,
         false,
         "[F]\r\n编辑框甲=默认\r\n组合框列表=0\r\n组合框编辑.内容="},
        {"HandlePanel", {}, {}, false, true, false, false, "[F]\r\n选择框甲=假\r\n单选框甲=真"},
        {"HandleWindow",
         {},
         {},
         false,
         false,
         true,
         false,
         "[F]\r\n编辑框甲=默认\r\n组合框列表=0\r\n组合框编辑.内容="},
        {"GivenOrder",
         {},
         {"编辑框甲", "单选框甲"},
         false,
         false,
         false,
         true,
         "[F]\r\n编辑框甲=默认\r\n单选框甲=真"},
        {"NothingLeft",
         {"选择框甲", "单选框甲", "编辑框甲", "组合框列表", "组合框编辑"},
         {},
         false,
         false,
         false,
         false,
         ""},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessForm form(everyKind());
        std::vector<Control*> some = {form.find("选择框甲"),   form.find("单选框甲"),
                                      form.find("编辑框甲"),   form.find("组合框列表"),
                                      form.find("组合框编辑"), form.find("标签甲")};
        if (c.reversed) std::reverse(some.begin(), some.end());
        const Control* panel = form.find("分组框1");
        std::vector<const Control*> skip, handle;
        if (c.skipPanel) skip.push_back(panel);
        if (c.handlePanel) handle.push_back(panel);
        if (c.handleWindow) handle.push_back(nullptr);
        store.close();
        writeFile(path, "");
        ASSERT_TRUE(store.open(path));
        store.persistWindow(form, false, "F", some, c.namesToSkip, skip, false, c.namesToHandle,
                            handle);
        EXPECT_EQ(document(), G(c.expected)) << U(document());
    }
}

TEST_F(ControlState, ComboItemsRestoreBeforeTheSelection) {
    HeadlessForm saved(everyKind());
    Control* combo = saved.find("组合框列表");
    combo->setItems(
        {{G("春"), 0, false}, {G("夏"), 0, false}, {G("秋"), 0, false}, {G("冬"), 0, false}});
    combo->setSelectedIndex(3);
    store.persistWindow(saved, false, section, {}, {}, {}, true, {"组合框列表"});
    EXPECT_EQ(document(),
              G("[测试窗口]\r\n组合框列表=3\r\n组合框列表.项目=春{G}0{H}夏{G}0{H}秋{G}0{H}冬{G}0"));

    HeadlessForm restored(everyKind());
    store.persistWindow(restored, true, section, {}, {}, {}, true, {"组合框列表"});
    EXPECT_EQ(stateOf(*restored.find("组合框列表")), stateOf(*combo));
}

TEST_F(ControlState, RestoreLeavesControlsAloneWhenNothingIsStored) {
    HeadlessForm form(everyKind());
    HeadlessForm pristine(everyKind());
    store.persistWindow(form, true, section, {}, {}, {}, true);
    for (Control* c : form.controls())
        EXPECT_EQ(stateOf(*c), stateOf(*pristine.find(c->name()))) << c->name();
    EXPECT_EQ(document(), "");
}

TEST_F(ControlState, DamagedValuesDoNotBreakControls) {
    store.selectSection(section);
    store.writeText(G("选择框甲"), "yes");
    store.writeText(G("组合框列表"), "99");
    store.writeText(G("颜色选择器甲"), "blue");
    HeadlessForm form(everyKind());
    form.find("选择框甲")->setTicked(true);
    form.find("组合框列表")->setSelectedIndex(1);
    EXPECT_FALSE(store.restoreCheckBox(*form.find("选择框甲")));      // anything but 真 unticks
    EXPECT_EQ(store.restoreComboIndex(*form.find("组合框列表")), 1);  // out of range: kept
    EXPECT_EQ(store.restoreColourPicker(*form.find("颜色选择器甲")), "0");

    store.writeText(G("组合框列表"), "-1");
    EXPECT_EQ(store.restoreComboIndex(*form.find("组合框列表")), 1);
    store.writeText(G("组合框列表"), G("２"));
    EXPECT_EQ(store.restoreComboIndex(*form.find("组合框列表")), 2);
}

TEST_F(ControlState, EmptyEditBoxReadsAsMissing) {
    HeadlessForm saved(everyKind());
    saved.find("编辑框甲")->setText("");
    store.selectSection(section);
    store.saveEditBox(*saved.find("编辑框甲"));
    EXPECT_EQ(document(), G("[测试窗口]\r\n编辑框甲="));
    HeadlessForm restored(everyKind());
    EXPECT_EQ(store.restoreEditBox(*restored.find("编辑框甲")), G("默认"));
}

TEST_F(ControlState, EditBoxAsByteBlock) {
    HeadlessForm form(everyKind());
    Control& edit = *form.find("编辑框甲");
    edit.setText(G("甲\r\n乙"));
    store.selectSection(section);
    store.saveEditBox(edit, true);
    EXPECT_EQ(ibn("编辑框甲"), G("甲\r\n乙"));
    EXPECT_EQ(document(), "");
    edit.setText("other");
    EXPECT_EQ(store.restoreEditBox(edit, true), G("甲\r\n乙"));
}

// The keyword merger's window, as far as its settings go.
const ControlTable& keywordMerger() {
    static const ControlTable table = {
        {.name = "编辑框列表1",
         .kind = ControlKind::EditBox,
         .text = "abc\r\ndef\r\nghi",
         .multiLine = true},
        {.name = "编辑框列表2",
         .kind = ControlKind::EditBox,
         .text = "天地人\r\n日月星",
         .multiLine = true},
        {.name = "单选框词组1", .kind = ControlKind::RadioBox, .text = "词组1"},
        {.name = "单选框词组2", .kind = ControlKind::RadioBox, .text = "词组2"},
        {.name = "单选框词组1和词组2",
         .kind = ControlKind::RadioBox,
         .text = "词组1和词组2",
         .ticked = true},
        {.name = "编辑框词数", .kind = ControlKind::EditBox, .text = "2"},
        {.name = "单选框随机", .kind = ControlKind::RadioBox, .text = "随机", .ticked = true},
        {.name = "单选框顺序", .kind = ControlKind::RadioBox, .text = "顺序"},
        {.name = "编辑框符号", .kind = ControlKind::EditBox, .text = ","},
        {.name = "按钮合并", .kind = ControlKind::Button, .text = "合并"},
        {.name = "编辑框结果", .kind = ControlKind::EditBox, .multiLine = true},
    };
    return table;
}

constexpr SettingsRow kMergerRows[] = {
    {.control = "单选框词组1", .as = StoredAs::Tick},
    {.control = "单选框词组2", .as = StoredAs::Tick},
    {.control = "单选框词组1和词组2", .as = StoredAs::Tick},
    {.control = "编辑框词数", .key = "词数", .as = StoredAs::Text},
    {.control = "编辑框符号", .key = "符号", .as = StoredAs::Text},
    {.control = "编辑框列表1", .key = "词组1", .as = StoredAs::Bytes},
    {.control = "编辑框列表2", .key = "词组2", .as = StoredAs::Bytes},
};
constexpr SettingsSection kMergerSettings[] = {{"关键词合并器", kMergerRows}};

TEST(KeywordMergerSettings, SaveAppendsItsSectionInOrder) {
    TempFolder folder;
    const std::string path = folder / "青禾·澜词通.ini";
    const std::string before = G("[主界面]\r\n调用方式=0");
    writeFile(path, before);
    SettingsStore store;
    ASSERT_TRUE(store.open(path));
    HeadlessForm form(keywordMerger());
    EXPECT_TRUE(saveWindowSettings(store, form, kMergerSettings).ok());

    const std::string expected =
        before + G("\r\n[关键词合并器]\r\n单选框词组1=假\r\n单选框词组2=假\r\n单选框词组1和词组2=真"
                   "\r\n词数=2\r\n符号=,");
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(readFile(folder / "inibin/关键词合并器-词组1.ibn"), "abc\r\ndef\r\nghi");
    EXPECT_EQ(readFile(folder / "inibin/关键词合并器-词组2.ibn"), G("天地人\r\n日月星"));

    // Another start: the changed window comes back as it was closed.
    form.find("单选框词组1")->setTicked(true);
    form.find("单选框词组1和词组2")->setTicked(false);
    form.find("编辑框词数")->setText("3");
    form.find("编辑框列表1")->setText(G("新\r\n列表"));
    EXPECT_TRUE(saveWindowSettings(store, form, kMergerSettings).ok());
    store.close();

    SettingsStore next;
    ASSERT_TRUE(next.open(path));
    HeadlessForm reopened(keywordMerger());
    restoreWindowSettings(next, reopened, kMergerSettings);
    for (Control* c : reopened.controls())
        EXPECT_EQ(stateOf(*c), stateOf(*form.find(c->name()))) << c->name();
}

// The sequence text generator hands its whole window to persistWindow.
const ControlTable& sequenceGenerator() {
    static const ControlTable table = {
        {.name = "标签模板", .kind = ControlKind::Label, .text = "模板："},
        {.name = "编辑框模板", .kind = ControlKind::EditBox, .text = "第*章"},
        {.name = "组合框类型", .kind = ControlKind::ComboBox, .items = {"阿拉伯数字", "中文数字"}},
        {.name = "按钮生成", .kind = ControlKind::Button, .text = "生成"},
        {.name = "按钮复制", .kind = ControlKind::Button, .text = "复制"},
        {.name = "按钮清空", .kind = ControlKind::Button, .text = "清空"},
        {.name = "编辑框结果", .kind = ControlKind::EditBox, .multiLine = true, .tag = "禁止保存"},
    };
    return table;
}

TEST(SequenceGeneratorSettings, WholeWindowWithButtonTags) {
    TempFolder folder;
    SettingsStore store;
    ASSERT_TRUE(store.open(folder / "s.ini"));
    HeadlessForm form(sequenceGenerator());
    form.find("编辑框结果")->setText(G("第1章"));
    store.persistWindow(form, false, G("序列文本生成器"));
    EXPECT_EQ(readFile(folder / "s.ini"),
              G("[序列文本生成器]\r\n编辑框模板=第*章\r\n组合框类型=0\r\n按钮生成.标记=\r\n"
                "按钮复制.标记=\r\n按钮清空.标记="));
}

}  // namespace
}  // namespace lct
