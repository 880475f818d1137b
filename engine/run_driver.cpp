#include "engine/run_driver.h"

#include <algorithm>
#include <unordered_set>

#include <memory>

#include "engine/article_run.h"
#include "engine/batch_files.h"
#include "engine/chars.h"
#include "engine/keyword_supply.h"
#include "platform/charset.h"
#include "platform/clock.h"
#include "platform/path_parts.h"

namespace lct {
namespace {

std::string messageText(std::string_view utf8Text) {
    return utf8ToGbk(utf8Text);
}

// What the run's long loops call to let the host's window breathe.
KeepAlive keepAliveOf(RunHost& host) {
    return [&host] { host.keepAlive(); };
}

// Tells the user why the run cannot start and points at the keyword list.
void refuse(RunHost& host, std::string_view utf8Text) {
    host.tell(messageText(utf8Text));
    host.focusKeywordList();
}

// The keyword lines of the run, from the keyword box or from the keyword file
// its first line names; nullopt (after telling the user) when there are none.
std::optional<std::vector<std::string>> takeKeywords(const RunOptions& options, RunHost& host,
                                                     RunServices& services) {
    std::vector<std::string> lines = loadKeywords(options.article.keywordList);
    if (lines.empty()) {
        refuse(host, "请先输入关键词列表！");
        return std::nullopt;
    }
    const std::string keywordFile = gbkToUtf8(lines.front());
    if (!keywordFile.empty() && services.isFile(keywordFile)) {
        const ArticleFile file =
            services.read(keywordFile, options.inputEncoding, keepAliveOf(host));
        if (!file.error.empty()) {
            refuse(host, "关键词文件无法读取：" + keywordFile + "：" + file.error);
            return std::nullopt;
        }
        lines = loadKeywords(file.text);
        if (lines.empty()) {
            refuse(host, "关键词文件的内容为空！");
            return std::nullopt;
        }
    }
    return lines;
}

// The run state of one preview or batch; nullopt when the run is refused.
std::unique_ptr<ArticleRun> prepareRun(const RunOptions& options, RunHost& host,
                                       RunServices& services, std::optional<std::uint64_t> seed) {
    std::vector<std::string> keywordLines;
    if (options.article.mode != PipelineMode::ShuffleReplace) {
        auto lines = takeKeywords(options, host, services);
        if (!lines) return nullptr;
        keywordLines = std::move(*lines);
    }
    auto run = std::make_unique<ArticleRun>(seed, keepAliveOf(host));
    run->prepare(options.article, std::move(keywordLines));
    return run;
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

// The report a batch writes into its result folder when no other is named.
constexpr const char* kReportTitle = "处理报告";
constexpr const char* kReportName = "处理报告.csv";

// Whether a batch writes a report of its inputs.
bool wantsReport(const RunOptions& options, const BatchRequest& request) {
    return !request.reportPath.empty() || options.reportInResultFolder;
}

// True when a file written at `path` would replace an input or a result of
// the run: the file there, or the one a link there names, is one of them.
bool replacesRunFile(RunServices& services, const std::string& path,
                     const std::vector<std::string>& inputs,
                     const std::vector<InputOutcome>& outcomes) {
    const std::string atPath = services.fileIdentity(path, false);
    if (atPath.empty()) return false;
    const std::string named = services.fileIdentity(path, true);
    auto isTarget = [&](const std::string& other, bool follow) {
        const std::string identity = services.fileIdentity(other, follow);
        return !identity.empty() && (identity == atPath || identity == named);
    };
    for (const std::string& input : inputs) {
        if (isTarget(input, false) || isTarget(input, true)) return true;
    }
    for (const InputOutcome& outcome : outcomes) {
        if (!outcome.resultPath.empty() && isTarget(outcome.resultPath, false)) return true;
    }
    return false;
}

// Where a batch's results go, and the rules that keep them from landing where
// they must not: the folder is made when the first result is written, no two
// results of the run share a path, and no result replaces an input.
class ResultWriter {
  public:
    ResultWriter(RunServices& services, std::string folder, const BatchRequest& request)
        : services_(services),
          folder_(std::move(folder)),
          inputs_(request.paths),
          relativePaths_(request.resultsAtRelativePaths ? &request.relativePaths : nullptr) {}

    const std::string& folder() const { return folder_; }

    // Where the result of an input goes: a path no other result of the run
    // has and no input of the run is; the reason when the result folder
    // cannot be made. The path is taken at once, so that the names depend on
    // the input order only, whenever the writes happen and however they end.
    std::optional<std::string> place(std::size_t index, const std::string& title,
                                     const std::string& newExtension, std::string& error) {
        const std::string& inputPath = inputs_[index];
        if (!makeFolder(error)) return std::nullopt;
        std::string path;
        for (int copy = 1;; ++copy) {
            path = relativePaths_
                       ? services_.resultPathAt(folder_, relativePathOf(index), newExtension, copy)
                       : services_.resultPath(folder_, title, newExtension, inputPath, copy);
            if (!used_.contains(path) && !isInput(path)) break;
        }
        used_.insert(path);
        return path;
    }

    // Where the report goes inside the result folder (made for it when no
    // result was written): 处理报告.csv, or 处理报告 (2).csv and on when that
    // name is a result or an input of the run.
    std::optional<std::string> placeReport(const std::vector<InputOutcome>& outcomes,
                                           std::string& error) {
        if (!makeFolder(error)) return std::nullopt;
        const std::string folder = folder_.ends_with('/') ? folder_ : folder_ + "/";
        for (int copy = 1;; ++copy) {
            const std::string suffix = copy > 1 ? " (" + std::to_string(copy) + ")" : "";
            std::string path = folder + kReportTitle + suffix + ".csv";
            if (!used_.contains(path) && !replacesRunFile(services_, path, inputs_, outcomes))
                return path;
        }
    }

  private:
    // Makes the result folder on the first call; false, with the reason, when
    // it cannot be made.
    bool makeFolder(std::string& error) {
        if (!ready_ && folderError_.empty()) {
            bool created = false;
            ready_ = services_.createResultFolder(folder_, created, folderError_);
            if (ready_ && !created) mayHoldInputs_ = true;
        }
        if (!ready_) error = "无法创建结果文件夹 " + folder_ + "：" + folderError_;
        return ready_;
    }

    // The input's path relative to its listed folder; its name when the
    // request gives none.
    std::string relativePathOf(std::size_t index) const {
        if (index < relativePaths_->size() && !(*relativePaths_)[index].empty())
            return (*relativePaths_)[index];
        const std::string& path = inputs_[index];
        return path.substr(path.rfind('/') + 1);
    }

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
    const std::vector<std::string>* relativePaths_;  // null: results named after titles
    bool ready_ = false;
    std::string folderError_;
    bool mayHoldInputs_ = false;  // the folder existed before the run
    bool inputIdentitiesKnown_ = false;
    std::unordered_set<std::string> inputIdentities_;
    std::unordered_set<std::string> used_;
};

// Tells the host the article's problems that the run has not told yet.
void report(RunHost& host, const std::vector<std::string>& problems,
            std::vector<std::string>& told) {
    for (const std::string& problem : problems) {
        if (std::find(told.begin(), told.end(), problem) != told.end()) continue;
        told.push_back(problem);
        host.problem(problem);
    }
}

// The status line of article `i` of `count`, such as "(20:3) 新闻".
std::string progressLine(int count, int i, std::string_view title) {
    std::string line = "(";
    line += std::to_string(count);
    line += ':';
    line += std::to_string(i);
    line += ") ";
    return line + printable(title);
}

// The summary of a batch: "处理完成,共处理成功 N 个文件，耗费 …" or, stopped,
// "已停止：处理了 N 个文件，共 M 个，耗费 …"; then the items written and the
// failures.
std::string summaryOf(const RunResult& result, PipelineMode mode, std::string_view elapsed) {
    std::string summary = result.stopped
                              ? messageText("已停止：处理了 ") + std::to_string(result.attempted) +
                                    messageText(" 个文件，共 ") + std::to_string(result.total) +
                                    messageText(" 个")
                              : messageText("处理完成,共处理成功 ") +
                                    std::to_string(result.succeeded) + messageText(" 个文件");
    summary += messageText("，耗费 ");
    summary += elapsed;
    // The items the written results hold, after the sentence that callers
    // read; shuffling and list replacement have none.
    if (mode != PipelineMode::ShuffleReplace) {
        summary += messageText(mode == PipelineMode::Insert ? "，插入 " : "，替换 ") +
                   std::to_string(result.items) + messageText(" 处");
    }
    if (!result.failures.empty()) {
        summary += messageText(", 失败 ") + std::to_string(result.failures.size()) +
                   messageText(" 个文件");
    }
    if (!result.reportError.empty()) summary += messageText("，处理报告未能写入");
    return summary;
}

// The end of a batch: the summary line, and the offer to open the folder,
// whose question carries the summary (a box drawn over the status line would
// hide it).
void finishBatch(RunResult& result, RunHost& host, RunServices& services,
                 const BatchRequest& request, PipelineMode mode, std::int64_t start) {
    result.summary = summaryOf(result, mode, services.elapsedText(tickCount() - start));
    host.status(result.summary);
    // A folder that was never made (nothing could be written) is not offered.
    if (!request.offerToOpenFolder || !services.isFolder(result.resultFolder)) return;
    const std::string folder = utf8ToGbk(result.resultFolder);
    std::string question =
        result.summary + messageText("\r\n\r\n处理结果存放在这个目录里 >> ") + folder;
    if (!result.reportPath.empty())
        question += messageText("\r\n处理报告 >> ") + utf8ToGbk(result.reportPath);
    question += messageText("\r\n\r\n是否打开该目录？");
    if (!host.ask(question) || services.openFolder(result.resultFolder)) return;
    host.tell(messageText("无法打开文件管理器。处理结果存放在这个目录里：\r\n") + folder);
}

}  // namespace

RunResult runPreview(const RunOptions& options, RunHost& host, RunServices& services,
                     PreviewRequest& request) {
    RunResult result;
    const std::unique_ptr<ArticleRun> run = prepareRun(options, host, services, request.seed);
    if (!run) {
        result.status = RunStatus::Refused;
        return result;
    }
    if (host.stopRequested()) return result;
    host.keepAlive();
    ArticleReport articleReport;
    articleReport.wantSpans = true;
    processArticle(options.article, *run, request.title, request.content, &articleReport);
    std::vector<std::string> told;
    report(host, articleReport.failures, told);
    report(host, articleReport.problems, told);
    ++result.processed;
    result.items = articleReport.items;
    PreviewItems items;
    items.mode = options.article.mode;
    items.count = articleReport.items;
    items.title = std::move(articleReport.titleSpans);
    items.content = std::move(articleReport.contentSpans);
    host.showPreview(request.title, request.content, items);
    return result;
}

namespace {

// The batch's article loop: each input read (ahead, on helper threads when
// there are jobs for them), processed in input order, and its result placed
// and handed to the writers.
class BatchLoop {
  public:
    BatchLoop(const RunOptions& options, RunHost& host, RunServices& services,
              const BatchRequest& request, ArticleRun& run, ResultWriter& results,
              RunResult& result)
        : options_(options),
          host_(host),
          services_(services),
          request_(request),
          run_(run),
          result_(result),
          results_(results),
          itemsOf_(request.paths.size(), 0),
          firstOutcome_(result.outcomes.size()),
          keepKeywordItems_(wantsReport(options, request)) {
        for (const std::string& path : request.paths)
            result_.outcomes.push_back({path, {}, {}, 0, {}});
    }

