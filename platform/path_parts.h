#pragma once
// The parts of a path: the folder it is in and the name after it. Paths are
// native UTF-8 paths with "/" as separator; "/" is never part of a multi-byte
// UTF-8 character, so the parts are found on the bytes.

#include <string>
#include <string_view>

namespace lct {

/// The text before the last "/" ("/" itself excluded); empty when the path
/// has none, and for a name right under the root ("/a").
std::string_view folderPart(std::string_view path);

/// The text after the last "/"; the whole path when it has none.
std::string_view namePart(std::string_view path);

/// The folder holding `path`, as a path that can be opened: folderPart, but
/// "." for a path without "/" and "/" for a name right under the root.
std::string folderOf(std::string_view path);

/// The path of the entry `name` in the folder of `path`: `path` with its name
/// part replaced by `name` (just `name` when `path` has no "/").
std::string siblingPath(std::string_view path, std::string_view name);

}  // namespace lct
