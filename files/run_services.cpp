#include "files/run_services.h"

#include <filesystem>
#include <system_error>

#include "files/elapsed.h"
#include "files/file_io.h"
#include "files/paths.h"
#include "files/result_location.h"
#include "files/shell.h"
#include "files/text_file.h"

namespace lct {

bool FileRunServices::isFile(std::string_view path) {
    std::error_code error;
    return !path.empty() &&
           std::filesystem::is_regular_file(std::filesystem::path(std::string(path)), error);
}

ArticleFile FileRunServices::read(std::string_view path, int requestedEncoding) {
    TextFile file = ReadTextFile(path, EncodingFromIndex(requestedEncoding));
    return {std::move(file.text), static_cast<int>(file.detected),
            static_cast<int>(file.lineBreaks)};
}

bool FileRunServices::write(std::string_view path, std::string_view text, int encoding,
                            int lineBreaks) {
    const LineBreaks style =
        lineBreaks == static_cast<int>(LineBreaks::Lf) ? LineBreaks::Lf : LineBreaks::CrLf;
    return WriteTextFile(path, text, EncodingFromIndex(encoding), style);
}

bool FileRunServices::createFolder(std::string_view folder) {
    return CreateFolderPath(folder);
}

std::string FileRunServices::resultFolder(std::string_view firstPath) {
    return ResultFolderOf(firstPath);
}

std::string FileRunServices::titleOf(std::string_view path) {
    return TitleOfPath(path);
}

std::string FileRunServices::resultPath(std::string_view folder, std::string_view gbkTitle,
                                        std::string_view gbkNewExtension,
                                        std::string_view inputPath) {
    return ResultFilePath(folder, gbkTitle, gbkNewExtension, inputPath);
}

std::string FileRunServices::elapsedText(std::int64_t milliseconds) {
    return ElapsedText(milliseconds);
}

void FileRunServices::openFolder(std::string_view folder) {
    OpenFolderInShell(folder);
}

}  // namespace lct
