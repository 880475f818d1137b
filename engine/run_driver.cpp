#include "engine/run_driver.h"

#include <algorithm>
#include <unordered_set>

#include "engine/article_options.h"
#include "engine/chars.h"
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
                                                     const ArticleOptions& options,
                                                     bool replaceGzip) {
    std::vector<std::string> lines = loadKeywords(options.keywordList);
    if (lines.empty()) {
        host.message(messageText("请先输入关键词列表！"), MessageButtons::Ok,
                     MessageIcon::Information);
        host.focus(kKeywordList);
        return std::nullopt;
    }
    const std::string keywordFile = gbkToUtf8(lines.front());
    if (!keywordFile.empty() && services.isFile(keywordFile)) {
        const ArticleFile file =
            services.read(keywordFile, indexOf(form, "组合框输入编码"), replaceGzip);
        if (!file.error.empty()) {
            host.message(messageText("关键词文件无法读取：" + keywordFile + "：" + file.error),
                         MessageButtons::Ok, MessageIcon::Information);
            host.focus(kKeywordList);
            return std::nullopt;
        }
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

// A file name as a status line shows it: control characters (a line break, an
// escape sequence) become "?", so the line stays one line and harmless.
std::string printable(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size());
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t size = std::max<std::size_t>(charSize(gbk, i), 1);
        const auto byte = static_cast<unsigned char>(gbk[i]);
        if (size == 1 && (byte < 0x20 || byte == 0x7F)) {
            out.push_back('?');
        } else if (size == 2 && gbk.substr(i, 2) == "\r\n") {
            out.push_back('?');
        } else {
            out.append(gbk.substr(i, size));
        }
        i += size;
    }
    return out;
}

// Where a batch's results go, and the rules that keep them from landing where
// they must not: the folder is made when the first result is written, no two
// results of the run share a path, and no result replaces an input.
class ResultWriter {
  public:
    ResultWriter(RunServices& services, std::string folder, const std::vector<std::string>& inputs)
        : services_(services), folder_(std::move(folder)), inputs_(inputs) {}

    const std::string& folder() const { return folder_; }

    // Writes one result; the reason when it could not be written.
    std::optional<std::string> write(const std::string& inputPath, const std::string& title,
                                     const std::string& newExtension, const std::string& text,
                                     int encoding, int lineBreaks) {
        if (!ready_ && folderError_.empty()) {
            bool created = false;
            ready_ = services_.createResultFolder(folder_, created, folderError_);
            if (ready_ && !created) mayHoldInputs_ = true;
        }
        if (!ready_) return "无法创建结果文件夹 " + folder_ + "：" + folderError_;
        std::string path;
        for (int copy = 1;; ++copy) {
            path = services_.resultPath(folder_, title, newExtension, inputPath, copy);
            if (!used_.contains(path) && !isInput(path)) break;
        }
        std::string error;
        if (!services_.write(path, text, encoding, lineBreaks, error))
            return "无法写入结果文件 " + path + "：" + error;
        used_.insert(path);
        return std::nullopt;
    }

  private:
    // True when writing `path` would replace one of the run's inputs (or the
    // link that names one).
    bool isInput(const std::string& path) {
        if (!mayHoldInputs_) return false;
        const std::string identity = services_.fileIdentity(path, false);
        if (identity.empty()) return false;
        if (!inputIdentitiesKnown_) {
            for (const std::string& input : inputs_) {
                for (bool follow : {false, true}) {
                    std::string id = services_.fileIdentity(input, follow);
                    if (!id.empty()) inputIdentities_.insert(std::move(id));
                }
            }
            inputIdentitiesKnown_ = true;
        }
        return inputIdentities_.contains(identity);
    }

    RunServices& services_;
    std::string folder_;
    const std::vector<std::string>& inputs_;
    bool ready_ = false;
    std::string folderError_;
    bool mayHoldInputs_ = false;  // the folder existed before the run
    bool inputIdentitiesKnown_ = false;
    std::unordered_set<std::string> inputIdentities_;
    std::unordered_set<std::string> used_;
};

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

    // Keywords first: a refused run leaves nothing behind.
    std::vector<std::string> keywordLines;
    if (options.mode != PipelineMode::ShuffleReplace) {
        auto lines = takeKeywords(form, host, services, options, request.batch);
        if (!lines) {
            result.status = RunStatus::Refused;
            return result;
        }
        keywordLines = std::move(*lines);
    }
    std::optional<ResultWriter> results;
    if (request.batch) {
        results.emplace(services, services.resultFolder(request.paths.front()), request.paths);
        result.resultFolder = results->folder();
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
    auto fail = [&](const std::string& path, std::string reason) {
        host.failed(path, reason);
        result.failures.push_back({path, std::move(reason)});
    };

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
            host.progress(count, i);
            std::string line = "(" + std::to_string(count) + ":" + std::to_string(i) + ") ";
            line += printable(title);
            host.status(line);
            input = services.read(*path, inputEncoding, true);
            if (!input.error.empty()) {
                fail(*path, std::move(input.error));
                continue;
            }
            content = std::move(input.text);
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
        if (auto error =
                results->write(*path, title, newExtension, content, encoding, input.lineBreaks)) {
            fail(*path, std::move(*error));
        } else {
            ++result.succeeded;
        }
    }

    if (request.batch) {
        result.summary = messageText("处理完成,共处理成功 ") + std::to_string(result.succeeded) +
                         messageText(" 个文件，耗费 ") + services.elapsedText(tickCount() - start);
        if (!result.failures.empty()) {
            result.summary += messageText(", 失败 ") + std::to_string(result.failures.size()) +
                              messageText(" 个文件");
        }
        host.status(result.summary);
        // A folder that was never made (nothing could be written) is not offered.
        if (request.offerToOpenFolder && services.isFolder(result.resultFolder)) {
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
