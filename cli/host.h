#pragma once
// The command line's side of a run: messages and problems on standard error,
// batch progress as a bar on a terminal or one status line per file.

#include <chrono>
#include <string>
#include <string_view>

#include "engine/run_driver.h"

namespace lct::cli {

class CliHost final : public RunHost {
  public:
    /// `terminal`: standard error is a terminal, so progress draws a bar.
    explicit CliHost(bool terminal) : terminal_(terminal) {}
    ~CliHost() override { finishProgress(); }
    CliHost(const CliHost&) = delete;
    CliHost& operator=(const CliHost&) = delete;

    void tell(std::string_view text) override;
    /// The command line never asks: every question is answered no.
    bool ask(std::string_view question) override;
    void focusKeywordList() override {}
    void busy(bool) override {}
    void status(std::string_view text) override;
    void progress(int range, int position) override;
    /// The command line prints the preview itself.
    void showPreview(std::string_view, std::string_view, const PreviewItems&) override {}
    bool stopRequested() override { return false; }
    void problem(std::string_view text) override;
    void failed(std::string_view path, std::string_view reason) override;

    /// Ends a progress bar line, if one is drawn, and writes the status lines
    /// still held (see status).
    void finishProgress();

  private:
    void writeHeldLines();

    bool terminal_;
    // Status lines for a file or a pipe, written together a few times a
    // second rather than one write per article.
    std::string heldLines_;
    std::chrono::steady_clock::time_point lastWrite_{};
    int range_ = 0;
    int position_ = 0;
    bool barDrawn_ = false;
};

/// Writes UTF-8 text to standard error, with a line break after it.
void printError(std::string_view utf8);

/// The exit statuses of lancitong-cli (see usageText): done; a run refused
/// (as the window would have refused it); a usage error; files that failed
/// or an output that could not be written.
inline constexpr int kDoneStatus = 0;
inline constexpr int kRefusedStatus = 1;
inline constexpr int kUsageStatus = 2;
inline constexpr int kFailuresStatus = 3;

/// Prints a usage error and where to read the usage; returns kUsageStatus.
int usageError(std::string_view message);

/// `text` safe to show on a terminal: control characters (C0, DEL and C1,
/// which could start an escape sequence or break the line) and bytes that are
/// not UTF-8 are written as \xHH; everything else stays as it is.
std::string terminalSafe(std::string_view text);

}  // namespace lct::cli
