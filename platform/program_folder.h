#pragma once
// Where the running program lives.

#include <string>

namespace lct {

/// The folder of the running executable (UTF-8, without a trailing "/");
/// the current folder "." when it cannot be found.
std::string programFolder();

}  // namespace lct
