#include "app/link_map_button.h"

#include <algorithm>
#include <thread>

#include "app/form_options.h"
#include "app/main_window_names.h"
#include "files/link_map.h"
#include "platform/charset.h"

namespace lct {

using namespace main_window;

namespace {

constexpr std::string_view kCaption = "从文件夹生成链接表…";

// The address as entered: its first line, without blanks around it.
std::string firstLineTrimmed(std::string_view text) {
    text = text.substr(0, text.find_first_of("\r\n"));
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(" \t") - begin + 1));
}

// Why an article that was read gave no line (UTF-8).
std::string reasonOf(const LinkMapSkip& skip) {
    if (skip.why == LinkMapSkip::Why::Untitled) return "没有标题，未列入链接表";
    return "关键词“" + skip.detail + "”已由 " + skip.firstPath + " 给出，未列入链接表";
}

// Reads the listed articles into a map and, unless stopped or empty, puts it
// into the keyword list; tells the user what became of it.
void fillKeywordList(BatchContext& context, const BatchRequest& listed, std::string baseUrl) {
    LinkMapRequest request;
    request.paths = listed.paths;
    request.relativePaths = listed.relativePaths;
    request.baseUrl = std::move(baseUrl);
    request.encoding = readRunOptions(context.form).inputEncoding;
    request.jobs = std::max(1u, std::thread::hardware_concurrency());
    RunHost& host = context.host;
    const LinkMap map = buildLinkMap(
        request,
        // The host's test also stops when the window closes.
        [&host] {
            host.keepAlive();
            return !host.stopRequested();
        },
        [&host] { host.keepAlive(); });
    for (const RunFailure& failure : listed.listingFailures)
        host.failed(failure.path, failure.reason);
    // A page left out of the map is no failure: the user sees why, below
    // the pages that could not be read.
    for (const LinkMapSkip& skip : map.skipped) {
        if (skip.why == LinkMapSkip::Why::Unreadable) {
            host.failed(skip.path, skip.detail);
        } else {
            host.problem(skip.path + "：" + reasonOf(skip));
        }
    }
    if (map.stopped) {
        host.tell(utf8ToGbk("已停止，关键词列表没有改动。"));
        return;
    }
    if (map.lines.empty()) {
        host.tell(utf8ToGbk("没有找到带标题的文章，关键词列表没有改动。"));
        return;
    }
    std::string lines = linkMapText(map, "\r\n");
    lines.resize(lines.size() - 2);
    const std::string count = std::to_string(map.lines.size());
    Control* list = context.form.find(kKeywordList);
    if (!list) return;
    if (!list->text().empty() &&
        !host.ask(utf8ToGbk("用生成的 " + count + " 行链接表替换关键词列表现有的内容吗？")))
        return;
    list->setText(utf8ToGbk(lines));
    std::string summary = "已从 " + std::to_string(listed.paths.size()) + " 篇文章生成 " + count +
                          " 行链接表，填入了关键词列表。";
    if (!map.skipped.empty())
        summary += std::to_string(map.skipped.size()) +
                   " 篇文章未列入（没有标题、关键词重复或无法读取）。";
    host.tell(utf8ToGbk(summary));
}

}  // namespace

void onLinkMapClicked(BatchContext& context) {
    Control* button = context.form.find(kLinkMapButton);
    if (!button || !button->enabled()) return;
    if (context.run == MainWindowRun::LinkMap) {
        button->setText(utf8ToGbk("正在停止中.."));
        context.stopFlag = true;
        return;
    }
    if (context.run != MainWindowRun::Idle) return;
    const std::string title = utf8ToGbk("请选择网站文章(") + textOf(context.form, kFileFilter) +
                              utf8ToGbk(")所在文件夹：");
    const Control* folderButton = context.form.find(kBatchFolder);
    const std::string folder = context.dialogs.chooseFolder(
        title, folderButton ? gbkToUtf8(folderButton->tag()) : std::string());
    if (folder.empty()) return;
    std::string address = button->tag();
    if (!context.dialogs.enterText(
            utf8ToGbk("请输入网站的网址（如 https://example.com/）。每篇文章的网址是它加上"
                      "文章在文件夹里的相对路径："),
            utf8ToGbk(kCaption), address))
        return;
    address = firstLineTrimmed(address);
    button->setTag(address);
    button->setText(utf8ToGbk("生成中..点我停止"));
    context.run = MainWindowRun::LinkMap;
    context.stopFlag = false;
    enableOtherRunButtons(context.form, kLinkMapButton, false);
    BatchRequest listed;
    if (listBatchFolder(context, folder, listed))
        fillKeywordList(context, listed, gbkToUtf8(address));
    enableOtherRunButtons(context.form, kLinkMapButton, true);
    button->setText(utf8ToGbk(kCaption));
    context.run = MainWindowRun::Idle;
}

}  // namespace lct
