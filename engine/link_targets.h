#pragma once
// Link maps: a keyword line may carry the address its keyword links to
// ("关键词<TAB>网址", as two spreadsheet columns paste), and no page of a site
// may link to itself.
//
// Addresses are compared by key (addressKey): without a #fragment and
// trailing "/", percent escapes decoded, scheme and host without case, http
// and https alike. An absolute address ("https://host/path",
// "//host/path") is compared with a page's absolute address, a site-relative
// one ("/path") with the page's path on its site, so that the scheme and the
// host do not matter for it; any other address is compared as written with
// the page's address as the site address and its path give it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lct {

/// The keyword of a keyword line: the text before its first TAB, or the whole
/// line when it has none.
std::string_view keywordOfLine(std::string_view line);

/// The address of a keyword line: the text after its first TAB up to the next
/// TAB (further columns are ignored), blanks trimmed; "" without a TAB.
std::string_view addressOfLine(std::string_view line);

/// The comparison key of an address (UTF-8); "" for an address that names no
/// page by itself (empty, blank or a fragment alone), which matches nothing.
std::string addressKey(std::string_view address);

/// The keys of the addresses of the page at `pagePath` ("/" separators,
/// relative to the site's folder) on the site at `siteAddress` (UTF-8, may be
/// empty): its address as a link map gives it (engine/site_address.h), for
/// an index.html or index.htm also its folder's address, and the
/// site-relative form ("/" and the path after the host) of each.
std::vector<std::string> ownAddressKeys(std::string_view siteAddress, std::string_view pagePath);

/// The keywords of a run by their addresses, on the site at `siteAddress`
/// (UTF-8, may be empty). Holds the run's address list (GBK, one per keyword,
/// "" for none; an empty list when no keyword has one), which must outlive it
/// unchanged. With an absolute site address, an address on its host and the
/// site-relative address of the same path name one page.
class LinkTargets {
  public:
    explicit LinkTargets(const std::vector<std::string>& addresses,
                         std::string_view siteAddress = {});

    /// True when some keyword has an address.
    bool any() const { return any_; }

    /// The keywords (0-based, ascending) whose address is one of the own
    /// addresses of the page at `pagePath` (ownAddressKeys). The first
    /// question (of either kind) indexes every address once.
    std::vector<std::int32_t> linkingTo(std::string_view pagePath);

    /// For each keyword, the number of the page its address names among the
    /// run's distinct pages (equal keys: addressKey, both forms of a page on
    /// the site's host alike); -1 for a keyword without an address, or with
    /// one that names no page. Empty when no keyword has an address.
    std::vector<std::int32_t> targetOfEachKeyword();

    /// Chains of numbers by a 64-bit hash, in an open-addressing table: each
    /// hash met has one chain, newest first. Unequal texts may share a chain
    /// (their hashes agree in part), so whoever walks one compares the texts.
    class HashChains {
      public:
        explicit HashChains(std::size_t count);
        /// Puts `number` (below the count) at the head of the chain of `hash`;
        /// gives the head it had before (-1 for none), now next(number).
        std::int32_t add(std::uint64_t hash, std::int32_t number);
        /// The head of the chain of `hash`; -1 when there is none.
        std::int32_t head(std::uint64_t hash) const;
        /// Asks the processor to fetch the first slot of `hash` ahead of use.
        void prefetch(std::uint64_t hash) const;
        std::int32_t next(std::int32_t number) const {
            return next_[static_cast<std::size_t>(number)];
        }

      private:
        std::size_t slotOf(std::uint64_t hash) const;

        std::vector<std::pair<std::uint32_t, std::int32_t>> slots_;  // (tag, head), -1 empty
        std::vector<std::int32_t> next_;
    };

  private:
    // Indexes the addresses once: byKey_ and targets_.
    void index();

    const std::vector<std::string>& addresses_;
    std::string site_;     // blanks trimmed
    std::string hostKey_;  // the key of the site's scheme and host; "" for none
    bool any_ = false;
    std::optional<HashChains> byKey_;  // keywords by the hash of their address's page key
    std::vector<std::int32_t> targets_;
};

}  // namespace lct
