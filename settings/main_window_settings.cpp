#include "settings/main_window_settings.h"

#include <cmath>
#include <string>
#include <string_view>

#include "platform/charset.h"
#include "platform/gbk_text.h"

namespace lct {
namespace {

enum class Kind {
    CheckBox,    ///< saveCheckBox / restoreCheckBox: the key is the control's name
    Bytes,       ///< the edit box's text as a byte-set file
    Number,      ///< a combo box's item index
    Text,        ///< an edit box's text
    SpacedText,  ///< an edit box's text with every space stored as "[#kg#]"
    Bool,        ///< a check box's tick
    ButtonTag,   ///< a button's tag (the folder it used last)
    ModeRadio,   ///< 0 when 单选框插入 is selected, else 1
};

struct Row {
    std::string_view key;  ///< UTF-8; empty for check boxes, whose key is their name
    Kind kind;
    std::string_view control;
};

constexpr std::string_view kMainSection = "主界面";
constexpr std::string_view kShuffleSection = "文章打乱替换器";
constexpr std::string_view kSpace = "[#kg#]";

// The controls are the main window's. Its names header (app/main_window_names.h)
// sits above this layer, so the names are spelled out here;
// tests/app/control_names_test.cpp checks each against the main window's table,
// and Form::find stops a debug build at any name the form does not have.
//
// Rows 1 to 33 live in section 主界面, rows 34 to 56 in 文章打乱替换器, in
// this order. Rows 28 to 33 (the replace panel's options, then the insert
// panel's 选择框插入避开链接) came later and follow the older keys of their
// section; a file without them leaves those controls at their defaults. Rows
// 54 to 56 are main options, but stored files keep them in the second section.
constexpr Row kMainRows[] = {
    {{}, Kind::CheckBox, "选择框避免单词"},
    {{}, Kind::CheckBox, "选择框避免标签"},
    {"关键词列表", Kind::Bytes, "编辑框关键词列表"},
    {"调用方式", Kind::Number, "组合框调用方式"},
    {"再组合关键词", Kind::Text, "编辑框再组合关键词"},
    {"操作类型", Kind::ModeRadio, "单选框插入"},
    {{}, Kind::CheckBox, "选择框插入次数"},
    {"次数1", Kind::Text, "编辑框次数1"},
    {"次数2", Kind::Text, "编辑框次数2"},
    {{}, Kind::CheckBox, "选择框每次不同"},
    {{}, Kind::CheckBox, "选择框标题插一次"},
    {{}, Kind::CheckBox, "选择框插入标题"},
    {"标题插入类型", Kind::Number, "组合框标题插入类型"},
    {"标题间隔符", Kind::SpacedText, "编辑框标题间隔符"},
    {"每隔最少", Kind::Text, "编辑框每隔最少"},
    {"每隔最多", Kind::Text, "编辑框每隔最多"},
    {{}, Kind::CheckBox, "选择框插入内容"},
    {"正文插入类型", Kind::Number, "组合框内容插入类型"},
    {"句子结尾符", Kind::SpacedText, "编辑框句子结尾符"},
    {"符号插入模式", Kind::Number, "组合框符号插入模式"},
    {"更新关键词", Kind::Bool, "选择框更新关键词"},
    {"测试标题", Kind::Text, "编辑框预览标题"},
    {"测试内容", Kind::Text, "编辑框预览内容"},
    {"新文件扩展名", Kind::Text, "编辑框新文件扩展名"},
    {"批量处理", Kind::ButtonTag, "按钮批量处理"},
    {"批量处理文件夹", Kind::ButtonTag, "按钮批量处理文件夹"},
    {"文件过滤", Kind::Text, "编辑框过滤"},
    {{}, Kind::CheckBox, "选择框替换避开标签"},
    {{}, Kind::CheckBox, "选择框替换避开小标题"},
    {"替换次数上限", Kind::Text, "编辑框替换次数上限"},
    {"替换总数上限", Kind::Text, "编辑框链接总数上限"},
    {{}, Kind::CheckBox, "选择框替换整词"},
    {{}, Kind::CheckBox, "选择框插入避开链接"},
};

constexpr Row kShuffleRows[] = {
    {{}, Kind::CheckBox, "选择框打乱标题"},
    {"标题打乱符号", Kind::Text, "编辑框标题打乱符号"},
    {{}, Kind::CheckBox, "选择框打乱内容"},
    {"内容打乱符号", Kind::Text, "编辑框内容打乱符号"},
    {{}, Kind::CheckBox, "选择框文章一句"},
    {"插入类型", Kind::Number, "组合框插入类型"},
    {"最少字数", Kind::Text, "编辑框最少字数"},
    {"包含的词", Kind::Text, "编辑框包含的词"},
    {{}, Kind::CheckBox, "选择框标题插入"},
    {"插入最少", Kind::Text, "编辑框插入最少"},
    {"插入最多", Kind::Text, "编辑框插入最多"},
    {{}, Kind::CheckBox, "选择框原标题"},
    {{}, Kind::CheckBox, "选择框替换标题"},
    {{}, Kind::CheckBox, "选择框替换内容"},
    {"标题启用正则", Kind::Bool, "选择框标题启用正则"},
    {"标题忽视大小写", Kind::Bool, "选择框标题忽视大小写"},
    {"标题替换次数", Kind::Text, "编辑框标题替换次数"},
    {"内容启用正则", Kind::Bool, "选择框内容启用正则"},
    {"内容忽视大小写", Kind::Bool, "选择框内容忽视大小写"},
    {"内容替换次数", Kind::Text, "编辑框内容替换次数"},
    {{}, Kind::CheckBox, "选择框标题插入首行"},
    {"输入编码", Kind::Number, "组合框输入编码"},
    {"输出编码", Kind::Number, "组合框输出编码"},
};

void selectMode(Form& form, bool insert) {
    if (Control* c = form.find("单选框插入")) c->setTicked(insert);
    if (Control* c = form.find("单选框替换")) c->setTicked(!insert);
}

void load(SettingsStore& store, Form& form, const Row& row) {
    Control* control = form.find(row.control);
    if (!control) return;
    const std::string key = utf8ToGbk(row.key);
    switch (row.kind) {
        case Kind::CheckBox:
            store.restoreCheckBox(*control);
            break;
        case Kind::Bytes:
            control->setText(store.readBytes(key, control->text()));
            break;
        case Kind::Number: {
            const double value = store.readNumber(key, control->selectedIndex());
            const auto count = static_cast<double>(control->items().size());
            // A damaged value keeps the current item rather than selecting none.
            if (value >= 0 && value < count) control->setSelectedIndex(static_cast<int>(value));
            break;
        }
        case Kind::Text:
            control->setText(store.readText(key, control->text()));
            break;
        case Kind::SpacedText:
            control->setText(
                replaceAtBoundaries(store.readText(key, control->text()), kSpace, " "));
            break;
        case Kind::Bool:
            control->setTicked(store.readBool(key, control->ticked()));
            break;
        case Kind::ButtonTag:
            control->setTag(store.readText(key, control->tag()));
            break;
        case Kind::ModeRadio: {
            const double value = store.readNumber(key, control->ticked() ? 0 : 1);
            selectMode(form, std::fabs(value) < 1e-7);
            break;
        }
    }
}

// Saves one row (a row whose control the form lacks has nothing to save).
void save(SettingsStore& store, Form& form, const Row& row) {
    const Control* control = form.find(row.control);
    if (!control) return;
    const std::string key = utf8ToGbk(row.key);
    switch (row.kind) {
        case Kind::CheckBox:
            store.saveCheckBox(*control);
            break;
        case Kind::Bytes:
            store.writeBytes(key, control->text());
            break;
        case Kind::Number:
            store.writeNumber(key, control->selectedIndex());
            break;
        case Kind::Text:
            store.writeText(key, control->text());
            break;
        case Kind::SpacedText:
            store.writeText(key, replaceAtBoundaries(control->text(), " ", kSpace));
            break;
        case Kind::Bool:
            store.writeBool(key, control->ticked());
            break;
        case Kind::ButtonTag:
            store.writeText(key, control->tag());
            break;
        case Kind::ModeRadio:
            store.writeNumber(key, control->ticked() ? 0 : 1);
            break;
    }
}

template <typename Action>
void forEachRow(SettingsStore& store, Action action) {
    store.selectSection(utf8ToGbk(kMainSection));
    for (const Row& row : kMainRows)
        action(row);
    store.selectSection(utf8ToGbk(kShuffleSection));
    for (const Row& row : kShuffleRows)
        action(row);
}

}  // namespace

void loadMainWindowSettings(SettingsStore& store, Form& form) {
    forEachRow(store, [&](const Row& row) { load(store, form, row); });
}

SaveOutcome saveMainWindowSettings(SettingsStore& store, Form& form) {
    store.beginSave();
    // Inside the save a value only reaches the document, and a byte block that
    // cannot be written is noted for finishSave: its outcome holds every failure.
    forEachRow(store, [&](const Row& row) { save(store, form, row); });
    return store.finishSave();
}

}  // namespace lct
