#pragma once
// File I/O over POSIX calls: read-all and write-all loops, whole-file reading,
// safe whole-file writing, and the temporary files such writes leave behind
// when killed. Paths are native UTF-8 paths with "/" as separator. Where an
// operation fails, `error` (when given) receives the reason as UTF-8 text for
// people.

#include <fcntl.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace lct {

/// True when something (a file or a folder) exists at `path`; symbolic links
/// are followed. False for an empty path.
bool pathExists(std::string_view path);

/// All bytes of the regular file at `path` (symbolic links followed). nullopt
/// when the path is empty or missing, is a dangling link or a link loop, names
/// something other than a regular file (a folder, a pipe, a socket, a device:
/// such a path is refused before it is opened, since opening it could block,
/// never end or have side effects), or cannot be read.
[[nodiscard]] std::optional<std::string> readWholeFile(std::string_view path,
                                                       std::string* error = nullptr);

/// Replaces `out` by every byte from the current offset of `fd` to its end,
/// continuing after interrupted reads. `size`, when known (a regular file's
/// size from fstat), lets the bytes be read straight into `out` and the read
/// stop there; 0 asks fstat for it, and reads to the end when it tells
/// nothing. False, with errno set and `out` emptied, when a read fails.
[[nodiscard]] bool readAll(int fd, std::string& out, std::size_t size = 0);

/// Writes all of `bytes` to `fd`, continuing after partial and interrupted
/// writes. False, with errno set (EIO when the system wrote nothing and gave
/// no reason), when a write fails; part of the bytes may have been written.
[[nodiscard]] bool writeAll(int fd, std::string_view bytes);

/// The file that a symbolic link at `path` names (its real path, links
/// resolved), so that a replacement changes that file and keeps the link;
/// `path` itself when it is no link or the link cannot be resolved.
std::string resolvedPath(const std::string& path);

/// A new file beside a target path that takes the target's name only when it
/// is committed, so that the target shows either its old content or the new
/// one, never a mixture. The temporary file is created in the target's folder
/// under a name that isTemporaryFileName knows, with mode 0666 less the
/// umask; the steps below fill and prepare it, and commit renames it over the
/// target (a symbolic link at the target is replaced, not followed: pass
/// resolvedPath(target) to keep it).
///
/// The steps stop at the first failure: that step and every later one return
/// false and do nothing more, failure() keeps the errno of the one that
/// failed, and the temporary file is removed. It is also removed when the
/// object goes away uncommitted. Neither copyable nor movable: it owns a name
/// on the disk.
class ReplacementFile {
  public:
    /// Creates the temporary file beside `target`; an empty target fails
    /// with ENOENT.
    explicit ReplacementFile(std::string_view target);
    /// The same for the entry `name` (no "/") of the folder open as `folder`:
    /// the temporary file is made in that folder and renamed there, whatever
    /// its path has come to name since it was opened.
    ReplacementFile(int folder, std::string_view name);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    /// True while no step has failed.
    bool ok() const { return failure_ == 0; }
    /// The errno of the step that failed; 0 while none has.
    int failure() const { return failure_; }
    /// The temporary file's descriptor, open for writing until commit; -1
    /// after a failure.
    int fd() const { return fd_.get(); }

    /// Appends `bytes` to the file.
    [[nodiscard]] bool write(std::string_view bytes);
    /// Gives the file the permission bits of `mode`.
    [[nodiscard]] bool setPermissions(mode_t mode);
    /// Waits until the file's bytes are on the disk.
    [[nodiscard]] bool sync();
    /// Takes an exclusive advisory lock (flock) on the file, without waiting:
    /// the file is new, so nobody else can hold it yet.
    [[nodiscard]] bool lock();
    /// Closes the file (a failed close, the last sign of a failed write,
    /// fails the commit) and renames it over the target.
    [[nodiscard]] bool commit();
    /// Renames the file over the target and hands its open descriptor, with
    /// any lock taken, to `held`, which closes what it held before. `held` is
    /// left as it was when the commit fails.
    [[nodiscard]] bool commitAndKeep(UniqueFd& held);

  private:
    bool fail(int error);
    void create();

    int folder_ = AT_FDCWD;  // the folder that target_ and temporary_ are relative to
    std::string target_;
    std::string temporary_;
    UniqueFd fd_;
    int failure_ = 0;
    bool committed_ = false;
};

/// Waits until the entries of the folder that holds `path` (such as the name
/// a rename just gave) are on the disk. False, with errno set, when the folder
/// cannot be opened or synced.
[[nodiscard]] bool syncFolderOf(std::string_view path);

/// Whether a write waits until its bytes are on the disk before the rename.
enum class Durability {
    Synced,  ///< for files that replace what the user has (settings, a tool's output)
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
/// one, never a mixture. With LinkTarget::Follow an existing regular file keeps
/// its permission bits; a replaced link (results) gets the default ones.
/// Returns false, leaving everything as it was, when the path is empty or
/// names a folder or when any step fails (no temporary file stays behind).
[[nodiscard]] bool writeFileAtomically(std::string_view path, std::string_view bytes,
                                       Durability durability = Durability::Synced,
                                       LinkTarget links = LinkTarget::Follow,
                                       std::string* error = nullptr);

/// Writes `bytes` as a program's output to `path`. A regular file, or a path
/// where nothing is yet, gets them as writeFileAtomically with
/// LinkTarget::Follow does (a link's file gets the content, flushed to disk).
/// A character device, a FIFO or a terminal (/dev/null, /dev/stdout, a pipe
/// with a reader) is opened and written directly, never replaced; a FIFO waits
/// for its reader. Anything else (a folder, a socket, a block device) is
/// refused. False, with the reason in `error`, when it was not written whole.
[[nodiscard]] bool writeProgramOutput(std::string_view path, std::string_view bytes,
                                      std::string* error = nullptr);

/// Makes `bytes` the whole content of the entry `name` (no "/") of the folder
/// open as `folder`, through a temporary file in that folder renamed over it
/// (a symbolic link there is replaced, not followed). As writeFileAtomically
/// with LinkTarget::Replace otherwise.
[[nodiscard]] bool writeFileInFolder(int folder, std::string_view name, std::string_view bytes,
                                     Durability durability, std::string* error = nullptr);

/// Opens the folder at `path` to write into it, creating it (this level only)
/// when missing; `created` tells whether it is new. The last level is never a
/// symbolic link that is followed: a link there, or anything else than a
/// folder, fails with the reason in `error`.
[[nodiscard]] UniqueFd openWritableFolder(std::string_view path, bool& created,
                                          std::string* error = nullptr);

/// The same for the entry `name` (no "/") of the folder open as `parent`
/// (AT_FDCWD: the current folder), whatever the path of `parent` has come to
/// name since it was opened.
[[nodiscard]] UniqueFd openWritableFolderAt(int parent, std::string_view name, bool& created,
                                            std::string* error = nullptr);

/// True for the name of a temporary file of a ReplacementFile (".lct-" …
/// ".tmp", the machine, process and counter between); such files are never
/// articles.
bool isTemporaryFileName(std::string_view name);

/// Removes the temporary files in `folder` that a ReplacementFile of this
/// program left behind when it was killed: those of a process of this machine that no
/// longer runs, and any older than a day. Returns how many were removed.
int removeStaleTemporaryFiles(std::string_view folder);
/// The same in the folder open as `folder`.
int removeStaleTemporaryFiles(int folder);

}  // namespace lct
