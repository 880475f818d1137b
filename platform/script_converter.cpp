#include "platform/script_converter.h"

#include <array>
#include <mutex>
#include <unordered_set>

#include "platform/file_io.h"
#include "platform/script_data.h"
#include "platform/script_tables.h"

namespace lct {

std::string_view scriptChainName(ScriptDirection direction) {
    static constexpr std::array<std::string_view, kScriptDirections> kNames = {
        "t2s", "s2t", "s2tw", "s2twp", "s2hk", "tw2s", "tw2sp", "hk2s"};
    return kNames[static_cast<std::size_t>(direction)];
}

std::optional<ScriptChain> scriptChain(ScriptDirection direction, std::string& why) {
    return carriedScriptChain(scriptChainName(direction), why);
}

ScriptConverter::ScriptConverter(std::string error) : error_(std::move(error)) {}

ScriptConverter::ScriptConverter(const ScriptChain& chain, ScriptLength length) : length_(length) {
    tables_ = ScriptTables::build(chain, error_);
    if (!tables_ && error_.empty()) error_ = "the conversion tables cannot be built";
}

ScriptConverter::ScriptConverter(ScriptDirection direction) {
    const bool plain = direction == ScriptDirection::TraditionalToSimplified ||
                       direction == ScriptDirection::SimplifiedToTraditional;
    const ScriptLength length = plain ? ScriptLength::Kept : ScriptLength::Free;
    // The tables the build made; building them here is the way of a build
    // that could not.
    if (const std::optional<std::string_view> image =
            scriptTablesImage(scriptChainName(direction))) {
        tables_ = ScriptTables::fromImage(*image, ScriptTables::ImageOrigin::Build);
        length_ = length;
        if (tables_) return;
    }
    std::string why;
    const std::optional<ScriptChain> chain = scriptChain(direction, why);
    *this = chain ? ScriptConverter(*chain, length) : ScriptConverter(why);
}

ScriptConverter ScriptConverter::fromFile(const std::string& path, ScriptLength length) {
    std::string why;
    const std::optional<std::string> json = readWholeFile(path, &why);
    if (!json) return ScriptConverter(path + ": " + why);
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    const ScriptFileSource beside = [&folder](const std::string& name) {
        return readWholeFile(folder + name);
    };
    const std::optional<ScriptChain> chain = readScriptChain(*json, beside, why);
    return chain ? ScriptConverter(*chain, length) : ScriptConverter(path + ": " + why);
}

ScriptConverter::~ScriptConverter() = default;
ScriptConverter::ScriptConverter(ScriptConverter&&) noexcept = default;
ScriptConverter& ScriptConverter::operator=(ScriptConverter&&) noexcept = default;

std::optional<std::string> ScriptConverter::convert(std::string_view utf8, std::string* error,
                                                    ScriptOffsets* offsets) const {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    if (!append(utf8, out, error, offsets)) return std::nullopt;
    return out;
}

bool ScriptConverter::append(std::string_view utf8, std::string& out, std::string* error,
                             ScriptOffsets* offsets) const {
    std::string why = error_;
    bool converted = false;
    if (tables_) {
        const std::size_t before = out.size();
        converted = tables_->convert(utf8, out, keepsLength(), offsets);
        if (!converted) {
            out.resize(before);
            why = "the text is not valid UTF-8";
        }
    }
    if (error) *error = converted ? std::string() : why;
    return converted;
}

const ScriptConverter& scriptConverter(ScriptDirection direction) {
    static std::array<std::once_flag, kScriptDirections> once;
    static std::array<std::unique_ptr<const ScriptConverter>, kScriptDirections> converters;
    const auto index = static_cast<std::size_t>(direction);
    std::call_once(once[index],
                   [&] { converters[index] = std::make_unique<ScriptConverter>(direction); });
    return *converters[index];
}

std::vector<std::pair<std::string, std::string>> scriptDictionaryEntries(
    ScriptDirection direction) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::string why;
    const std::optional<ScriptChain> chain = scriptChain(direction, why);
    if (!chain) return entries;
    std::unordered_set<std::string> seen;
    const auto addAll = [&](const ScriptLevels& levels) {
        for (const auto& level : levels)
            for (const ScriptDictionaryPtr& dictionary : level)
                for (const auto& [key, value] : dictionary->entries)
                    if (seen.insert(key).second) entries.emplace_back(key, value);
    };
    if (chain->segmentation) addAll(*chain->segmentation);
    for (const ScriptLevels& levels : chain->conversions)
        addAll(levels);
    return entries;
}

}  // namespace lct
