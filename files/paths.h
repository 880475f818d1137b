#pragma once
// Path rules and folder services for batches. Paths are native UTF-8 paths
// with "/" as separator; neither "/" nor "." is ever part of a multi-byte
// UTF-8 character, so the rules work on the bytes.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/keep_alive.h"
#include "engine/run_driver.h"

namespace lct {

/// The text before the last "/" ("/" itself excluded); empty when the path
/// has none (and for a file right under the root, "/a").
std::string folderOfPath(std::string_view path);

/// The name after the last "/" (the whole path when there is none), cut before
/// its last "."; the whole name when it has no ".".
std::string baseNameOfPath(std::string_view path);

/// The text after the last "." of the name after the last "/"; empty when the
/// name has no ".".
std::string extensionOfPath(std::string_view path);

/// Creates every level of `folder` that does not exist yet, from the left
/// (a trailing "/" is optional; an absolute path starts at the root). True
/// when every level exists as a folder afterwards; false at the first level
/// that cannot be created or exists as something else. Each level created is
/// appended to `created` (may be null), without a trailing "/".
[[nodiscard]] bool createFolderPath(std::string_view folder,
                                    std::vector<std::string>* created = nullptr);

/// True when a file name matches one name pattern: "*" any run of characters,
/// "?" one character, everything else itself, ASCII letters without case. A
/// pattern ending in ".*" also matches names without that dot ("*.*" matches
/// every name, "a.*" matches "a"), as the system's patterns always did.
bool matchesNamePattern(std::string_view name, std::string_view pattern);

/// Replaces `out` by the files directly inside `folder` (not recursive) whose
/// names match the patterns of `gbkPatterns`, a GBK text of patterns separated
/// by "|" (an empty text means "*.*"); a pattern with a "/" searches the
/// folder it names below `folder` ("sub/*.txt"). Folders, and links to
/// folders, are skipped, as are the temporary files of this program's writes;
/// hidden names are listed. Every other entry that matches is listed, also
/// when it is no readable regular file (a pipe, a socket, a device, a dangling
/// link, a link loop): reading it then fails with the reason, so that nothing
/// matched is skipped without a word. Each pattern adds its matches as the
/// searched folder + "/" + name, sorted by bytes; a file that an earlier
/// pattern matched is not listed again. Returns out.size().
///
/// A folder that cannot be read is added to `failures` (when given) with the
/// reason: `folder` itself whatever the cause, a folder named by a pattern
/// unless it does not exist (a pattern may name a folder that only some
/// listed folders have). Lets the caller's window breathe through `keepAlive`
/// once per entry.
std::size_t listFolderFiles(std::string_view folder, std::string_view gbkPatterns,
                            std::vector<std::string>& out,
                            std::vector<RunFailure>* failures = nullptr,
                            const KeepAlive& keepAlive = {});

}  // namespace lct
