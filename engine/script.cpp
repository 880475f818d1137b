#include "engine/script.h"

#include "platform/charset.h"

namespace lct {

std::string convertScript(std::string_view text, ScriptConversion conversion, std::string* error) {
    if (conversion == ScriptConversion::None) {
        if (error) error->clear();
        return std::string(text);
    }
    return convertScript(text,
                         scriptConverter(conversion == ScriptConversion::ToSimplified
                                             ? ScriptDirection::TraditionalToSimplified
                                             : ScriptDirection::SimplifiedToTraditional),
                         error);
}

std::string convertScript(std::string_view text, const ScriptConverter& converter,
                          std::string* error) {
    // Preserve keeps every byte that is not valid GBK (the tag guard's 0xFF
    // placeholders, a cut character) as a private-use point that the
    // converter copies and utf8ToGbk turns back into the byte.
    std::string why;
    const std::optional<std::string> converted =
        converter.convert(gbkToUtf8(text, InvalidBytes::Preserve), &why);
    if (!converted) {
        if (error) *error = why.empty() ? "script conversion failed" : why;
        return std::string(text);
    }
    if (error) error->clear();
    return utf8ToGbk(*converted);
}

}  // namespace lct
