#pragma once
// The command line of lancitong-cli, parsed. Every value stays UTF-8 here.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/shard.h"

namespace lct::cli {

enum class Command { Help, Version, Preview, Batch, Linkmap, Settings, Tool };

struct Arguments {
    Command command = Command::Help;
    std::optional<std::string> ini;                         ///< --ini FILE
    std::vector<std::pair<std::string, std::string>> sets;  ///< --set NAME=VALUE, in order
    std::optional<std::string> mode;                        ///< insert, replace or shuffle
    std::optional<std::uint64_t> seed;                      ///< --seed N
    std::optional<std::string> title;                       ///< preview: --title TEXT
    std::optional<std::string> contentFile;                 ///< preview: --content-file FILE
    std::vector<std::string> paths;                         ///< batch, linkmap: files and folders
    bool recursive = false;                                 ///< batch, linkmap: --recursive
    std::string baseUrl;                                    ///< linkmap: --base-url URL
    bool fromHeading = false;                               ///< linkmap: --from h1
    std::optional<Shard> shard;                             ///< batch: --shard K/N
    std::optional<unsigned> jobs;                           ///< batch: --jobs N
    std::optional<std::string> report;                      ///< batch: --report FILE
    std::string tool;                                       ///< tool: NAME
    std::optional<std::string> press;                       ///< tool: --press BUTTON
    std::optional<std::string> output;                      ///< tool: --output FILE
    std::optional<std::string> encoding;                    ///< tool: --encoding E
};

struct ParseResult {
    std::optional<Arguments> arguments;
    std::string error;  ///< why the command line is unusable (UTF-8), when arguments is empty
};

/// Parses argv. Options take their value as the next argument or after "=".
ParseResult parseArguments(const std::vector<std::string>& args);

/// The text of --help.
std::string_view usageText();

}  // namespace lct::cli
