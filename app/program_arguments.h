#pragma once
// The desktop program's own arguments, read from argv before any window or
// application object exists, so that --help and --version answer without a
// display.

#include <string>
#include <string_view>
#include <vector>

namespace lct {

enum class ProgramAction { OpenWindow, Help, Version, UsageError };

struct ProgramArguments {
    ProgramAction action = ProgramAction::OpenWindow;
    /// --ini FILE or --ini=FILE (the last one wins); empty for the default
    /// settings file.
    std::string settingsPath;
    /// For UsageError: what is wrong, in Chinese, without a line break.
    std::string error;
};

/// Reads the arguments after the program name. The first --help (or -h) or
/// --version decides the action; the word after --ini is its value whatever
/// it looks like. --ini without a value, or with an empty one, is a usage
/// error rather than a silent fall-back to the default settings file, which
/// closing the window would overwrite. Every other argument is Qt's
/// (-platform NAME, -style NAME, ...) and is left to it.
ProgramArguments parseProgramArguments(const std::vector<std::string>& args);

/// The text --help prints, UTF-8, ending with a line break.
std::string_view programUsage();

}  // namespace lct
