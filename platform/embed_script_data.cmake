# Writes OUTPUT, a C++ source that defines scriptDataFile() (platform/
# script_data.h) over the files of DATA (data/opencc): its VERSION, its
# configurations config/*.json and its dictionaries dictionary/*.txt, each
# embedded as one raw string literal and found by its bare name.
# Run with: cmake -DDATA=... -DOUTPUT=... -P embed_script_data.cmake
file(GLOB configs "${DATA}/config/*.json")
file(GLOB dictionaries "${DATA}/dictionary/*.txt")
set(literals "")
set(table "")
set(index 0)
foreach(path IN ITEMS "${DATA}/VERSION" ${configs} ${dictionaries})
  file(READ "${path}" text)
  get_filename_component(name "${path}" NAME)
  string(FIND "${text}" ")lct\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${path} holds the literal's delimiter")
  endif()
  string(APPEND literals "constexpr char kFile${index}[] = R\"lct(${text})lct\";\n")
  string(APPEND table "    {\"${name}\", {kFile${index}, sizeof kFile${index} - 1}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from data/opencc by embed_script_data.cmake; do not edit.\n"
  "#include \"platform/script_data.h\"\n\n"
  "#include <utility>\n\n"
  "namespace lct {\n"
  "namespace {\n\n"
  "${literals}\n"
  "constexpr std::pair<std::string_view, std::string_view> kFiles[] = {\n"
  "${table}"
  "};\n\n"
  "}  // namespace\n\n"
  "std::optional<std::string_view> scriptDataFile(std::string_view name) {\n"
  "    for (const auto& [fileName, bytes] : kFiles)\n"
  "        if (fileName == name) return bytes;\n"
  "    return std::nullopt;\n"
  "}\n\n"
  "}  // namespace lct\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
