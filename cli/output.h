#pragma once
// Standard output of lancitong-cli: every write is checked, so that a full
// disk, a closed pipe's reader or /dev/full never passes for success.

#include <string_view>

namespace lct::cli {

/// Writes `bytes` to standard output; a failure is remembered for
/// finishOutput (later writes are skipped).
void printOut(std::string_view bytes);

/// Flushes and closes standard output. Returns `status`, or 3 after telling
/// on standard error why standard output could not be written.
int finishOutput(int status);

}  // namespace lct::cli
