#pragma once
// The conversion data of OpenCC that the program carries (data/opencc, see
// its README): configurations and the text form of their dictionaries,
// embedded at build time (platform/embed_script_data.cmake).

#include <optional>
#include <string_view>

namespace lct {

/// The bytes of the data file `name`: "VERSION" (OpenCC's release, with a
/// final line feed), a configuration ("s2twp.json") or a dictionary
/// ("STPhrases.txt"). nullopt for any other name.
std::optional<std::string_view> scriptDataFile(std::string_view name);

}  // namespace lct
