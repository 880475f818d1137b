#include "form/form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/headless_form.h"
#include "form/pending_messages.h"
#include "gbk.h"

namespace lct {
namespace {

using test::G;

struct KindCase {
    const char* name;
    ControlKind kind;
};

TEST(KindFromName, PrefixGivesTheKind) {
    const std::vector<KindCase> cases = {
        {"按钮预览", ControlKind::Button},
        {"编辑框关键词列表", ControlKind::EditBox},
        {"选择框避免单词", ControlKind::CheckBox},
        {"单选框插入", ControlKind::RadioBox},
        {"组合框调用方式", ControlKind::ComboBox},
        {"列表框1", ControlKind::ListBox},
        {"选择列表框1", ControlKind::CheckListBox},
        {"颜色选择器1", ControlKind::ColourPicker},
        {"通用对话框1", ControlKind::FileDialog},
        {"树型框1", ControlKind::TreeBox},
        {"标签1", ControlKind::Label},
        {"透明标签", ControlKind::Label},
        {"分组框1", ControlKind::GroupBox},
        {"链接保存配置", ControlKind::Link},
        {"链序列文本生成器", ControlKind::Link},
        {"图片保存配置", ControlKind::Picture},
        {"图片框锚文本合成器", ControlKind::Picture},
        {"进度条", ControlKind::ProgressBar},
        {"拖放对象1", ControlKind::DropTarget},
        {"窗口", ControlKind::Unknown},
        {"", ControlKind::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kindFromName(c.name), c.kind) << c.name;
}

struct IntegerCase {
    const char* text;
    int expected;
};

TEST(LeadingInteger, SignAndLeadingDigits) {
    const std::vector<IntegerCase> cases = {
        {"100", 100},
        {"-5", -5},
        {"+7", 7},
        {"12ab", 12},
        {"ab12", 0},
        {"", 0},
        {"-", 0},
        {" 5", 0},
        {"3.9", 3},
        {"0010", 10},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(leadingInteger(c.text), c.expected) << c.text;
}

const ControlTable& sampleTable() {
    static const ControlTable table = {
        {.name = "分组框1", .kind = ControlKind::GroupBox, .text = "  插入新关键词"},
        {.name = "选择框插入标题",
         .kind = ControlKind::CheckBox,
         .parent = "分组框1",
         .text = "插入到标题",
         .ticked = true},
        {.name = "组合框调用方式",
         .kind = ControlKind::ComboBox,
         .items = {"不重复随机", "自然随机", "顺序调用"}},
        {.name = "编辑框每隔最少",
         .kind = ControlKind::EditBox,
         .parent = "分组框1",
         .text = "100"},
        {.name = "编辑框预览内容",
         .kind = ControlKind::EditBox,
         .text = "甲\r\n乙",
         .multiLine = true},
        {.name = "进度条", .kind = ControlKind::ProgressBar, .visible = false},
        {.name = "按钮预览", .kind = ControlKind::Button, .text = "预览", .tag = "禁止保存"},
    };
    return table;
}

TEST(HeadlessForm, BuiltFromATableWithEveryDefault) {
    HeadlessForm form(sampleTable());
    const auto controls = form.controls();
    ASSERT_EQ(controls.size(), 7u);
    EXPECT_EQ(controls[0]->name(), "分组框1");
    EXPECT_EQ(controls[6]->name(), "按钮预览");

    Control* title = form.find("选择框插入标题");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->kind(), ControlKind::CheckBox);
    EXPECT_TRUE(title->ticked());
    EXPECT_EQ(title->text(), G("插入到标题"));
    EXPECT_EQ(title->parent(), form.find("分组框1"));
    EXPECT_EQ(form.find("组合框调用方式")->parent(), nullptr);

    Control* mode = form.find("组合框调用方式");
    EXPECT_EQ(mode->selectedIndex(), 0);
    EXPECT_EQ(mode->items().size(), 3u);
    EXPECT_EQ(mode->items()[2].text, G("顺序调用"));
    EXPECT_EQ(mode->comboStyle(), kComboDropDownList);

    EXPECT_EQ(textOf(form, "编辑框预览内容"), G("甲\r\n乙"));
    EXPECT_EQ(integerOf(form, "编辑框每隔最少"), 100);
    EXPECT_TRUE(tickedOf(form, "选择框插入标题"));
    EXPECT_FALSE(form.find("进度条")->visible());
    EXPECT_EQ(form.find("按钮预览")->tag(), G("禁止保存"));
    EXPECT_EQ(form.tryFind("选择框插入标题"), title);
    EXPECT_EQ(form.tryFind("编辑框没有这个"), nullptr);
}

// A name the form does not have is a programming error: a debug build names it
// and aborts at once instead of reading a default. A release build reads the
// empty value, as before.
TEST(HeadlessFormDeathTest, AMissingNameIsReportedAtOnce) {
    HeadlessForm form(sampleTable());
#ifndef NDEBUG
    EXPECT_DEATH(static_cast<void>(form.find("编辑框没有这个")), "编辑框没有这个");
    EXPECT_DEATH(static_cast<void>(textOf(form, "编辑框没有这个")), "编辑框没有这个");
    EXPECT_DEATH(static_cast<void>(tickedOf(form, "选择框没有这个")), "选择框没有这个");
    EXPECT_DEATH(static_cast<void>(indexOf(form, "组合框没有这个")), "组合框没有这个");
    EXPECT_DEATH(static_cast<void>(integerOf(form, "编辑框没有这个")), "编辑框没有这个");
#else
    EXPECT_EQ(form.find("编辑框没有这个"), nullptr);
    EXPECT_EQ(textOf(form, "编辑框没有这个"), "");
    EXPECT_FALSE(tickedOf(form, "选择框没有这个"));
    EXPECT_EQ(indexOf(form, "组合框没有这个"), 0);
    EXPECT_EQ(integerOf(form, "编辑框没有这个"), 0);
#endif
}

TEST(HeadlessForm, AParentThatIsNoEarlierRowPlacesTheControlInTheWindow) {
    const ControlTable table = {
        {.name = "选择框插入标题", .kind = ControlKind::CheckBox, .parent = "分组框1"},
        {.name = "分组框1", .kind = ControlKind::GroupBox},
    };
    HeadlessForm form(table);
    EXPECT_EQ(form.find("选择框插入标题")->parent(), nullptr);
}

TEST(HeadlessForm, ControlsReadBackWhatIsWritten) {
    HeadlessForm form(sampleTable());
    Control* combo = form.find("组合框调用方式");
    combo->setSelectedIndex(2);
    EXPECT_EQ(indexOf(form, "组合框调用方式"), 2);
    EXPECT_EQ(combo->text(), G("顺序调用"));
    combo->setSelectedIndex(9);
    EXPECT_EQ(combo->selectedIndex(), -1);
    combo->setItems({{G("一"), 5, false}});
    EXPECT_EQ(combo->items(), (std::vector<ListItem>{{G("一"), 5, false}}));

    Control* box = form.find("选择框插入标题");
    box->setTicked(false);
    box->setEnabled(false);
    box->setVisible(false);
    box->setTag("t");
    EXPECT_FALSE(box->ticked());
    EXPECT_FALSE(box->enabled());
    EXPECT_FALSE(box->visible());
    EXPECT_EQ(box->tag(), "t");

    Control* edit = form.find("编辑框每隔最少");
    edit->setTicked(true);  // an edit box has no tick
    EXPECT_FALSE(edit->ticked());
    edit->setText("-3x");
    EXPECT_EQ(integerOf(form, "编辑框每隔最少"), -3);

    Control* bar = form.find("进度条");
    bar->setProgress(10, 3);
    EXPECT_EQ(bar->progressRange(), 10);
    EXPECT_EQ(bar->progressPosition(), 3);
    bar->setProgress(2, 5);
    EXPECT_EQ(bar->progressPosition(), 2);
}

TEST(HeadlessForm, MessagesClipboardAndFocus) {
    HeadlessForm form(sampleTable());
    EXPECT_EQ(form.messageBox("a", "b", MessageButtons::Ok, MessageIcon::Information),
              MessageAnswer::Ok);
    EXPECT_EQ(form.messageBox("q", "", MessageButtons::YesNo, MessageIcon::Information),
              MessageAnswer::No);
    form.setAnswer(MessageAnswer::Yes);
    EXPECT_EQ(form.messageBox("q", "", MessageButtons::YesNo, MessageIcon::Warning),
              MessageAnswer::Yes);
    ASSERT_EQ(form.messages().size(), 3u);
    EXPECT_EQ(form.messages()[0].text, "a");
    EXPECT_EQ(form.messages()[2].icon, MessageIcon::Warning);

    EXPECT_EQ(form.clipboardText(), "");
    form.setClipboardText(G("剪贴板"));
    EXPECT_EQ(form.clipboardText(), G("剪贴板"));

    form.focus(*form.find("编辑框预览内容"));
    EXPECT_EQ(form.focused(), form.find("编辑框预览内容"));
}

TEST(PendingMessages, HandlerIsCalledAndCanBeRemoved) {
    int calls = 0;
    auto previous = setPendingMessagesHandler([&] { ++calls; });
    processPendingMessages();
    processPendingMessages();
    EXPECT_EQ(calls, 2);
    setPendingMessagesHandler(previous);
    processPendingMessages();
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace lct
