#pragma once
// The settings file and the byte-set files are replaced through temporary
// files named after them: "<name>.tmp<process id>-<counter>". A process
// killed in the middle of a save leaves one behind; these helpers clear them.

#include <string>
#include <string_view>

namespace lct::settings_detail {

/// The temporary name this process uses for its next replacement of `path`.
std::string temporaryPathFor(std::string_view path);

/// Removes from `folder` the temporary files of a replacement of the file
/// named `name` (every file of the folder when `name` is empty) that a
/// process which no longer runs left behind. Returns how many were removed.
int removeStaleTemporaries(const std::string& folder, std::string_view name);

}  // namespace lct::settings_detail
