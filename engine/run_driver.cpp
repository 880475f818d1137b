#include "engine/run_driver.h"

#include <algorithm>

#include "engine/article_options.h"
#include "engine/keywords.h"
#include "engine/pipeline.h"
#include "platform/charset.h"
#include "platform/clock.h"

namespace lct {
namespace {

std::string messageText(std::string_view utf8Text) {
    return utf8ToGbk(utf8Text);
}

constexpr std::string_view kKeywordList = "编辑框关键词列表";
constexpr std::string_view kPanels[] = {"分组框1", "分组框2", "分组框文章打乱替换器"};

// Enables or disables the option panels and shows or hides the progress
// controls around a batch.
void lockPanels(Form& form, bool running) {
    for (std::string_view name : kPanels) {
        if (Control* panel = form.find(name)) panel->setEnabled(!running);
    }
    for (std::string_view name : {"进度条", "透明标签"}) {
        if (Control* c = form.find(name)) c->setVisible(running);
    }
}

// The keyword lines of the run, from the keyword box or from the keyword file
// its first line names; nullopt (after telling the user) when there are none.
std::optional<std::vector<std::string>> takeKeywords(Form& form, RunHost& host,
                                                     RunServices& services,
                                                     const ArticleOptions& options) {
    std::vector<std::string> lines = loadKeywords(options.keywordList);
    if (lines.empty()) {
        host.message(messageText("请先输入关键词列表！"), MessageButtons::Ok,
                     MessageIcon::Information);
        host.focus(kKeywordList);
        return std::nullopt;
    }
    const std::string keywordFile = gbkToUtf8(lines.front());
    if (!keywordFile.empty() && services.isFile(keywordFile)) {
        const ArticleFile file = services.read(keywordFile, indexOf(form, "组合框输入编码"));
        lines = loadKeywords(file.text);
        if (lines.empty()) {
            host.message(messageText("关键词文件的内容为空！"), MessageButtons::Ok,
                         MessageIcon::Information);
            host.focus(kKeywordList);
            return std::nullopt;
        }
    }
    return lines;
}

void report(RunHost& host, const ArticleReport& articleReport, std::vector<std::string>& told) {
    for (const std::string& problem : articleReport.problems) {
        if (std::find(told.begin(), told.end(), problem) != told.end()) continue;
        told.push_back(problem);
        host.problem(problem);
    }
}

}  // namespace

RunResult runArticles(Form& form, RunHost& host, RunServices& services, RunRequest& request) {
    RunResult result;
    const std::int64_t start = tickCount();
    if (request.batch && request.paths.empty()) {
        result.status = RunStatus::NoInput;
        return result;
    }
    const ArticleOptions options = readArticleOptions(form);
    const std::string newExtension = textOf(form, "编辑框新文件扩展名");

    // Keywords first: a refused run leaves nothing behind, not even the
    // result folder.
    std::vector<std::string> keywordLines;
    if (options.mode != PipelineMode::ShuffleReplace) {
        auto lines = takeKeywords(form, host, services, options);
        if (!lines) {
            result.status = RunStatus::Refused;
            return result;
        }
        keywordLines = std::move(*lines);
    }
    if (request.batch) {
        result.resultFolder = services.resultFolder(request.paths.front());
        services.createFolder(result.resultFolder);
    }

    ArticleRun run(request.seed);
    run.prepare(options, std::move(keywordLines));

    const int count = request.batch ? static_cast<int>(request.paths.size()) : 1;
    if (request.batch) {
        lockPanels(form, true);
        host.progress(count, 0);
    }
    const int inputEncoding = indexOf(form, "组合框输入编码");
    const int outputEncoding = indexOf(form, "组合框输出编码");
    std::vector<std::string> told;

    for (int i = 1; i <= count; ++i) {
        if (host.stopRequested()) break;
        processPendingMessages();
        std::string title;
        std::string content;
        ArticleFile input;
        const std::string* path = nullptr;
        if (request.batch) {
            path = &request.paths[static_cast<std::size_t>(i - 1)];
            title = services.titleOf(*path);
            input = services.read(*path, inputEncoding);
            content = std::move(input.text);
            host.progress(count, i);
            std::string line = "(" + std::to_string(count) + ":" + std::to_string(i) + ") ";
            line += title;
            host.status(line);
        } else {
            title = request.title;
            content = request.content;
        }

        ArticleReport articleReport;
        processArticle(options, run, title, content, &articleReport);
        report(host, articleReport, told);
        ++result.processed;

        if (!request.batch) {
            request.title = title;
            request.content = content;
            if (Control* c = form.find("编辑框结果标题")) c->setText(title);
            if (Control* c = form.find("编辑框结果内容")) c->setText(content);
            continue;
        }
        const int encoding = outputEncoding == 0 ? input.encoding : outputEncoding;
        const std::string output =
            services.resultPath(result.resultFolder, title, newExtension, *path);
        if (services.write(output, content, encoding, input.lineBreaks)) {
            ++result.succeeded;
        } else {
            host.problem("无法写入结果文件：" + output);
        }
    }

    if (request.batch) {
        result.summary = messageText("处理完成,共处理成功 ") + std::to_string(result.succeeded) +
                         messageText(" 个文件，耗费 ") + services.elapsedText(tickCount() - start);
        host.status(result.summary);
        if (request.offerToOpenFolder) {
            const std::string question = messageText("处理完成。处理结果存放在这个目录里 >> ") +
                                         utf8ToGbk(result.resultFolder) +
                                         messageText("\r\n\r\n是否打开该目录？");
            if (host.message(question, MessageButtons::YesNo, MessageIcon::Information) ==
                MessageAnswer::Yes)
                services.openFolder(result.resultFolder);
        }
        lockPanels(form, false);
        host.progress(0, 0);
    }
    return result;
}

}  // namespace lct
