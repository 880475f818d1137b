#pragma once
// `lancitong-cli tool NAME`: one of the five tool windows, run headless.

#include <string>

#include "cli/arguments.h"
#include "cli/form_setup.h"

namespace lct::cli {

/// Builds the tool's form with its defaults, restores its own section from the
/// settings file at `settingsPath` (a missing file keeps the defaults),
/// applies every --set, presses the run button once and writes the result box
/// (UTF-8 with LF on standard output, or --output in --encoding). Message
/// boxes of the run go to standard error. Returns the exit status: 0 done
/// (also for a result cut at the limits), 2 a usage error (unknown tool,
/// control or button, malformed value, a number box out of range), 3 the
/// output file could not be written.
int runToolCommand(const Arguments& args, const std::string& settingsPath,
                   const FileReader& readFile);

/// The bytes of `utf8` in the --encoding `name` (utf-8, gbk or utf-16le, any
/// case; utf8, utf-16 and utf16le are taken too), without a byte-order mark;
/// nullopt for an unknown name.
std::optional<std::string> encodeOutput(std::string_view utf8, std::string_view name);

}  // namespace lct::cli
