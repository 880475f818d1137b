#include "engine/markup_regions.h"

#include <array>

#include "engine/chars.h"
#include "platform/bytes.h"

namespace lct {
namespace {

constexpr std::size_t kClosed = std::string_view::npos;

// HTML's blanks; an ideographic space is text.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

using NameBuffer = std::array<char, 16>;

// The tag name that starts at `at` (lower case, at most 16 bytes), and where it ends.
std::string_view tagName(std::string_view text, std::size_t at, NameBuffer& buffer,
                         std::size_t& nameEnd) {
    std::size_t n = 0;
    std::size_t i = at;
    while (i < text.size() && isAsciiAlnum(text[i])) {
        if (n < buffer.size()) buffer[n++] = toLowerAscii(text[i]);
        ++i;
    }
    nameEnd = i;
    return i - at <= buffer.size() ? std::string_view(buffer.data(), n) : std::string_view();
}

// The elements the tokenizer follows.
enum class Element { None, Link, RawText, Heading, Head, NoScript };

Element elementOf(std::string_view name) {
    if (name == "a") return Element::Link;
    if (name == "script" || name == "style" || name == "textarea" || name == "title")
        return Element::RawText;
    if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6')
        return Element::Heading;
    if (name == "head") return Element::Head;
    if (name == "noscript") return Element::NoScript;
    return Element::None;
}

// Whether a start tag of this name stands inside a document head; any other
// ends the head, as it does in browsers.
bool belongsInHead(std::string_view name) {
    constexpr std::string_view kNames[] = {"base",   "basefont", "bgsound",  "head",
                                           "html",   "link",     "meta",     "noscript",
                                           "script", "style",    "template", "title"};
    for (std::string_view n : kNames) {
        if (n == name) return true;
    }
    return false;
}

struct TagEnd {
    std::size_t end;   // one past the ">"; text.size() when the tag is not closed
    bool selfClosing;  // closed with "/>", the "/" outside any attribute value
};

// The end of the tag whose name ends at `from`, skipping values quoted right
// after "="; an unquoted value runs to a blank or ">".
TagEnd tagEnd(std::string_view text, std::size_t from) {
    std::size_t i = from;
    for (;;) {
        i = nextOfAscii(text, i, '>', '=');
        if (i >= text.size()) return {text.size(), false};
        if (text[i] == '>') return {i + 1, i > from && text[i - 1] == '/'};
        ++i;  // past "="
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
            const char quote = text[i];
            i = nextOfAscii(text, i + 1, quote, quote);
            if (i >= text.size()) return {text.size(), false};
            ++i;
            continue;
        }
        while (i < text.size() && !isBlank(text[i]) && text[i] != '>')
            i += charSize(text, i);
        if (i < text.size() && text[i] == '>') return {i + 1, false};
    }
}

// One past the "-->" of the comment that opens at `lt`.
std::size_t commentEnd(std::string_view text, std::size_t lt) {
    const std::size_t close = text.find("-->", lt + 4);
    return close == std::string_view::npos ? text.size() : close + 3;
}

struct EndTag {
    std::size_t begin;  // its "<"; text.size() when there is none
    std::size_t end;
};

// The end tag "</name …>" of a raw-text element whose start tag ended at
// `from`: the first one, whatever stands before it.
EndTag rawTextEnd(std::string_view text, std::size_t from, std::string_view name) {
    NameBuffer buffer{};
    for (std::size_t i = nextOfAscii(text, from, '<', '<'); i < text.size();
         i = nextOfAscii(text, i + 1, '<', '<')) {
        if (i + 1 >= text.size() || text[i + 1] != '/') continue;
        std::size_t nameEnd = 0;
        if (tagName(text, i + 2, buffer, nameEnd) == name) return {i, tagEnd(text, nameEnd).end};
    }
    return {text.size(), text.size()};
}

// The regions found so far. Every range is added when the scan reaches its
// end, so ends never decrease: a new range swallows the ranges that begin
// inside it and joins the one it touches, in amortized constant time.
class RegionList {
  public:
    void add(std::size_t begin, std::size_t end) {
        if (begin >= end) return;
        while (!regions_.empty() && regions_.back().begin >= begin)
            regions_.pop_back();
        if (!regions_.empty() && regions_.back().end >= begin) {
            if (regions_.back().end < end) regions_.back().end = end;
        } else {
            regions_.push_back({begin, end});
        }
    }
    std::vector<ByteRange> take() { return std::move(regions_); }

