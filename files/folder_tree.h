#pragma once
// Listing a folder's files at every depth, for batches that keep a site's
// shape and for link maps built from a site.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/keep_alive.h"
#include "engine/run_driver.h"

namespace lct {

/// Replaces `out` by the files of `folder` and of its subfolders at every
/// depth, each folder listed as listFolderFiles lists it (the same patterns
/// of `gbkPatterns`, the same failures into `failures`): a folder's own files
/// first, then each subfolder's, subfolders in byte order. A file is listed
/// once, however many folders' patterns reach it.
///
/// Never entered: a subfolder reached through a symbolic link (one that
/// points inside the listed folder lists nothing its own place does not, one
/// that points outside leads where the user did not ask to go), the folder
/// `skipped` names when it exists (the result folder, which a batch fills),
/// and a folder met before (a bind mount that loops). Lets the caller's
/// window breathe once per entry. Returns out.size().
std::size_t listFolderTree(std::string_view folder, std::string_view gbkPatterns,
                           std::string_view skipped, std::vector<std::string>& out,
                           std::vector<RunFailure>* failures = nullptr,
                           const KeepAlive& keepAlive = {});

/// The part of `path` below `folder` ("/" separators, no leading "/"): the
/// relative path of a file that a listing of `folder` gave. `path` itself
/// when it does not lie below `folder`.
std::string pathBelow(std::string_view folder, std::string_view path);

}  // namespace lct
