#pragma once
// How typed values look in the settings document. All texts are GBK.

#include <cstdint>
#include <string>
#include <string_view>

namespace lct {

/// `text` with every CR LF replaced by "┊*┊", so that a value stays on one
/// line, and every "┊" doubled, so that a "┊" of the text never joins a mark.
/// A lone CR or LF is kept as it is. Works on bytes: whatever the bytes around
/// it (a stray lead byte before a line break), every CR LF and every "┊" byte
/// pair is found.
std::string escapeLineBreaks(std::string_view text);

/// The inverse of escapeLineBreaks, for every byte string: "┊┊" becomes "┊",
/// "┊*┊" becomes CR LF, anything else (a lone "┊" written by earlier versions
/// included) stays as it is.
std::string unescapeLineBreaks(std::string_view text);

/// The stored form of a number: like printf "%.13g" in the C locale (13
/// significant digits, no trailing zeros: 100 → "100", 0.5 → "0.5").
std::string formatNumber(double value);

/// The number a stored text holds: full-width forms are read as their ASCII
/// forms, then leading blanks are skipped and the leading decimal number
/// (sign, digits, fraction, exponent) is taken; 0 when there is none. Values
/// beyond the double range give ±infinity.
double parseNumber(std::string_view text);

/// `text` with the full-width ASCII forms (０-９, ．, －, ＡＢＣ, …) and the
/// ideographic space replaced by their ASCII forms; other characters unchanged.
std::string toHalfWidth(std::string_view text);

/// The leading integer of `text` (optional sign, decimal digits), clamped to
/// the int64 range; 0 when there is none.
std::int64_t parseInteger(std::string_view text);

/// "真" or "假" (GBK).
const std::string& boolText(bool value);

}  // namespace lct