  private:
    std::vector<ByteRange> regions_;
};

// The tokenizer: one walk over the text, which follows the open link, heading
// and head whatever regions are asked for.
class MarkupScanner {
  public:
    /// With `untilHeadEnds`, the scan stops once the first head has ended.
    MarkupScanner(std::string_view text, const MarkupKinds& kinds, bool untilHeadEnds = false)
        : text_(text), kinds_(kinds), untilHeadEnds_(untilHeadEnds) {}

    std::vector<ByteRange> scan() {
        std::size_t i = nextOfAscii(text_, 0, '<', '<');
        while (i < text_.size()) {
            const std::size_t end = token(i);
            i = nextOfAscii(text_, end, '<', '<');
            if (head_ != kClosed) closeHeadAtText(end, i);
            if (untilHeadEnds_ && headSeen_ && head_ == kClosed) break;
        }
        close(link_, text_.size(), kinds_.links);
        close(heading_, text_.size(), kinds_.headings);
        close(head_, text_.size(), kinds_.head);
        return regions_.take();
    }

  private:
    // Takes the token at the "<" at `lt`; returns where the scan goes on.
    std::size_t token(std::size_t lt) {
        const char c = lt + 1 < text_.size() ? text_[lt + 1] : '\0';
        if (c == '!' && text_.substr(lt, 4) == "<!--") {
            const std::size_t end = commentEnd(text_, lt);
            if (kinds_.comments) regions_.add(lt, end);
            return end;
        }
        const bool endTag = c == '/' && lt + 2 < text_.size() && isAsciiLetter(text_[lt + 2]);
        if (!(isAsciiLetter(c) || endTag || c == '!' || c == '?')) {
            if (head_ != kClosed) close(head_, lt, kinds_.head);  // a "<" of the text
            return lt + 1;
        }
        std::size_t nameEnd = lt + 1;
        std::string_view name;
        if (isAsciiLetter(c) || endTag)
            name = tagName(text_, endTag ? lt + 2 : lt + 1, buffer_, nameEnd);
        const TagEnd tag = tagEnd(text_, nameEnd);
        const bool startTag = isAsciiLetter(c);
        // Ranges are added in the order of their ends: the head first.
        if (startTag && head_ != kClosed && !belongsInHead(name)) close(head_, lt, kinds_.head);
        if (kinds_.tags) regions_.add(lt, tag.end);
        if (endTag) return closeElement(elementOf(name), tag.end);
        if (!startTag || tag.selfClosing) return tag.end;  // a declaration, or empty
        return openElement(lt, tag.end, name);
    }

    // An end tag that ends at `end` closes its element, when one is open.
    std::size_t closeElement(Element element, std::size_t end) {
        if (element == Element::Link) close(link_, end, kinds_.links);
        if (element == Element::Heading) close(heading_, end, kinds_.headings);
        if (element == Element::Head) close(head_, end, kinds_.head);
        return end;
    }

