#include "engine/link_targets.h"

#include <algorithm>
#include <functional>

#include "engine/site_address.h"
#include "platform/bytes.h"
#include "platform/charset.h"
#include "platform/path_parts.h"
#include "platform/utf8.h"

namespace lct {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trimBlanks(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

void appendLowerAscii(std::string_view s, std::string& out) {
    for (char c : s)
        out.push_back(toLowerAscii(c));
}

// The length of the scheme of "scheme://…"; 0 when the address has none.
std::size_t schemeLength(std::string_view address) {
    const std::size_t colon = address.find("://");
    if (colon == std::string_view::npos || colon == 0 || !isAsciiLetter(address[0])) return 0;
    for (char c : address.substr(0, colon)) {
        if (!isAsciiAlnum(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return colon;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const Utf8Char c = readUtf8(s, i);
        if (c.size == 0) return false;
        i += c.size;
    }
    return true;
}

int hexValue(char c) {
    if (isAsciiDigit(c)) return c - '0';
    const char lower = toLowerAscii(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Appends `path` with its percent escapes decoded when that gives UTF-8, else
// as it is.
void appendPercentDecoded(std::string_view path, std::string& out) {
    const std::size_t start = out.size();
    if (path.find('%') == std::string_view::npos) {
        out += path;
        return;
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        const int high = i + 2 < path.size() && path[i] == '%' ? hexValue(path[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(path[i + 2]) : -1;
        if (low < 0) {
            out.push_back(path[i]);
            continue;
        }
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    if (isValidUtf8(std::string_view(out).substr(start))) return;
    out.resize(start);
    out += path;
}

// An address of the engine's GBK text as UTF-8: most are ASCII already and
// are given back as they are; the others are converted into `buffer`.
std::string_view utf8Address(std::string_view gbk, std::string& buffer) {
    const bool ascii = std::all_of(gbk.begin(), gbk.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return gbk;
    buffer = gbkToUtf8(gbk);
    return buffer;
}

// For an absolute address: appends the key of its scheme and host to `key`
// and gives what follows the host (from its "/" or "?" on) in `rest`. False,
// with nothing appended, for any other address.
bool appendSchemeAndHost(std::string_view address, std::string& key, std::string_view& rest) {
    std::string_view afterScheme;
    if (const std::size_t scheme = schemeLength(address); scheme > 0) {
        const std::string_view name = address.substr(0, scheme);
        if (equalsIgnoringAsciiCase(name, "http") || equalsIgnoringAsciiCase(name, "https")) {
            key += "//";
        } else {
            appendLowerAscii(name, key);
            key += "://";
        }
        afterScheme = address.substr(scheme + 3);
    } else if (address.starts_with("//")) {
        key += "//";
        afterScheme = address.substr(2);
    } else {
        return false;
    }
    const std::size_t hostEnd = std::min(afterScheme.find_first_of("/?"), afterScheme.size());
    appendLowerAscii(afterScheme.substr(0, hostEnd), key);
    rest = afterScheme.substr(hostEnd);
    return true;
}

// addressKey, built in `key` (whose memory a loop reuses).
void buildAddressKey(std::string_view address, std::string& key) {
    key.clear();
    address = trimBlanks(address);
    address = address.substr(0, address.find('#'));
    std::string_view rest = address;
    const bool absolute = appendSchemeAndHost(address, key, rest);
    const std::size_t question = std::min(rest.find('?'), rest.size());
    const std::size_t pathStart = key.size();
    appendPercentDecoded(rest.substr(0, question), key);
    // Trailing "/" go, but a site-relative address keeps its first: "/" is
    // the site's home page.
    const std::size_t keep = pathStart + (!absolute && rest.starts_with('/') ? 1 : 0);
    while (key.size() > keep && key.back() == '/')
        key.pop_back();
    if (question + 1 < rest.size()) key += rest.substr(question);
}

// The key of the scheme and host of an absolute site address ("//host" for
// http and https); "" for any other.
std::string siteHostKey(std::string_view siteAddress) {
    std::string key;
    std::string_view rest;
    if (!appendSchemeAndHost(trimBlanks(siteAddress), key, rest)) key.clear();
    return key;
}

// A key in the form that names a page whatever its address's form: a key on
// the site's own host (`hostKey`, "" for none) becomes the key of its
// site-relative form.
void toTargetKey(std::string& key, std::string_view hostKey) {
    if (hostKey.empty() || !key.starts_with(hostKey)) return;
    if (key.size() > hostKey.size() && key[hostKey.size()] != '/' && key[hostKey.size()] != '?')
        return;  // another host that begins alike
    key.erase(0, hostKey.size());
    if (!key.starts_with('/')) key.insert(0, 1, '/');
}

void buildTargetKey(std::string_view address, std::string_view hostKey, std::string& key) {
    buildAddressKey(address, key);
    toTargetKey(key, hostKey);
}

std::uint64_t hashOf(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

// The site-relative form of an address as the page's address gives it: the
// path after the host of an absolute address ("/" when there is none), the
// address itself when it begins with "/", else "/" before it.
std::string sitePathOf(std::string_view address) {
    std::string key;
    std::string_view rest;
    if (appendSchemeAndHost(address, key, rest))
        return rest.starts_with('/') ? std::string(rest) : "/";
    std::string path = address.starts_with('/') ? "" : "/";
    return path += address;
}

bool isIndexPage(std::string_view name) {
    return equalsIgnoringAsciiCase(name, "index.html") ||
           equalsIgnoringAsciiCase(name, "index.htm");
}

}  // namespace

std::string_view keywordOfLine(std::string_view line) {
    return line.substr(0, line.find('\t'));
}

std::string_view addressOfLine(std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return {};
    const std::string_view rest = line.substr(tab + 1);
    return trimBlanks(rest.substr(0, rest.find('\t')));
}

std::string addressKey(std::string_view address) {
    std::string key;
    buildAddressKey(address, key);
    return key;
}

std::vector<std::string> ownAddressKeys(std::string_view site, std::string_view pagePath) {
    site = trimBlanks(site);
    while (pagePath.starts_with("./"))
        pagePath.remove_prefix(2);
    while (pagePath.starts_with('/'))
        pagePath.remove_prefix(1);
    std::vector<std::string> forms{siteAddress(site, pagePath)};
    const std::string_view name = namePart(pagePath);
    if (isIndexPage(name))
        forms.push_back(siteAddress(site, pagePath.substr(0, pagePath.size() - name.size())));
    std::vector<std::string> keys;
    for (const std::string& form : forms) {
        for (std::string key : {addressKey(form), addressKey(sitePathOf(form))}) {
            if (!key.empty() && std::find(keys.begin(), keys.end(), key) == keys.end())
                keys.push_back(std::move(key));
        }
    }
    return keys;
}

LinkTargets::LinkTargets(const std::vector<std::string>& addresses, std::string_view siteAddress)
    : addresses_(addresses),
      site_(trimBlanks(siteAddress)),
      hostKey_(siteHostKey(site_)),
      any_(std::any_of(addresses.begin(), addresses.end(),
                       [](const std::string& a) { return !a.empty(); })) {}

LinkTargets::HashChains::HashChains(std::size_t count) : next_(count, -1) {
    std::size_t size = 16;
    while (size < 2 * count)
        size *= 2;
    slots_.assign(size, {0, -1});
}

// A slot keeps the high half of a hash beside its chain: half the memory,
// and the probes stay in the cache more often.
std::size_t LinkTargets::HashChains::slotOf(std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    std::size_t slot = static_cast<std::size_t>(hash) & mask;
    while (slots_[slot].second >= 0 && slots_[slot].first != tag)
        slot = (slot + 1) & mask;
    return slot;
}

std::int32_t LinkTargets::HashChains::add(std::uint64_t hash, std::int32_t number) {
    auto& [tag, head] = slots_[slotOf(hash)];
    const std::int32_t previous = head;
    next_[static_cast<std::size_t>(number)] = head;
    tag = static_cast<std::uint32_t>(hash >> 32);
    head = number;
    return previous;
}

std::int32_t LinkTargets::HashChains::head(std::uint64_t hash) const {
    return slots_[slotOf(hash)].second;
}

void LinkTargets::HashChains::prefetch(std::uint64_t hash) const {
    __builtin_prefetch(&slots_[static_cast<std::size_t>(hash) & (slots_.size() - 1)]);
}

void LinkTargets::index() {
    if (byKey_) return;
    // Only the keys' hashes are kept: keys are compared on their addresses.
    // The hashes come first, so that each slot is fetched a few keys ahead of
    // its turn: over a large map, waiting for the table's memory is most of
    // the work.
    const std::size_t count = addresses_.size();
    std::vector<std::uint64_t> hashes(count);
    std::vector<bool> named(count, false);
    std::string key;
    std::string buffer;
    for (std::size_t k = 0; k < count; ++k) {
        if (addresses_[k].empty()) continue;
        buildTargetKey(utf8Address(addresses_[k], buffer), hostKey_, key);
        if (key.empty()) continue;
        hashes[k] = hashOf(key);
        named[k] = true;
    }
    constexpr std::size_t kAhead = 16;
    byKey_.emplace(count);
    targets_.assign(count, -1);
    std::int32_t pages = 0;
    std::string other;
    for (std::size_t k = 0; k < count; ++k) {
        if (k + kAhead < count && named[k + kAhead]) byKey_->prefetch(hashes[k + kAhead]);
        if (!named[k]) continue;
        std::int32_t same = byKey_->add(hashes[k], static_cast<std::int32_t>(k));
        if (same >= 0) buildTargetKey(utf8Address(addresses_[k], buffer), hostKey_, key);
        for (; same >= 0; same = byKey_->next(same)) {
            const std::string& address = addresses_[static_cast<std::size_t>(same)];
            buildTargetKey(utf8Address(address, buffer), hostKey_, other);
            if (other == key) break;
        }
        targets_[k] = same >= 0 ? targets_[static_cast<std::size_t>(same)] : pages++;
    }
}

std::vector<std::int32_t> LinkTargets::linkingTo(std::string_view pagePath) {
    std::vector<std::int32_t> keywords;
    if (!any_) return keywords;
    index();
    std::vector<std::string> owns = ownAddressKeys(site_, pagePath);
    for (std::string& own : owns)
        toTargetKey(own, hostKey_);
    std::sort(owns.begin(), owns.end());
    owns.erase(std::unique(owns.begin(), owns.end()), owns.end());
    std::string key;
    std::string buffer;
    for (const std::string& own : owns) {
        for (std::int32_t k = byKey_->head(hashOf(own)); k >= 0; k = byKey_->next(k)) {
            buildTargetKey(utf8Address(addresses_[static_cast<std::size_t>(k)], buffer), hostKey_,
                           key);
            if (key == own) keywords.push_back(k);
        }
    }
    std::sort(keywords.begin(), keywords.end());
    keywords.erase(std::unique(keywords.begin(), keywords.end()), keywords.end());
    return keywords;
}

std::vector<std::int32_t> LinkTargets::targetOfEachKeyword() {
    if (!any_) return {};
    index();
    return targets_;
}

}  // namespace lct
