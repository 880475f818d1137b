#pragma once
// Where a batch puts its results, and how titles and file names meet: titles
// are GBK texts of the engine, file names on disk are UTF-8.

#include <string>
#include <string_view>

namespace lct {

/// The name of the folder that receives a batch's results (UTF-8).
inline constexpr std::string_view kResultFolderName = "关键词插入结果";

/// The result folder of a batch whose first input is `firstInputPath`: the
/// input's folder + "/关键词插入结果/" (so "/a.txt" gives "/关键词插入结果/"),
/// or "./关键词插入结果/" for a bare file name. Always ends with "/".
std::string resultFolderOf(std::string_view firstInputPath);

/// The article title of an input file: its base name (baseNameOfPath) as GBK
/// text. A name that is valid UTF-8 is converted; one that is not (typically
/// GBK bytes unpacked from an archive) is taken as GBK as it is.
std::string titleOfPath(std::string_view path);

/// The UTF-8 file name of a result: the processed GBK title, then "." and the
/// extension: `gbkNewExtension` when not empty, else the input's own; without
/// an extension the name has no trailing dot. The title is made safe: "/" and
/// control characters become "_"; an empty title falls back to the input's
/// base name, then to "无标题"; the names "." and ".." get a "_" in front;
/// a name longer than 255 bytes loses the end of its title at a character
/// boundary (an extension beyond 128 bytes is cut too). A `copy` above 1 puts
/// " (copy)" after the (cut) title, so that every copy number gives a name of
/// its own.
std::string resultFileName(std::string_view gbkTitle, std::string_view gbkNewExtension,
                           std::string_view inputPath, int copy = 1);

/// `resultFolder` (a "/" is added when missing) + resultFileName.
std::string resultFilePath(std::string_view resultFolder, std::string_view gbkTitle,
                           std::string_view gbkNewExtension, std::string_view inputPath,
                           int copy = 1);

/// The path of a result that keeps its input's place: `resultFolder` (a "/"
/// is added when missing) + `relativePath`, the input's path relative to the
/// folder it was listed from ("/" separators), its bytes kept as they are.
/// Empty and "." levels are dropped, and a ".." level becomes "_..", so that
/// the path never leaves the result folder. The name keeps its own extension
/// unless `gbkNewExtension` is given (cut at 128 bytes, "/" and control
/// characters as "_"); a `copy` above 1 puts " (copy)" before the extension,
/// cutting the name at a character boundary to stay within 255 bytes.
std::string resultFilePathAt(std::string_view resultFolder, std::string_view relativePath,
                             std::string_view gbkNewExtension, int copy = 1);

}  // namespace lct
