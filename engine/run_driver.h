#pragma once
// The run driver: what the preview button and the batch buttons run.
//
//   RunOptions (read from the main window by app/, or set by the command line)
//      │
//      ▼
//   prepareRun ── keywords (or the keyword file the list names), templates,
//      │          the pipeline's run state; refuses an empty keyword list
//      ├──► runPreview: one article in, processed title and content out
//      └──► runBatch:   per input file: read → processArticle → write the
//                       result beside the first input; failures counted
//
// The driver knows no window: it talks to its caller through RunHost
// (messages, status, progress, busy state, the preview's result, and the
// window's turn to handle its events during long work) and to the disk
// through RunServices, so the engine needs neither a toolkit nor a codec.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/article_file.h"
#include "engine/article_options.h"
#include "engine/keep_alive.h"

namespace lct {

/// Everything a run reads of the main window's options.
struct RunOptions {
    ArticleOptions article;
    TextEncoding inputEncoding = TextEncoding::Detect;  ///< 组合框输入编码
    TextEncoding outputEncoding =
        TextEncoding::Detect;  ///< 组合框输出编码: Detect keeps the input's
    std::string newExtension;  ///< 编辑框新文件扩展名 (GBK); empty keeps each input's own
    /// 选择框生成报告: a batch writes its report into its result folder as
    /// 处理报告.csv (unless its request names another file).
    bool reportInResultFolder = false;
};

/// The items that a preview's run put into its article (inserted in insert
/// mode, replaced in replace-existing mode; none in shuffle-replace mode), for
/// the window to paint: byte ranges [begin, end) of the shown title and
/// content, in text order.
struct PreviewItems {
    PipelineMode mode = PipelineMode::Insert;
    int count = 0;  ///< items in all, title and content
    std::vector<std::pair<std::size_t, std::size_t>> title;
    std::vector<std::pair<std::size_t, std::size_t>> content;
};

/// What became of one input of a batch: the row of the batch's report.
struct InputOutcome {
    std::string path;        ///< as given (a folder that could not be listed included)
    std::string resultPath;  ///< the result written; empty when none was
    std::string reason;      ///< why it failed (UTF-8); empty when its result was written
    int items = 0;           ///< the items its result holds
    /// Each GBK keyword and the items made from it, in first-use order (see
    /// ArticleReport::keywordItems); kept only when the batch writes a report,
    /// since a large keyword map gives many per article.
    std::vector<std::pair<std::string, int>> keywordItems;
};

/// How the driver talks to its caller. Texts are GBK unless said otherwise.
class RunHost {
  public:
    virtual ~RunHost() = default;
    /// Tells the user something (an information box in the window).
    virtual void tell(std::string_view text) = 0;
    /// Asks a yes-or-no question; true for yes.
    virtual bool ask(std::string_view question) = 0;
    /// The keyword list was empty: the caller points the user at it.
    virtual void focusKeywordList() = 0;
    /// A batch starts (true) or has ended (false): the window locks its options
    /// and shows its progress meanwhile.
    virtual void busy(bool running) = 0;
    /// The status line of a batch ("(20:3) 新闻", the summary).
    virtual void status(std::string_view text) = 0;
    /// Progress of a batch: `position` of `range` articles; range 0 hides it.
    virtual void progress(int range, int position) = 0;
    /// The preview's processed title and content, and where its items stand.
    virtual void showPreview(std::string_view title, std::string_view content,
                             const PreviewItems& items) = 0;
    /// True once the user asked the run to stop; read before each article.
    virtual bool stopRequested() = 0;
    /// A problem with one article that did not stop the run (a count that was
    /// cut, a conversion not available; in the preview also a user pattern
    /// that failed), told once per run; UTF-8 for people.
    virtual void problem(std::string_view text) = 0;
    /// A batch input that failed, as it happens: it could not be read, a user
    /// pattern failed on it, or its result could not be written. `path` as
    /// given, `reason` UTF-8.
    virtual void failed(std::string_view path, std::string_view reason) = 0;
    /// Lets the window handle the events waiting, then returns; the run calls
    /// it once per pass of its long loops (engine/keep_alive.h), on the
    /// caller's thread only. A click handled there may ask the run to stop.
    /// Nothing by default: a caller without a window has nothing to let in.
    virtual void keepAlive() {}
};

/// The file and folder services a run needs (reading and writing article
/// files, result locations, elapsed-time text, opening a folder). Paths are
/// native (UTF-8); titles and extensions are GBK. A batch with more than one
/// job calls sizeOf, read and write from helper threads, concurrently with
/// each other and with the other methods, which are called on the caller's
/// thread only.
class RunServices {
  public:
    virtual ~RunServices() = default;
    /// True when `path` names a regular file (a folder named like a keyword is
    /// no keyword file).
    virtual bool isFile(std::string_view path) = 0;
    /// Reads a file in the requested encoding (Detect detects). A gzip file is
    /// decompressed in memory; no file is ever changed by reading it. An
    /// unreadable path gives encoding Detect and the reason in `error`. Long
    /// decoding calls `keepAlive` once per pass: the run hands its host's on
    /// the caller's thread and an empty one on the helper threads.
    virtual ArticleFile read(std::string_view path, TextEncoding requested,
                             const KeepAlive& keepAlive) = 0;
    /// The bytes of the file at `path` on disk, read without opening it; 0
    /// when unknown. A batch counts an article against what it may hold in
    /// memory by this size before reading it; like read, it may be called
    /// from helper threads.
    virtual std::uint64_t sizeOf(std::string_view /*path*/) { return 0; }
    /// Writes a result as `format` says through a temporary file, replacing a
    /// symbolic link at the path instead of following it; false, with the
    /// reason in `error`, when it failed or the text cannot be written in the
    /// format without losing characters. A path below a folder made by
    /// createResultFolder gets the folders between made as needed, inside
    /// that folder and never through a symbolic link.
    [[nodiscard]] virtual bool write(std::string_view path, std::string_view text,
                                     const ResultFormat& format, std::string& error) = 0;
    /// Makes sure the result folder exists and holds it for the run's writes.
    /// Only the folder itself is created: the folder it lies in must exist. A
    /// symbolic link in its place is never followed. `created` tells whether
    /// it is new (so that no input can lie inside it). False, with the reason
    /// in `error`, when it cannot be made or is no folder (a link included).
    [[nodiscard]] virtual bool createResultFolder(std::string_view folder, bool& created,
                                                  std::string& error) = 0;
    /// True when `path` names an existing folder.
    virtual bool isFolder(std::string_view path) = 0;
    /// Names the file at `path` (device and inode), following a symbolic link
    /// or not; empty when there is none. Equal names mean the same file.
    virtual std::string fileIdentity(std::string_view path, bool followLinks) = 0;
    /// The result folder of a batch whose first input is `firstPath`.
    virtual std::string resultFolder(std::string_view firstPath) = 0;
    /// The GBK title of an input file (its base name).
    virtual std::string titleOf(std::string_view path) = 0;
    /// The path of the result of an input: result folder + title + "." +
    /// (new extension, or the input's own when that is empty). A `copy` above
    /// 1 gives a distinct name for the same title (" (2)" after the title).
    virtual std::string resultPath(std::string_view folder, std::string_view gbkTitle,
                                   std::string_view gbkNewExtension, std::string_view inputPath,
                                   int copy) = 0;
    /// The path of the result of an input that keeps its place: result folder
    /// + the input's `relativePath` ("/" separators; its name when it has no
    /// folder), never leaving the result folder, with the new extension when
    /// given. A `copy` above 1 gives a distinct name for the same path.
    virtual std::string resultPathAt(std::string_view folder, std::string_view relativePath,
                                     std::string_view gbkNewExtension, int copy) = 0;
    /// A duration for people, such as "1.5 秒" (GBK).
    virtual std::string elapsedText(std::int64_t milliseconds) = 0;
    /// Opens a folder in the desktop's file browser without waiting; false
    /// when no file browser could be started.
    virtual bool openFolder(std::string_view folder) = 0;
    /// Writes a batch's report of `outcomes` at `path`: JSON Lines when the
    /// path ends in ".jsonl", otherwise CSV. The file shows its old content or
    /// the whole new one, never a part. False, with the reason (UTF-8) in
    /// `error`, when it could not be written.
    [[nodiscard]] virtual bool writeReport(std::string_view path,
                                           const std::vector<InputOutcome>& outcomes,
                                           std::string& error) = 0;
};

enum class RunStatus {
    Completed,  ///< every article ran, or the user stopped between articles
    Refused,    ///< an empty keyword list or keyword file: nothing was done
    NoInput,    ///< a batch without input paths: nothing was done
};

/// A batch input that failed, and why (UTF-8).
struct RunFailure {
    std::string path;
    std::string reason;
};

struct RunResult {
    RunStatus status = RunStatus::Completed;
    int succeeded = 0;                 ///< result files written
    int processed = 0;                 ///< articles run through the pipeline
    std::vector<RunFailure> failures;  ///< batch inputs that wrote no result, and why
    /// Items inserted or replaced: in the preview article, or in the result
    /// files a batch wrote (the summary says it, except in shuffle-replace mode).
    long long items = 0;
    std::string resultFolder;  ///< batch only
    std::string summary;       ///< batch only: the status line shown at the end (GBK)
    /// Batch only: the user stopped it before its last input; `attempted`
    /// inputs were taken of the batch's `total`.
    bool stopped = false;
    int attempted = 0;
    int total = 0;
    /// Batch only: one per input: first what could not be listed (a folder,
    /// or on the command line a path that is not there), then the inputs in
    /// order, those a stop left untaken included.
    std::vector<InputOutcome> outcomes;
    std::string reportPath;   ///< batch only: where its report was written; empty when none was
    std::string reportError;  ///< batch only: why the report asked for could not be written (UTF-8)
};

/// The preview's article: in, and processed out.
struct PreviewRequest {
    std::string title;    ///< GBK
    std::string content;  ///< GBK, CR LF
    std::optional<std::uint64_t> seed;
};

struct BatchRequest {
    std::vector<std::string> paths;  ///< input files, in order
    /// parallel to paths: each input's path relative to the folder it was
    /// listed from ("/" separators), or its name when it was given on its own;
    /// empty means every input's name
    std::vector<std::string> relativePaths;
    /// Each result at its input's relative path under the result folder
    /// (subfolders made as needed) and under the input's own name, instead of
    /// flat and named after the processed title.
    bool resultsAtRelativePaths = false;
    /// What listing the inputs could not take (a folder that cannot be read):
    /// failures of the run, told before the first article.
    std::vector<RunFailure> listingFailures;
    /// The result folder; empty: "关键词插入结果" beside the first path. Parts
    /// of one batch split across processes name the same folder here.
    std::string resultFolder;
    std::optional<std::uint64_t> seed;
    /// Whether a finished batch asks to open its result folder (the command
    /// line asks nothing).
    bool offerToOpenFolder = true;
    /// Threads the batch may use: 1 does everything on the caller's thread;
    /// more read and write on helper threads while the engine takes the
    /// articles in order on the caller's thread (the same results).
    unsigned jobs = 1;
    /// The file (UTF-8 path) that receives the report of every input; it
    /// never replaces an input or a result of the run. Empty: the result
    /// folder's 处理报告.csv when RunOptions::reportInResultFolder asks for
    /// one, else no report.
    std::string reportPath;
};

/// Runs the preview article through the pipeline: `request.title` and
/// `request.content` come back processed, and the host is shown them.
RunResult runPreview(const RunOptions& options, RunHost& host, RunServices& services,
                     PreviewRequest& request);

/// Runs a batch over `request.paths`: one result file per input in the
/// folder "关键词插入结果" beside the first input, then the summary.
///
/// A batch never writes where it must not: an input that cannot be read, or
/// on which a user pattern failed, writes nothing and counts as a failure;
/// the result folder is made only when the first result is written; two
/// results of one run never share a name, and no result replaces an input of
/// the run (the later one gets a distinct name instead). Every failure is told
/// to the host as it happens, listed in the result and counted in the summary.
///
/// A report, when asked for, is written after the last result, with a row for
/// every input; one that cannot be written is told to the host as a failure
/// (the report's path and the reason), named in the summary and left in
/// `reportError`, and changes no result.
RunResult runBatch(const RunOptions& options, RunHost& host, RunServices& services,
                   const BatchRequest& request);

}  // namespace lct
