#pragma once
// Opening a folder in the desktop's file browser.

#include <string_view>

namespace lct {

/// Starts `xdg-open` on `folder` (a UTF-8 path); the browser runs detached,
/// leaving no child process behind. The path is passed as one argument, never
/// through a shell. False when the path is empty, xdg-open is not on the PATH,
/// the process cannot be started, or xdg-open fails within three seconds (no
/// file browser to open the folder with); a browser still starting then
/// counts as started.
[[nodiscard]] bool openFolderInShell(std::string_view folder);

}  // namespace lct
