#pragma once
// Turning literal text or a wildcard mask into a pattern for RegexObject.
// Each helper puts a backslash before every character of its special set and
// steps over double-byte GBK characters, so a trail byte equal to an ASCII
// special character (0x5C '\', 0x7C '|', ...) is never touched.

#include <string>
#include <string_view>

namespace lct {

/// Escapes \ ^ $ + . { } [ ] = ( ) ? * | and the double quote.
std::string escapeAll(std::string_view text);

/// Like escapeAll, but "|" keeps working as alternation.
std::string escapeKeepAlternation(std::string_view text);

/// Like escapeKeepAlternation, but "(" and ")" keep working as groups.
std::string escapeKeepGroups(std::string_view text);

/// A wildcard mask as a pattern: escapes \ ^ $ + . { } [ ] = ( ) - and the
/// double quote, then "*" becomes ".*" and "?" becomes ".?" (zero or one
/// character). "|" is left as alternation.
std::string wildcardToPattern(std::string_view text);

}  // namespace lct