    void run() {
        // One job runs everything on this thread; each further job is a
        // helper thread that writes results and reads articles ahead.
        const unsigned helpers = request_.jobs > 1 ? request_.jobs - 1 : 0;
        BatchFiles files(services_, request_.paths, options_.inputEncoding, helpers,
                         keepAliveOf(host_));
        const int count = static_cast<int>(request_.paths.size());
        host_.progress(count, 0);
        result_.total = count;
        int submitted = 0;
        for (int i = 1; i <= count; ++i) {
            if (host_.stopRequested()) {
                result_.stopped = true;
                break;
            }
            result_.attempted = i;
            host_.keepAlive();
            reportWriteFailures(files);
            if (article(static_cast<std::size_t>(i - 1), count, files)) ++submitted;
        }
        files.finish();
        reportWriteFailures(files);
        // The inputs a stop left untaken have no result either.
        for (auto i = static_cast<std::size_t>(result_.attempted); i < request_.paths.size(); ++i)
            outcome(i).reason = "处理已停止，未处理";
        result_.succeeded = submitted - writeFailures_;
        result_.items = submittedItems_ - failedItems_;
        // Failures are listed in input order, however the threads met them.
        std::stable_sort(failures_.begin(), failures_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& failure : failures_)
            result_.failures.push_back(std::move(failure.second));
    }

