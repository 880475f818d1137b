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

#include "app/form.h"

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
    /// that failed, a file that could not be written); UTF-8 for people.
    virtual void problem(std::string_view text) = 0;
};

/// An article file as read, with what writing its result needs.
struct ArticleFile {
    std::string text;    ///< GBK, CR LF
    int encoding = 0;    ///< the detected encoding (a TextEncoding value); 0 when unreadable
    int lineBreaks = 0;  ///< the file's line-break style, handed back when writing
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
    /// Reads a file with the requested encoding (0 detects).
    virtual ArticleFile read(std::string_view path, int requestedEncoding) = 0;
    /// Writes a result through a temporary file; false when it failed.
    virtual bool write(std::string_view path, std::string_view text, int encoding,
                       int lineBreaks) = 0;
    /// Creates a folder with every missing level; false when it failed.
    virtual bool createFolder(std::string_view folder) = 0;
    /// The result folder of a batch whose first input is `firstPath`.
    virtual std::string resultFolder(std::string_view firstPath) = 0;
    /// The GBK title of an input file (its base name).
    virtual std::string titleOf(std::string_view path) = 0;
    /// The path of the result of an input: result folder + title + "." +
    /// (new extension, or the input's own when that is empty).
    virtual std::string resultPath(std::string_view folder, std::string_view gbkTitle,
                                   std::string_view gbkNewExtension,
                                   std::string_view inputPath) = 0;
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

struct RunResult {
    RunStatus status = RunStatus::Completed;
    int succeeded = 0;         ///< result files written
    int processed = 0;         ///< articles run through the pipeline
    std::string resultFolder;  ///< batch only
    std::string summary;       ///< batch only: the status line shown at the end (GBK)
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
RunResult runArticles(Form& form, RunHost& host, RunServices& services, RunRequest& request);

}  // namespace lct
