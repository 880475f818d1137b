#pragma once
// The keyword that a page gives a link map: the text of its title (or of its
// first top-level heading), as a person reads it in the browser's tab, less
// the site's name.

#include <string>
#include <string_view>

namespace lct {

/// Which element of a page names it.
enum class PageKeywordSource {
    Title,         ///< the first <title> element
    FirstHeading,  ///< the first <h1> element
};

/// The keyword of the article `gbkText` (GBK, as the codec reads a file), as
/// UTF-8: the text of its first element of `from`, with tags removed,
/// character references decoded, each run of blanks and control characters
/// made one space and blanks (U+00A0 and U+3000 too) trimmed at both ends,
/// then cut before a site-name suffix: at the first " - ", " | ", " _ ", "——"
/// or "－" before which at least two characters stay. Elements inside
/// comments, scripts and styles are not taken, and an element without its end
/// tag gives nothing. Empty when there is no such element or its text is blank.
std::string pageKeyword(std::string_view gbkText, PageKeywordSource from);

/// `utf8` with its character references decoded: numeric ones ("&#20013;",
/// "&#x4E2D;", the ";" optional; C1 codes as Windows-1252 reads them, and
/// code points no character may have as U+FFFD) and the named ones of HTML 4
/// plus "&apos;" (with their ";"). Anything else stays as it is.
std::string decodeCharacterReferences(std::string_view utf8);

}  // namespace lct
