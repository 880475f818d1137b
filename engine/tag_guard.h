#pragma once
// Hides the HTML tags of a text behind a placeholder, keeps them, and puts
// them back later, after the text has been changed or reordered.
//
// A tag is a "<", the characters after it up to the next ">", and that ">",
// with no other "<" or ">" between them; a lone ">" (as in "x > y") or a "<"
// that another "<" follows before any ">" is ordinary text. One linear pass
// finds them all.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/keep_alive.h"
#include "engine/markup_regions.h"

namespace lct {

class TagGuard {
  public:
    /// Scanning a text for its tags lets the caller's window breathe through
    /// `keepAlive` (engine/keep_alive.h) every few hundred tags.
    explicit TagGuard(KeepAlive keepAlive = {}) : keepAlive_(std::move(keepAlive)) {}

    /// Ten bytes 0xFF: never part of GBK text.
    static const std::string& defaultPlaceholder();
    /// Two bytes 0xFF, which the character model counts as one character.
    static const std::string& shortPlaceholder();

    /// `text` with every tag replaced by `placeholder` (the default placeholder
    /// when empty). With `save`, the tags found replace the saved ones and the
    /// placeholder is remembered for restore; without it the saved tags stay.
    /// A saving protect also hides each character that holds a 0xFF byte, so
    /// that restore gives back any text whole.
    std::string protect(std::string_view text, std::string_view placeholder = {}, bool save = true);

    /// A saving protect that also hides each byte range of `regions` (sorted,
    /// disjoint, each starting and ending a character of `text`) whole behind
    /// one placeholder, so that nothing can go inside it; with `tags` false,
    /// the tags between them stay in the text.
    std::string protectRegions(std::string_view text, const std::vector<ByteRange>& regions,
                               bool tags, std::string_view placeholder);

    /// protectRegions of the part of `text` from byte `from` on (`regions`
    /// are ranges of that part), taking `text` over. When nothing hidden can
    /// be shorter than `placeholder` (no longer than the shortest tag, "<>";
    /// no region shorter; no 0xFF byte in the text), the result is written
    /// over the text itself, so that a big text is not held twice.
    std::string protectRegions(std::string&& text, std::size_t from,
                               const std::vector<ByteRange>& regions, bool tags,
                               std::string_view placeholder);

    /// `text` with every tag removed.
    static std::string strip(std::string_view text, const KeepAlive& keepAlive = {});

    /// `text` with its placeholders replaced by the saved tags in their order
    /// in the protected text: the first placeholder gets the first tag, and
    /// so on. Surplus placeholders stay; surplus tags are dropped.
    std::string restore(std::string_view text) const;

    /// `prefix` followed by restore of `text`, made in one buffer.
    std::string restoreAfter(std::string_view prefix, std::string_view text) const;
    /// The same, taking `text` over: it is given back to the system as it is
    /// read (platform/memory.h) and is empty afterwards, so that a big text
    /// and its result are not held whole together.
    std::string restoreAfter(std::string_view prefix, std::string&& text) const;

    /// restore, moving the byte ranges `spans` of `text` (sorted by begin, none
    /// inside a placeholder) to where the same bytes stand in the result.
    std::string restore(std::string_view text,
                        std::vector<std::pair<std::size_t, std::size_t>>& spans) const;

    /// The tags of the last saving protect, in text order, with the
    /// characters it kept like tags.
    std::vector<std::string> savedTags() const;

  private:
    // Where a protect writes: a string of its own, or the buffer of the text
    // it reads, behind the place it reads from.
    class Sink;

    std::string protectInto(std::string_view text, const std::vector<ByteRange>& regions, bool tags,
                            std::string_view placeholder, Sink& out);
    // Appends `run`, text between tags that starts a character, to `out`. A
    // saving protect keeps every character holding a 0xFF byte (no GBK text
    // has one; a damaged file may) like a tag: left in place, restore would
    // take its bytes for a placeholder and put a tag there.
    void appendText(std::string_view run, std::string_view placeholder, Sink& out);
    // Appends `run` to `out`, its tags hidden and saved.
    void appendHidingTags(std::string_view run, std::string_view placeholder, Sink& out);
    // Saves `bytes` as one tag and puts the placeholder in their place.
    void hide(std::string_view bytes, std::string_view placeholder, Sink& out);

    KeepAlive keepAlive_;
    // No 0xFF byte in the text being protected: appendText need not look.
    bool noFF_ = false;
    std::string placeholder_ = defaultPlaceholder();
    // restoreAfter, giving `text` back to the system as it is read when
    // `lastRead`.
    std::string restoreInto(std::string_view prefix, std::string_view text, bool lastRead) const;
    // text.find(placeholder_, from), for a placeholder of a few bytes.
    std::size_t findPlaceholder(std::string_view text, std::size_t from) const;
    // Calls `visit(tag)` for the saved tags in order while it returns true.
    template <typename Visit>
    void forEachTag(Visit visit) const;

    // Empties the saved tags.
    void forgetTags();

    // The saved tags one after the other, in blocks of a megabyte or more
    // that are never moved (a growing string would hold its old buffer beside
    // the new one, with a big text alive), and the size of each, seven bits a
    // byte: a page of a million tags keeps them in a few allocations, not a
    // million, and their sizes in about a byte each.
    std::vector<std::string> tagBlocks_;
    std::size_t tagBytes_ = 0;  // in all blocks
    std::string tagSizes_;
};

}  // namespace lct