    // The start tag [lt, end), not empty, opens its element; the content of
    // a raw-text element is skipped. Returns where the scan goes on.
    std::size_t openElement(std::size_t lt, std::size_t end, std::string_view name) {
        switch (elementOf(name)) {
            case Element::Link:
                if (link_ == kClosed) link_ = lt;
                break;
            case Element::Heading:
                if (heading_ == kClosed) heading_ = lt;
                break;
            case Element::Head:
                // Browsers take the first head only.
                if (!headSeen_) head_ = lt;
                headSeen_ = true;
                break;
            case Element::RawText:
                return rawText(lt, end, name, kinds_.rawText);
            case Element::NoScript:
                // Raw text inside a head, where scripts run.
                if (head_ != kClosed) return rawText(lt, end, name, false);
                break;
            case Element::None:
                break;
        }
        return end;
    }

    // The raw-text element whose start tag spans [lt, startEnd): its content
    // is skipped; the element is a region when `wanted`.
    std::size_t rawText(std::size_t lt, std::size_t startEnd, std::string_view name, bool wanted) {
        const EndTag endTag = rawTextEnd(text_, startEnd, name);
        if (wanted) regions_.add(lt, endTag.end);
        if (kinds_.tags) regions_.add(endTag.begin, endTag.end);
        return endTag.end;
    }

    // Text other than blanks in [from, to) ends an open head.
    void closeHeadAtText(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if (!isBlank(text_[i])) {
                close(head_, i, kinds_.head);
                return;
            }
        }
    }

    void close(std::size_t& open, std::size_t end, bool wanted) {
        if (open == kClosed) return;
        if (wanted) regions_.add(open, end);
        open = kClosed;
    }

    std::string_view text_;
    MarkupKinds kinds_;
    bool untilHeadEnds_;
    RegionList regions_;
    NameBuffer buffer_{};
    // Where the open link, heading and head began; kClosed when none is open.
    std::size_t link_ = kClosed;
    std::size_t heading_ = kClosed;
    std::size_t head_ = kClosed;
    bool headSeen_ = false;
};

// The end of the part of a document's opening that starts at the "<" at `i`:
// a comment, a declaration, the head, or the <html> or <body> tag; kClosed
// when what stands there belongs to the body. `name` receives a tag's name.
std::size_t openingPartEnd(std::string_view text, std::size_t i, NameBuffer& buffer,
                           std::string_view& name) {
    const char c = text[i + 1];
    if (c == '!' && text.substr(i, 4) == "<!--") return commentEnd(text, i);
    if (c == '!' || c == '?') return tagEnd(text, i + 1).end;
    if (!isAsciiLetter(c)) return kClosed;
    std::size_t nameEnd = 0;
    name = tagName(text, i + 1, buffer, nameEnd);
    if (name == "html" || name == "body") return tagEnd(text, nameEnd).end;
    if (name != "head") return kClosed;
    MarkupKinds head;
    head.head = true;
    const std::vector<ByteRange> regions = MarkupScanner(text.substr(i), head, true).scan();
    return !regions.empty() && regions.front().begin == 0 ? i + regions.front().end
                                                          : tagEnd(text, nameEnd).end;
}

}  // namespace

std::vector<ByteRange> markupRegions(std::string_view text, const MarkupKinds& kinds) {
    if (!(kinds.tags || kinds.comments || kinds.links || kinds.rawText || kinds.headings ||
          kinds.head))
        return {};
    return MarkupScanner(text, kinds).scan();
}

std::vector<ByteRange> markupRegions(std::string_view text, bool markup, bool headings) {
    return markupRegions(text, MarkupKinds::forReplace(markup, headings));
}

std::size_t documentOpeningEnd(std::string_view text) {
    std::size_t opening = 0;
    NameBuffer buffer{};
    for (std::size_t i = 0;;) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i + 1 >= text.size() || text[i] != '<') break;
        std::string_view name;
        const std::size_t end = openingPartEnd(text, i, buffer, name);
        if (end == kClosed) break;
        opening = end;
        if (name == "body") break;
        i = opening;
    }
    if (opening > 0 && opening < text.size() && (text[opening] == '\r' || text[opening] == '\n'))
        opening += charSize(text, opening);
    return opening;
}

}  // namespace lct
