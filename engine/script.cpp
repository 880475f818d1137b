#include "engine/script.h"

#include "platform/charset.h"
#include "platform/script_converter.h"

namespace lct {

std::string convertScript(std::string_view text, ScriptConversion conversion, std::string* error) {
    if (error) error->clear();
    if (conversion == ScriptConversion::None) return std::string(text);
    const ScriptConverter& converter = scriptConverter(
        conversion == ScriptConversion::ToSimplified ? ScriptDirection::TraditionalToSimplified
                                                     : ScriptDirection::SimplifiedToTraditional);
    // Preserve keeps every byte that is not valid GBK (the tag guard's 0xFF
    // placeholders, a cut character) as a private-use point that the
    // converter copies and utf8ToGbk turns back into the byte.
    const std::optional<std::string> converted =
        converter.convert(gbkToUtf8(text, InvalidBytes::Preserve));
    if (!converted) {
        if (error)
            *error = converter.error().empty() ? "script conversion failed" : converter.error();
        return std::string(text);
    }
    return utf8ToGbk(*converted);
}

}  // namespace lct
