#pragma once
// Between the engine's CR LF line breaks and LF alone, as files, widgets and
// the command line hold them. CR and LF are never trail bytes of GBK (nor parts
// of UTF-8 sequences), so both work on either encoding byte by byte.

#include <string>
#include <string_view>

namespace lct {

/// `text` with every LF that no CR precedes turned into CR LF.
std::string lfToCrLf(std::string_view text);

/// Turns every LF of `text` into CR LF within its own buffer when its spare
/// capacity holds the CRs, and answers whether it did; otherwise `text` is left
/// as it was (growing would copy it anyway). For a text without CR LF, where
/// no LF has a CR before it.
bool lfToCrLfInPlace(std::string& text);

/// `text` with every CR LF turned into LF; lone CRs stay.
std::string crLfToLf(std::string_view text);

}  // namespace lct
