#pragma once
// The run driver: the one routine behind the preview button and the batch
// buttons. It prepares the run (patterns, keywords or a keyword file,
// templates, pickers), loops over the articles (the preview article, or one
// article per input file), lets the pipeline process each, and shows the
// preview result in the form or writes one result file per input into the
// result folder beside the first input. A stop request is honoured between
// articles. The caller (main window or command line) is reached through
// RunHost; files through RunServices, so that the engine needs no codec.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/form.h"

namespace lct {

/// How the driver talks to its caller. Texts are GBK.
class RunHost {
  public:
    virtual ~RunHost() = default;
    /// A message box; returns the button pressed.
    virtual MessageAnswer message(std::string_view text, MessageButtons buttons,
                                  MessageIcon icon) = 0;
    /// The status line of a batch ("(20:3) 新闻", the summary).
    virtual void status(std::string_view text) = 0;
    /// Progress of a batch: `position` of `range` articles; range 0 hides it.
    virtual void progress(int range, int position) = 0;
    /// Puts the keyboard focus on a control of the main window.
    virtual void focus(std::string_view controlName) = 0;
    /// True once the user asked the run to stop; read before each article.
    virtual bool stopRequested() = 0;
    /// A problem with one article that did not stop the run (a user pattern
    /// that failed, a count that was capped); UTF-8 for people.
    virtual void problem(std::string_view text) = 0;
    /// A batch input that failed, as it happens: it could not be read, or its
    /// result could not be written. `path` as given, `reason` UTF-8.
    virtual void failed(std::string_view path, std::string_view reason) = 0;
};

/// An article file as read, with what writing its result needs.
struct ArticleFile {
    std::string text;    ///< GBK, CR LF
    int encoding = 0;    ///< the detected encoding (a TextEncoding value); 0 when unreadable
    int lineBreaks = 0;  ///< the file's line-break style, handed back when writing
    std::string error;   ///< why the file could not be read (UTF-8); empty when it was
};

/// The file and folder services a run needs (reading and writing article
/// files, result locations, elapsed-time text, opening a folder). Paths are
/// native (UTF-8); titles and extensions are GBK.
class RunServices {
  public:
    virtual ~RunServices() = default;
    /// True when `path` names a regular file (a folder named like a keyword is
    /// no keyword file).
    virtual bool isFile(std::string_view path) = 0;
    /// Reads a file with the requested encoding (0 detects). A gzip file is
    /// replaced on disk by its decompressed form only when `replaceGzip`
    /// (batch inputs); otherwise it is decompressed in memory. An unreadable
    /// path gives encoding 0 and the reason in `error`.
    virtual ArticleFile read(std::string_view path, int requestedEncoding, bool replaceGzip) = 0;
    /// Writes a result through a temporary file, replacing a symbolic link at
    /// the path instead of following it; false, with the reason in `error`,
    /// when it failed.
    virtual bool write(std::string_view path, std::string_view text, int encoding, int lineBreaks,
                       std::string& error) = 0;
    /// Makes sure the result folder exists. Only the folder itself is
    /// created: the folder it lies in must exist. `created` tells whether it
    /// is new (so that no input can lie inside it). False, with the reason in
    /// `error`, when it cannot be made.
    virtual bool createResultFolder(std::string_view folder, bool& created, std::string& error) = 0;
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
    /// A duration for people, such as "1.5 秒" (GBK).
    virtual std::string elapsedText(std::int64_t milliseconds) = 0;
    /// Opens a folder in the desktop's file browser without waiting.
    virtual void openFolder(std::string_view folder) = 0;
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
    std::vector<RunFailure> failures;  ///< batch inputs not read or whose result was not written
    std::string resultFolder;          ///< batch only
    std::string summary;               ///< batch only: the status line shown at the end (GBK)
};

struct RunRequest {
    std::vector<std::string> paths;  ///< batch inputs; empty for the preview
    bool batch = false;
    std::string title;    ///< preview: in and out
    std::string content;  ///< preview: in and out
    std::optional<std::uint64_t> seed;
    /// Whether a finished batch asks to open its result folder (the command
    /// line asks nothing).
    bool offerToOpenFolder = true;
};

/// Runs the preview (batch false: the title and content of `request` go
/// through the pipeline and come back processed, and the form's result boxes
/// show them) or a batch over `request.paths`. Options are read from `form`,
/// the main window.
///
/// A batch never writes where it must not: an input that cannot be read
/// writes nothing and counts as a failure; the result folder is made only
/// when the first result is written; two results of one run never share a
/// name, and no result replaces an input of the run (the later one gets a
/// distinct name instead). Every failure is told to the host as it happens,
/// listed in the result and counted in the summary.
RunResult runArticles(Form& form, RunHost& host, RunServices& services, RunRequest& request);

}  // namespace lct
