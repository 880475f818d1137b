#include "engine/site_address.h"

#include "platform/charset.h"
#include "platform/utf8.h"

namespace lct {
namespace {

bool mustBeEncoded(unsigned char c) {
    if (c < 0x20 || c == 0x7F) return true;
    switch (c) {
        case ' ':
        case '"':
        case '#':
        case '<':
        case '>':
        case '?':
        case '`':
        case '{':
        case '}':
            return true;
        default:
            return false;
    }
}

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t size = readUtf8(s, i).size;
        if (size == 0) return false;
        i += size;
    }
    return true;
}

}  // namespace

std::string siteAddress(std::string_view baseUrl, std::string_view relativePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address(baseUrl);
    if (!address.empty() && address.back() != '/') address.push_back('/');
    const std::string path =
        isUtf8(relativePath) ? std::string(relativePath) : gbkToUtf8(relativePath);
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (mustBeEncoded(byte)) {
            address += '%';
            address += kHex[byte >> 4];
            address += kHex[byte & 0xF];
        } else {
            address += c;
        }
    }
    return address;
}

}  // namespace lct
