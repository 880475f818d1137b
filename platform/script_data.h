#pragma once
// The conversion data of OpenCC that the program carries (data/opencc, see
// its README): configurations and the text form of their dictionaries,
// embedded at build time (platform/embed_script_data.cmake), and the images
// of the conversion tables built from them at build time (make_script_tables).

#include <optional>
#include <string_view>

namespace lct {

/// The bytes of the data file `name`: "VERSION" (OpenCC's release, with a
/// final line feed), a configuration ("s2twp.json") or a dictionary
/// ("STPhrases.txt"). nullopt for any other name.
std::optional<std::string_view> scriptDataFile(std::string_view name);

/// The image (ScriptTables::image) of the tables of the chain `chain`
/// ("s2twp"), as the build made it; nullopt for a chain it did not make, or
/// when the build made none (a cross build that cannot run its generator).
std::optional<std::string_view> scriptTablesImage(std::string_view chain);

}  // namespace lct
