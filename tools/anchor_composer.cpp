#include "tools/anchor_composer.h"

#include <vector>

#include "engine/lists.h"
#include "engine/replace.h"
#include "platform/charset.h"

namespace lct {
namespace {

constexpr std::string_view kComposeButton = "按钮合成";

void setCaption(Form& form, std::string_view utf8) {
    if (Control* button = form.find(kComposeButton)) button->setText(utf8ToGbk(utf8));
}

}  // namespace

const ControlTable& anchorComposerTable() {
    using K = ControlKind;
    static const ControlTable table = {
        {.name = "标签关键词列表", .kind = K::Label, .text = "关键词列表：*1"},
        {.name = "编辑框关键词列表",
         .kind = K::EditBox,
         .text = "青禾示例站\r\n澜词通演示站\r\n示例资讯网",
         .multiLine = true},
        {.name = "按钮粘贴关键词", .kind = K::Button, .text = "粘贴"},
        {.name = "标签网址列表", .kind = K::Label, .text = "网址列表：*2"},
        {.name = "编辑框网址列表",
         .kind = K::EditBox,
         .text = "https://www.example.com/\r\nhttps://www.example.org/\r\n"
                 "https://www.example.net/\r\n",
         .multiLine = true},
        {.name = "按钮粘贴网址", .kind = K::Button, .text = "粘贴"},
        {.name = "标签合成模板", .kind = K::Label, .text = "合成模板："},
        {.name = "编辑框合成模板",
         .kind = K::EditBox,
         .text = R"(<a href="*2" title="*1" target="_blank">*1</a>)"},
        {.name = "按钮合成", .kind = K::Button, .text = "合成"},
        {.name = "标签合成列表", .kind = K::Label, .text = "合成列表："},
        {.name = "编辑框合成列表", .kind = K::EditBox, .multiLine = true},
        {.name = "按钮复制合成", .kind = K::Button, .text = "复制"},
    };
    return table;
}

std::string composeAnchors(std::string_view keywords, std::string_view addresses,
                           std::string_view templateText, const bool& stop) {
    const std::vector<std::string> urls = splitList(addresses, "\r\n");
    std::vector<std::string> names = splitList(keywords, "\r\n");
    names.resize(urls.size());
    std::string result;
    for (std::size_t i = 0; i < urls.size(); ++i) {
        if (urls[i].empty() || names[i].empty()) continue;
        const std::string pair = names[i] + "|" + urls[i];
        result += replaceByLists(templateText, "*1|*2", pair, false, 0);
        result += "\r\n";
        processPendingMessages();
        if (stop) break;
    }
    return result;
}

void runAnchorComposer(Form& form, bool& stop) {
    stop = false;
    setCaption(form, "正在合成..");
    const std::string result =
        composeAnchors(textOf(form, "编辑框关键词列表"), textOf(form, "编辑框网址列表"),
                       textOf(form, "编辑框合成模板"), stop);
    if (Control* box = form.find("编辑框合成列表")) box->setText(result);
    setCaption(form, "合成");
}

}  // namespace lct
