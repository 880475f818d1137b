#pragma once
// Byte blocks are kept outside the settings document, one file per key, in
// the folder "inibin" beside the settings file.

#include <optional>
#include <string>
#include <string_view>

namespace lct {

/// The byte-set file of `key` in `section` (both GBK) for the settings file at
/// `settingsPath`: its folder, "/inibin/", section, "-", key, ".ibn", the names
/// converted to UTF-8 (bytes that are not GBK are kept recognisably, so that
/// different keys never share a file). A settings path without a folder means
/// the current folder. Empty when there is no settings path or when section or
/// key hold a "/" or a NUL byte, which would leave the folder.
std::string byteSetPath(std::string_view settingsPath, std::string_view section,
                        std::string_view key);

/// The whole content of the file at `path`; nullopt when it is missing, is no
/// regular file or cannot be read.
[[nodiscard]] std::optional<std::string> readByteSetFile(const std::string& path);

/// Replaces (or creates) the file at `path` with `bytes`: written to a new file
/// in the same folder, flushed, then renamed over the old one, so that a failed
/// write leaves the old file as it was. Creates the file's folder first when it
/// is missing (only that last level). False when anything fails, with the
/// reason (UTF-8) in `error` when given.
[[nodiscard]] bool writeByteSetFile(const std::string& path, std::string_view bytes,
                                    std::string* error = nullptr);

}  // namespace lct
