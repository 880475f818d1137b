#pragma once
// Fixed pattern texts of the engine (GBK, for RegexObject::create with all
// three options on), and the plain test that the blank-line pattern stands for.

#include <string>
#include <string_view>

namespace lct {

/// Lines holding only spaces, tabs and ideographic spaces (with their CR LF),
/// and those characters at both ends of every line:
/// "^[　 \t]*$(\r\n)|^[ 　\t]+|[ 　\t]+$".
const std::string& blankLinePattern();

/// One markup tag: "<[\s\S]+?>".
const std::string& tagPattern();

/// True when replacing every match of the blank-line pattern by "" leaves
/// nothing: the text holds only spaces, tabs, ideographic spaces and CR LF
/// line breaks (the empty text included). A linear scan, without the regex
/// engine.
bool isBlank(std::string_view text);

}  // namespace lct