  private:
    // Runs article `index`; true when its result went to the writers.
    bool article(std::size_t index, int count, BatchFiles& files) {
        const std::string& path = request_.paths[index];
        std::string title = services_.titleOf(path);
        host_.progress(count, static_cast<int>(index) + 1);
        host_.status(progressLine(count, static_cast<int>(index) + 1, title));
        ArticleFile input = files.take(index);
        if (!input.error.empty()) {
            fail(index, path, std::move(input.error));
            return false;
        }
        ArticleReport articleReport;
        processArticle(options_.article, run_, title, input.text, &articleReport, pagePath(index));
        report(host_, articleReport.problems, told_);
        ++result_.processed;
        if (!articleReport.failures.empty()) {
            // Its text is not what the options ask for: it fails, told for
            // every article that meets the pattern, and writes nothing.
            std::string reason;
            for (const std::string& failure : articleReport.failures)
                reason += (reason.empty() ? "" : "；") + failure;
            fail(index, path, std::move(reason));
            return false;
        }
        std::string error;
        std::optional<std::string> target =
            results_.place(index, title, options_.newExtension, error);
        if (!target) {
            fail(index, path, std::move(error));
            return false;
        }
        const TextEncoding encoding = options_.outputEncoding == TextEncoding::Detect
                                          ? input.encoding
                                          : options_.outputEncoding;
        InputOutcome& done = outcome(index);
        done.resultPath = *target;
        done.items = articleReport.items;
        if (keepKeywordItems_) done.keywordItems = std::move(articleReport.keywordItems);
        files.submit({index,
                      path,
                      std::move(*target),
                      std::move(input.text),
                      {encoding, input.lineBreaks, input.encoding, input.compressed}});
        itemsOf_[index] = articleReport.items;
        submittedItems_ += articleReport.items;
        return true;
    }

