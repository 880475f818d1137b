# Writes OUTPUT, a C++ source that defines the function NAME returning the
# text of INPUT (UTF-8, surrounding white space removed) as a string_view.
# Run with: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed_text.cmake
file(READ "${INPUT}" text)
string(STRIP "${text}" text)
string(HEX "${text}" hex)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
# Break the literal into lines of 24 bytes (adjacent literals are joined).
string(REPEAT "\\\\x[0-9a-f][0-9a-f]" 24 line)
string(REGEX REPLACE "(${line})" "\\1\"\n        \"" escaped "${escaped}")
get_filename_component(source "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from data/${source} by embed_text.cmake; do not edit.\n"
  "#include <string_view>\n\n"
  "namespace lct {\n\n"
  "std::string_view ${NAME}() {\n"
  "    return \"${escaped}\";\n"
  "}\n\n"
  "}  // namespace lct\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
