#pragma once
// File I/O over POSIX calls: read-all and write-all loops, whole-file reading,
// safe whole-file writing, and the temporary files such writes leave behind
// when killed. Paths are native UTF-8 paths with "/" as separator. Where an
// operation fails, `error` (when given) receives the reason as UTF-8 text for
// people.

#include <optional>
#include <string>
#include <string_view>

namespace lct {

/// True when something (a file or a folder) exists at `path`; symbolic links
/// are followed. False for an empty path.
bool pathExists(std::string_view path);

/// All bytes of the regular file at `path` (symbolic links followed). nullopt
/// when the path is empty or missing, is a dangling link or a link loop, names
/// something other than a regular file (a folder, a pipe, a socket, a device:
/// such a path is refused before it is opened, since opening it could block,
/// never end or have side effects), or cannot be read.
std::optional<std::string> readWholeFile(std::string_view path, std::string* error = nullptr);

/// Replaces `out` by every byte from the current offset of `fd` to its end,
/// continuing after interrupted reads. False, with errno set and `out`
/// emptied, when a read fails.
[[nodiscard]] bool readAll(int fd, std::string& out);

/// Writes all of `bytes` to `fd`, continuing after partial and interrupted
/// writes. False, with errno set (EIO when the system wrote nothing and gave
/// no reason), when a write fails; part of the bytes may have been written.
[[nodiscard]] bool writeAll(int fd, std::string_view bytes);

/// Whether a write waits until its bytes are on the disk before the rename.
enum class Durability {
    Synced,  ///< for files that replace what the user has (a decompressed input)
    Cached,  ///< for results that a batch can make again: no wait per file
};

/// What a write does with a symbolic link at the target path.
enum class LinkTarget {
    Follow,   ///< the link stays and the file it points to gets the content
    Replace,  ///< the link itself is replaced by the new file (results)
};

/// Makes `bytes` the whole content of the file at `path`: they are written to
/// a new temporary file in the same folder (flushed to disk when Synced) and
/// renamed over the path, so the path shows either its old content or the new
/// one, never a mixture. An existing regular file keeps its permission bits.
/// Returns false, leaving everything as it was, when the path is empty or
/// names a folder or when any step fails (no temporary file stays behind).
bool writeFileAtomically(std::string_view path, std::string_view bytes,
                         Durability durability = Durability::Synced,
                         LinkTarget links = LinkTarget::Follow, std::string* error = nullptr);

/// True for the name of a temporary file that writeFileAtomically makes
/// (".lct-" … ".tmp"); such files are never articles.
bool isTemporaryFileName(std::string_view name);

/// Removes the temporary files in `folder` that a write of this program left
/// behind when it was killed: those of a process of this machine that no
/// longer runs, and any older than a day. Returns how many were removed.
int removeStaleTemporaryFiles(std::string_view folder);

}  // namespace lct
