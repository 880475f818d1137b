#pragma once
// Finding the charset that an HTML page declares in its meta tags, and
// changing what a page declares.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/keep_alive.h"
#include "files/text_encoding.h"

namespace lct {

/// A charset declared by a meta tag, in the order the tags are tested.
enum class MetaCharset : int {
    None = 0,
    Utf8 = 1,
    Big5 = 2,
    Big5Hkscs = 3,
};

/// The charset declared by the first meta tag that declares UTF-8, Big5 or
/// Big5-HKSCS, within the head section when the page has a non-empty one,
/// else within the whole text. `bytes` are the page's undecoded bytes (any
/// ASCII-compatible encoding); markers and charset names match without case.
/// A declaration counts in the forms charset=X, charset="X" and charset='X';
/// "charset=Big5-HKSCS" unquoted counts as Big5. A meta tag with nothing
/// before its ">" ends the scan. None when nothing is declared. Each meta tag
/// passed lets the caller's window breathe through `keepAlive`.
MetaCharset detectMetaCharset(std::string_view bytes, const KeepAlive& keepAlive = {});

/// The encoding a meta declaration stands for: Utf8, Big5, Big5Hkscs, or
/// Detect for None.
TextEncoding encodingOfMetaCharset(MetaCharset charset);

/// `gbk` (an engine text) with the value of each charset declaration replaced
/// by `charset`: "charset=" in a meta tag, as its own attribute or inside its
/// content (http-equiv="Content-Type"), and "encoding=" in an XML declaration
/// at the very start. Names match without case and may have blanks around
/// "="; the value is the run of letters, digits and ".:_-" after it, quoted
/// or not. Only values change: quotes, names and everything else stay, and a
/// text without a declaration comes back as it is.
std::string declareCharset(std::string_view gbk, std::string_view charset);

/// Where the values that declareCharset replaces stand in `gbk`: byte ranges
/// [begin, end), in text order, not overlapping.
std::vector<std::pair<std::size_t, std::size_t>> charsetDeclarations(std::string_view gbk);

}  // namespace lct
