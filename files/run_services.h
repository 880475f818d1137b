#pragma once
// The file services of a run, over the text file codec and the path helpers:
// what the run driver (engine/run_driver.h) needs of the disk.

#include <map>
#include <mutex>
#include <string>

#include "engine/run_driver.h"
#include "platform/unique_fd.h"

namespace lct {

/// One object serves one run: it holds the result folders open, so that
/// results go into the folder that was checked, whatever its path names
/// later, and clears each of the temporary files that killed runs left. A
/// result below a result folder is written through the folders between,
/// each opened from the one above it and never through a symbolic link. read
/// and write may run on several threads at once.
class FileRunServices final : public RunServices {
  public:
    bool isFile(std::string_view path) override;
    ArticleFile read(std::string_view path, TextEncoding requested,
                     const KeepAlive& keepAlive) override;
    std::uint64_t sizeOf(std::string_view path) override;
    [[nodiscard]] bool write(std::string_view path, std::string_view text,
                             const ResultFormat& format, std::string& error) override;
    [[nodiscard]] bool createResultFolder(std::string_view folder, bool& created,
                                          std::string& error) override;
    bool isFolder(std::string_view path) override;
    std::string fileIdentity(std::string_view path, bool followLinks) override;
    std::string resultFolder(std::string_view firstPath) override;
    std::string titleOf(std::string_view path) override;
    std::string resultPath(std::string_view folder, std::string_view gbkTitle,
                           std::string_view gbkNewExtension, std::string_view inputPath,
                           int copy) override;
    std::string resultPathAt(std::string_view folder, std::string_view relativePath,
                             std::string_view gbkNewExtension, int copy) override;
    std::string elapsedText(std::int64_t milliseconds) override;
    bool openFolder(std::string_view folder) override;
    /// A path inside a result folder of the run is written through the
    /// folder held open, as results are (a link there is replaced); any other
    /// as a program's output: a regular file through a temporary file renamed
    /// over it (a link there keeps pointing at it), a device or a FIFO
    /// directly.
    [[nodiscard]] bool writeReport(std::string_view path, const std::vector<InputOutcome>& outcomes,
                                   std::string& error) override;

  private:
    // The descriptor of the result folder that holds `path` at some depth,
    // and the part of `path` below it; -1 when no result folder made holds it.
    int resultFolderFd(std::string_view path, std::string_view& below);

    std::mutex mutex_;  // write runs on a batch's helper threads
    std::map<std::string, UniqueFd, std::less<>> resultFolders_;
};

}  // namespace lct
