#pragma once
// Whole-file reading and safe whole-file writing. Paths are native UTF-8
// paths with "/" as separator.

#include <optional>
#include <string>
#include <string_view>

namespace lct {

/// True when something (a file or a folder) exists at `path`; symbolic links
/// are followed. False for an empty path.
bool PathExists(std::string_view path);

/// All bytes of the regular file at `path` (symbolic links followed). nullopt
/// when the path is empty or missing, names something other than a regular
/// file (a folder, a pipe, a device: reading those could block or never end),
/// or cannot be read.
std::optional<std::string> ReadWholeFile(std::string_view path);

/// Whether a write waits until its bytes are on the disk before the rename.
enum class Durability {
    Synced,  ///< for files that replace what the user has (a decompressed input)
    Cached,  ///< for results that a batch can make again: no wait per file
};

/// Makes `bytes` the whole content of the file at `path`: they are written to
/// a new temporary file in the same folder (flushed to disk when Synced) and
/// renamed over the path, so the path shows either its old content or the new
/// one, never a mixture. An existing file keeps its permission bits; a
/// symbolic link keeps pointing where it did and its target gets the content.
/// Returns false, leaving everything as it was, when the path is empty or
/// names a folder or when any step fails.
bool WriteFileAtomically(std::string_view path, std::string_view bytes,
                         Durability durability = Durability::Synced);

}  // namespace lct
