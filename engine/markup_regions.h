#pragma once
// The parts of an HTML text that replace-existing mode leaves alone: markup
// (tags, comments, declarations), the elements whose text must not change
// (links, scripts, styles, text areas) and, when asked, headings. One linear
// pass; texts are GBK and searches stop only at character boundaries
// (engine/chars.h), so a trail byte never passes for "<" or a letter.
//
// What counts as markup follows HTML's tokenizer, simplified:
//   - a "<" followed by an ASCII letter, "/" and a letter, "!" or "?" opens a
//     tag, which ends at the next ">" outside a quoted attribute value (a
//     value quoted right after "="); any other "<" is text ("a < b");
//   - "<!--" opens a comment, which ends after the next "-->";
//   - a start tag <a>, <script>, <style>, <textarea> or <title> (names in any
//     case) opens an element that ends after its end tag ("</a>", any case);
//     the text and tags in between belong to it. (A link in a page's <title>
//     breaks the page as surely as one in a text area.) Script, style, text
//     area and title content is skipped as raw text even when only headings
//     are avoided.
//   - <h1> … <h6> likewise, when headings are avoided.
// A tag, comment or element that is not closed reaches the end of the text.

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

/// The ranges of `text` to leave alone, sorted and disjoint: with `markup`,
/// every tag, comment and declaration and the <a>, <script>, <style>,
/// <textarea> and <title> elements; with `headings`, the <h1> to <h6> elements. Neither
/// gives no range.
std::vector<ByteRange> markupRegions(std::string_view text, bool markup, bool headings);

}  // namespace lct
