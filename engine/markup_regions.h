#pragma once
// The parts of an HTML text that the engine leaves alone: markup (tags,
// comments, declarations) and the elements whose text must not change (links,
// scripts, styles, text areas, titles, headings, the document head). Replace
// mode keeps keywords out of them; insert mode keeps items out of them. One
// linear pass; texts are GBK and searches stop only at character boundaries
// (engine/chars.h), so a trail byte never passes for "<" or a letter.
//
// One tokenizer finds every kind, following HTML's, simplified; which kinds
// become regions does not change what it sees, so asking for more kinds only
// ever adds regions:
//   - a "<" followed by an ASCII letter, "/" and a letter, "!" or "?" opens a
//     tag, which ends at the next ">" outside a quoted attribute value (a
//     value quoted right after "="); any other "<" is text ("a < b");
//   - "<!--" opens a comment, which ends after the next "-->";
//   - <script>, <style>, <textarea> and <title> hold raw text: their content
//     ends at the first end tag of their name, whatever stands before it, and
//     nothing in it is a tag;
//   - <a> opens a link, which the next </a> closes; <h1> … <h6> open a
//     heading, which the next end tag of any heading closes; <head> opens the
//     document head, which </head> closes, or a start tag that has no place
//     in a head (<body>, <p>, …), or text other than blanks. These are
//     tracked each on its own, so they may overlap (a link that a heading
//     closes around stays open, as browsers keep it);
//   - a start tag closed with "/>" (XHTML's <a id="s1"/>) is empty;
//   - end tags inside comments, raw text and quoted values close nothing.
// Names are compared in any case. A tag, comment or element that is not
// closed reaches the end of the text.

#include <cstddef>
#include <string_view>
#include <vector>

namespace lct {

/// A byte range [begin, end) of a text.
struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;

    bool operator==(const ByteRange&) const = default;
};

/// Which parts of a text are regions. Each element region runs from the "<"
/// of its start tag to the ">" of its end tag.
struct MarkupKinds {
    bool tags = false;      ///< every tag and declaration
    bool comments = false;  ///< <!-- … -->
    bool links = false;     ///< <a> … </a>
    bool rawText = false;   ///< <script>, <style>, <textarea> and <title> elements
    bool headings = false;  ///< <h1> … <h6>
    bool head = false;      ///< <head> … </head>

    /// Replace mode: with `markup` the tags, comments, links and raw text,
    /// with `headings` the headings.
    static MarkupKinds forReplace(bool markup, bool headings) {
        return {markup, markup, markup, markup, headings, false};
    }
    /// What insert mode keeps its items out of: comments, links, raw text and
    /// the document head (tags are hidden by the tag guard when asked).
    static MarkupKinds insertPlaces() { return {false, true, true, true, false, true}; }
};

/// The regions of `text` of the `kinds` asked for, sorted and disjoint
/// (touching regions are joined).
std::vector<ByteRange> markupRegions(std::string_view text, const MarkupKinds& kinds);

/// markupRegions(text, MarkupKinds::forReplace(markup, headings)).
std::vector<ByteRange> markupRegions(std::string_view text, bool markup, bool headings);

/// Where the opening of an HTML document ends: the run at the start of `text`
/// of blanks, comments, declarations, the <html> start tag, the head element
/// and the <body> start tag, up to the end of its last such piece and the
/// line break right after it. 0 when the text opens with anything else
/// (plain text, a fragment starting with <p>).
std::size_t documentOpeningEnd(std::string_view text);

}  // namespace lct