    // The input's path on its site: as listed, or its name.
    std::string_view pagePath(std::size_t index) const {
        if (index < request_.relativePaths.size() && !request_.relativePaths[index].empty())
            return request_.relativePaths[index];
        return namePart(request_.paths[index]);
    }

    void fail(std::size_t index, const std::string& path, std::string reason) {
        host_.failed(path, reason);
        // A result that could not be written is no result.
        outcome(index) = {path, {}, reason, 0, {}};
        failures_.emplace_back(index, RunFailure{path, std::move(reason)});
    }

    InputOutcome& outcome(std::size_t index) { return result_.outcomes[firstOutcome_ + index]; }

    void reportWriteFailures(BatchFiles& files) {
        for (WriteFailure& failure : files.takeFailures()) {
            ++writeFailures_;
            if (failure.index < itemsOf_.size()) failedItems_ += itemsOf_[failure.index];
            fail(failure.index, failure.inputPath, std::move(failure.reason));
        }
    }

    const RunOptions& options_;
    RunHost& host_;
    RunServices& services_;
    const BatchRequest& request_;
    ArticleRun& run_;
    RunResult& result_;
    ResultWriter& results_;
    std::vector<std::string> told_;
    std::vector<std::pair<std::size_t, RunFailure>> failures_;
    int writeFailures_ = 0;
    std::vector<int> itemsOf_;  // the items of each input's result, once submitted
    long long submittedItems_ = 0;
    long long failedItems_ = 0;
    std::size_t firstOutcome_;  // the outcome of the first input; listing failures come before
    bool keepKeywordItems_;
};

// Writes the report the run asks for after its last result: at the request's
// path, or in the result folder; a report that cannot be written, or would
// replace an input or a result, is a failure of the run.
void writeReport(const BatchRequest& request, RunHost& host, RunServices& services,
                 ResultWriter& results, RunResult& result) {
    std::string path = request.reportPath;
    std::string error;
    if (path.empty()) {
        if (results.folder().empty()) {
            error = "没有结果文件夹";
        } else if (std::optional<std::string> placed =
                       results.placeReport(result.outcomes, error)) {
            path = std::move(*placed);
        }
    } else if (replacesRunFile(services, path, request.paths, result.outcomes)) {
        error = "这是本次处理的输入文件或结果文件，不能用来写报告";
    }
    if (error.empty() && services.writeReport(path, result.outcomes, error)) {
        result.reportPath = std::move(path);
        return;
    }
    if (error.empty()) error = "无法写入";
    if (path.empty()) path = results.folder() + kReportName;
    host.failed(path, error);
    result.reportError = std::move(error);
}

}  // namespace

RunResult runBatch(const RunOptions& options, RunHost& host, RunServices& services,
                   const BatchRequest& request) {
    RunResult result;
    const std::int64_t start = tickCount();
    if (request.paths.empty() && request.listingFailures.empty()) {
        result.status = RunStatus::NoInput;
        return result;
    }
    // Keywords first: a refused run leaves nothing behind.
    const std::unique_ptr<ArticleRun> run = prepareRun(options, host, services, request.seed);
    if (!run) {
        result.status = RunStatus::Refused;
        return result;
    }
    host.busy(true);
    for (const RunFailure& failure : request.listingFailures) {
        host.failed(failure.path, failure.reason);
        result.failures.push_back(failure);
        result.outcomes.push_back({failure.path, {}, failure.reason, 0, {}});
    }
    result.resultFolder = !request.resultFolder.empty() || request.paths.empty()
                              ? request.resultFolder
                              : services.resultFolder(request.paths.front());
    ResultWriter results(services, result.resultFolder, request);
    if (!request.paths.empty())
        BatchLoop(options, host, services, request, *run, results, result).run();
    if (wantsReport(options, request)) writeReport(request, host, services, results, result);
    finishBatch(result, host, services, request, options.article.mode, start);
    host.busy(false);
    host.progress(0, 0);
    return result;
}

}  // namespace lct
