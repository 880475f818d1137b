#pragma once
// The file services of a run, over the text file codec and the path helpers:
// what the run driver (engine/run_driver.h) needs of the disk.

#include "engine/run_driver.h"

namespace lct {

class FileRunServices final : public RunServices {
  public:
    bool isFile(std::string_view path) override;
    ArticleFile read(std::string_view path, int requestedEncoding) override;
    bool write(std::string_view path, std::string_view text, int encoding, int lineBreaks) override;
    bool createFolder(std::string_view folder) override;
    std::string resultFolder(std::string_view firstPath) override;
    std::string titleOf(std::string_view path) override;
    std::string resultPath(std::string_view folder, std::string_view gbkTitle,
                           std::string_view gbkNewExtension, std::string_view inputPath) override;
    std::string elapsedText(std::int64_t milliseconds) override;
    void openFolder(std::string_view folder) override;
};

}  // namespace lct
