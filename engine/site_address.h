#pragma once
// The address of an article of a site: the site's base address followed by
// the article's path relative to the folder the site was listed from. A link
// map gives each keyword such an address, and an article's own address is
// made the same way.

#include <string>
#include <string_view>

namespace lct {

/// `baseUrl` followed by `relativePath` ("/" separators), both UTF-8, with a
/// "/" between them when the base is not empty and does not end with one. A
/// path that is no valid UTF-8 (a GBK name unpacked from an archive) is read
/// as GBK. Of the path, the characters that a URL's path cannot hold as they
/// are (controls, space, '"', '#', '<', '>', '?', '`', '{', '}') are
/// percent-encoded, so that the address neither ends the line of a link map
/// nor the attribute it is put into; other characters, Chinese ones
/// included, stay as they are.
std::string siteAddress(std::string_view baseUrl, std::string_view relativePath);

}  // namespace lct
