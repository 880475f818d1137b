#include "tools/anchor_composer.h"

#include <optional>
#include <vector>

#include "engine/chars.h"
#include "engine/lists.h"
#include "form/pending_messages.h"
#include "platform/charset.h"
#include "tools/anchor_composer_names.h"

namespace lct {

using namespace anchor_composer;

namespace {

constexpr std::string_view kIdleCaption = "合成";
constexpr std::string_view kRunningCaption = "正在合成..";
constexpr std::string_view kStoppingCaption = "停止中..";
constexpr std::string_view kAnchorComposerTitleShort = "锚文本合成器";

// The line of one keyword and address: the template with every "*1" replaced
// by the keyword, then every "*2" of that by the address, as replaceByLists
// does with the pair joined by "|". Each step's size is counted before it is
// built: nullopt (the builder counting the result as cut) as soon as the line
// could no longer be admitted, so that a template of a million markers never
// builds a line of gigabytes.
std::optional<std::string> composeLine(std::string_view templateText, std::string_view pair,
                                       ResultBuilder& builder) {
    std::vector<std::string> parts = splitList(pair, "|");
    parts.resize(2);
    std::string line(templateText);
    const std::string_view marks[] = {"*1", "*2"};
    for (std::size_t i = 0; i < 2; ++i) {
        // A mark cannot overlap itself, so these are the occurrences replaced.
        const std::size_t hits = findAllChars(line, marks[i]).size();
        const std::size_t kept = line.size() - hits * marks[i].size();
        if (!builder.fits(kept + hits * parts[i].size() + 2)) return std::nullopt;
        if (hits > 0) line = replaceText(line, marks[i], parts[i], false);
    }
    return line;
}

void setCaption(Form& form, std::string_view utf8) {
    if (Control* button = form.find(kCompose)) button->setText(utf8ToGbk(utf8));
}

}  // namespace

const ControlTable& anchorComposerTable() {
    using K = ControlKind;
    static const ControlTable table = {
        {.name = kKeywordListLabel, .kind = K::Label, .text = "关键词列表：*1"},
        {.name = kKeywordList,
         .kind = K::EditBox,
         .text = "青禾示例站\r\n澜词通演示站\r\n示例资讯网",
         .multiLine = true},
        {.name = kPasteKeywords, .kind = K::Button, .text = "粘贴"},
        {.name = kAddressListLabel, .kind = K::Label, .text = "网址列表：*2"},
        {.name = kAddressList,
         .kind = K::EditBox,
         .text = "https://www.example.com/\r\nhttps://www.example.org/\r\n"
                 "https://www.example.net/\r\n",
         .multiLine = true},
        {.name = kPasteAddresses, .kind = K::Button, .text = "粘贴"},
        {.name = kTemplateLabel, .kind = K::Label, .text = "合成模板："},
        {.name = kTemplate,
         .kind = K::EditBox,
         .text = R"(<a href="*2" title="*1" target="_blank">*1</a>)"},
        {.name = kCompose, .kind = K::Button, .text = "合成"},
        {.name = kResultLabel, .kind = K::Label, .text = "合成列表："},
        {.name = kResult, .kind = K::EditBox, .multiLine = true, .breaksLongLines = true},
        {.name = kCopyResult, .kind = K::Button, .text = "复制"},
    };
    return table;
}

std::string composeAnchors(std::string_view keywords, std::string_view addresses,
                           std::string_view templateText, const bool& stop, ResultCount* count,
                           const ResultLimits& limits) {
    const std::vector<std::string> urls = splitList(addresses, "\r\n");
    std::vector<std::string> names = splitList(keywords, "\r\n");
    names.resize(urls.size());
    ResultBuilder builder(limits);
    for (std::size_t i = 0; i < urls.size(); ++i) {
        if (urls[i].empty() || names[i].empty()) continue;
        const std::optional<std::string> line =
            composeLine(templateText, names[i] + "|" + urls[i], builder);
        if (!line || !builder.admit(line->size() + 2)) break;
        builder.text() += *line;
        builder.text() += "\r\n";
        processPendingMessages();
        if (stop) break;
    }
    if (count) *count = builder.count();
    return std::move(builder.text());
}

void pressAnchorComposer(Form& form, bool& stop, const ResultLimits& limits) {
    Control* button = form.find(kCompose);
    if (button && button->text() != utf8ToGbk(kIdleCaption)) {
        stop = true;
        button->setText(utf8ToGbk(kStoppingCaption));
        return;
    }
    stop = false;
    setCaption(form, kRunningCaption);
    ResultCount count;
    const std::string result =
        composeAnchors(textOf(form, kKeywordList), textOf(form, kAddressList),
                       textOf(form, kTemplate), stop, &count, limits);
    if (Control* box = form.find(kResult)) box->setText(result);
    setCaption(form, kIdleCaption);
    announceResultLimit(form, count, "行", kAnchorComposerTitleShort, limits);
}

}  // namespace lct
