#include "app/main_window_rules.h"

#include <array>

#include "app/form_options.h"
#include "app/main_window_names.h"
#include "engine/run_driver.h"
#include "platform/charset.h"

namespace lct {

using namespace main_window;

namespace {

void enable(Form& form, std::string_view name, bool enabled) {
    if (Control* c = form.find(name)) c->setEnabled(enabled);
}

void show(Form& form, std::string_view name, bool visible) {
    if (Control* c = form.find(name)) c->setVisible(visible);
}

bool tickedAndEnabled(Form& form, std::string_view name) {
    const Control* c = form.find(name);
    return c && c->ticked() && c->enabled();
}

std::string newSetCaption(int type) {
    if (type == 0) return utf8ToGbk("每次使用新一轮关键词");
    if (type == 2) return utf8ToGbk("每个句子使用新一轮关键词");
    if (type == 8 || type == 9) return utf8ToGbk("每隔字数使用新一轮关键词");
    return utf8ToGbk("每个段落使用新一轮关键词");
}

struct Dependents {
    std::string_view box;
    std::array<std::string_view, 5> controls;
};

constexpr std::array kShufflePanelRule = {
    Dependents{kShuffleTitle, {kTitleShuffleSymbols}},
    Dependents{kShuffleContent, {kContentShuffleSymbols}},
    Dependents{kSentenceIntoTitle, {kSentencePlacement, kSentenceMinimum, kSentenceMustContain}},
    Dependents{kTitleIntoContent, {kTitleInsertMin, kTitleInsertMax, kUseSourceTitle}},
    Dependents{
        kReplaceTitle,
        {kTitleMatches, kTitleReplacements, kTitleReplaceCount, kTitleRegex, kTitleIgnoreCase}},
    Dependents{kReplaceContent,
               {kContentMatches, kContentReplacements, kContentReplaceCount, kContentRegex,
                kContentIgnoreCase}},
};

constexpr std::string_view kHelpLines[] = {
    "-----------------软件介绍-----------------",
    "",
    "青禾软件出品的一款整合型关键词插入工具。",
    "支持强大丰富的插入选项，可插入到文章的标题和内容",
    "附带：随机字串生成器可用于生成随意词组；文章打乱替换器可打乱标题和正文以及替换字符。",
    "本工具可实现无缝插入或打乱，即原空行、标点符号等保持不变，变得只是文字。因此打乱的句子具有"
    "可读性，而插入关键词可智能避免割断网页标签和英文单词。",
    "",
    "",
    "-----------------疑点说明-----------------",
    "",
    "",
    "再组合关键词： * 或 #关键词# 代表关键词，** 或 #标题# 代表标题",
    "",
    "标题间隔符（插入分隔符）：当插入关键词到标题时，使用什么符号隔开关键词与原标题？多个符号可使用"
    "‘|’隔开，将随机使用其中一个。，换行使用‘\\n’表示。",
    "",
    "标点符号组：使用多个符号来分割句子，可以是句号、逗号或换行等任何符号。多个符号可使用‘|’隔开，"
    "换行使用‘\\n’表示",
    "",
    "插入次数：不选中则只插入一次",
    "",
    "标题只插一次：当插入次数大于 1 时，标题和内容都是插入该数量的关键词的。本选项打勾则标题只插入"
    "一次。",
    "",
    "插入到内容-"
    "每隔指定字数：换行、汉字、数字字母均算一个字符。可实现每隔指定字数的位置插入一个关键"
    "词。但实际情况可能会遇到网页标签和英文单词，这时程序会自动绕过并选择最近的位置插入，所以最终插"
    "入"
    "位置只是与标准位置相近。",
    "",
    "关于段落：本工具对于段落的定义是一个非空文本行，而不是网页标签里的<p></p>。",
    "",
    "特别说明1：自动避开网页标签的功能的耗费时间较多，自动避开单词耗费时间较少，如果两个都不用，就"
    "最"
    "快。",
    "特别说明2：“每隔字数插入2”等同于“每隔字数插入”不打勾“自动避开单词”和“自动避开网页标签”。但他们"
    "真正的差别是：“每隔字数插入2”设定的每隔字符数的随机值在同一篇文章插入多个关键词时生效，而“每隔"
    "字数插入”设定的每隔字符数的随机值则是在插入不同文章时生效。",
    "",
    "------------------------------------------------------------",
    "",
    "文章打乱替换器·打乱标题和打乱内容：使用什么符号作为打乱临界点？可以使用句号、逗号或换行等任何"
    "符号",
    "多个符号可使用‘|’隔开，换行使用‘\\n’表示",
    "文章打乱替换器·替换标题和替换内容：未启用正则时，多组要替换的字符使用‘|"
    "’隔开，多组替换为的字符也"
    "对应使用‘|’隔开",
};

}  // namespace

void applyInsertOptionsRule(Form& form) {
    const bool insert = tickedOf(form, kInsertRadio);
    const int type = indexOf(form, kContentType);

    enable(form, kInsertTitle, insert);
    enable(form, kInsertContent, insert);
    for (std::string_view name : {kReplaceAvoidMarkup, kReplaceAvoidHeadings, kReplaceWholeWords,
                                  kReplacePerKeywordLimit, kReplaceTotalLimit, kPerAddressLimit})
        enable(form, name, !insert);
    const bool contentOn = tickedAndEnabled(form, kInsertContent);
    const bool titleOn = tickedAndEnabled(form, kInsertTitle);
    const bool contentTicked = tickedOf(form, kInsertContent);
    const bool everyN = type == 8 || type == 9;

    enable(form, kContentType, contentOn);
    enable(form, kSymbolGroups, contentOn && (type == 2 || type == 14));
    enable(form, kNewSet, contentOn && type >= 1 && type <= 9);
    for (std::string_view name :
         {kEveryLabel, kEveryMin, kEveryToLabel, kEveryMax, kEveryUnitLabel})
        show(form, name, contentOn && everyN);
    enable(form, kCountRange, insert && !(contentTicked && everyN));
    const bool countOn = tickedAndEnabled(form, kCountRange);
    for (std::string_view name : {kCountFrom, kCountTo, kDifferentEachTime})
        enable(form, name, countOn);
    enable(form, kTitleType, titleOn);
    enable(form, kTitleOnce, titleOn);
    const bool titleTyped = indexOf(form, kTitleType) != 0;
    enable(form, kTitleSeparators,
           (titleOn && titleTyped) || (contentTicked && type >= 10 && type <= 13));
    enable(form, kAvoidTags, type != 9);
    enable(form, kAvoidWords, type != 9);
    // Every content type keeps to the places it leaves, the chunk type included.
    enable(form, kAvoidLinks, contentOn);
    if (Control* c = form.find(kNewSet)) c->setText(newSetCaption(type));
    const Control* typeCombo = form.find(kContentType);
    show(form, kSymbolMode, type == 14 && typeCombo && typeCombo->enabled());
}

void applyShufflePanelRule(Form& form) {
    for (const Dependents& rule : kShufflePanelRule) {
        const bool on = tickedOf(form, rule.box);
        for (std::string_view name : rule.controls) {
            if (!name.empty()) enable(form, name, on);
        }
    }
}

void showShufflePanel(Form& form, bool shown) {
    show(form, kShufflePanel, shown);
    // Everything of the keyword list goes with it: a paste into a list the
    // user cannot see would replace it unseen.
    for (std::string_view name : {kKeywordListLabel, kKeywordList, kPasteKeywords, kCallModeLabel,
                                  kCallMode, kInsertPanel, kReplacePanel})
        show(form, name, !shown);
    clearPreviewMarks(form);
}

void clearPreviewMarks(Form& form) {
    for (std::string_view name : {kResultTitle, kResultContent}) {
        if (Control* c = form.find(name)) c->setMarks({});
    }
    if (Control* c = form.find(kResultCountLabel)) c->setText({});
}

std::string settingsState(Form& form) {
    std::string state;
    const auto field = [&state](std::string_view value) {
        state += std::to_string(value.size());
        state += ':';
        state += value;
    };
    for (Control* c : form.controls()) {
        if (c->name() == kResultTitle || c->name() == kResultContent) continue;
        switch (c->kind()) {
            case ControlKind::EditBox:
                field(c->text());
                break;
            case ControlKind::CheckBox:
            case ControlKind::RadioBox:
                field(c->ticked() ? "1" : "0");
                break;
            case ControlKind::ComboBox:
                field(std::to_string(c->selectedIndex()));
                break;
            case ControlKind::Button:
                field(c->tag());
                break;
            default:
                break;
        }
    }
    return state;
}

void toggleShufflePanel(Form& form) {
    const Control* panel = form.find(kShufflePanel);
    showShufflePanel(form, !(panel && panel->visible()));
}

void selectModeRadio(Form& form, std::string_view clicked) {
    const bool insert = clicked == kInsertRadio;
    if (Control* c = form.find(kInsertRadio)) c->setTicked(insert);
    if (Control* c = form.find(kReplaceRadio)) c->setTicked(!insert);
    applyInsertOptionsRule(form);
    clearPreviewMarks(form);
}

std::string helpText() {
    std::string text;
    for (std::size_t i = 0; i < std::size(kHelpLines); ++i) {
        if (i > 0) text += "\r\n";
        text += kHelpLines[i];
    }
    return utf8ToGbk(text);
}

void onPreviewClicked(Form& form, RunHost& host, RunServices& services, bool& stopFlag,
                      MainWindowRun& run) {
    Control* button = form.find(kPreviewButton);
    if (!button || !button->enabled()) return;
    if (run == MainWindowRun::Preview) {
        button->setText(utf8ToGbk("停止中"));
        stopFlag = true;
        return;
    }
    if (run != MainWindowRun::Idle || !optionsUsableOrWarn(form)) return;
    // A batch started from a nested click would share the stop flag.
    auto batchButtons = [&form](bool enabled) {
        for (std::string_view name : {kBatchFiles, kBatchFolder, kBatchPathList, kLinkMapButton})
            enable(form, name, enabled);
    };
    button->setText(utf8ToGbk("停止"));
    run = MainWindowRun::Preview;
    stopFlag = false;
    batchButtons(false);
    PreviewRequest request;
    request.title = textOf(form, kPreviewTitle);
    request.content = textOf(form, kPreviewContent);
    // The host has shown the result boxes or the refusal: nothing is left to tell.
    static_cast<void>(runPreview(readRunOptions(form), host, services, request));
    batchButtons(true);
    button->setText(utf8ToGbk("预览"));
    run = MainWindowRun::Idle;
}

}  // namespace lct
