# Fails when a source file includes a folder that its own folder may not use,
# or when a file outside the Qt adapters and windows includes a Qt header.
# The layers, bottom first:
#   platform → regex → form → engine → files / settings → tools → app → cli
# Run by CTest: cmake -DROOT=<source folder> -P tests/layering.cmake

cmake_policy(SET CMP0057 NEW)

set(allowed_platform platform)
set(allowed_regex regex platform)
set(allowed_form form platform)
set(allowed_engine engine regex platform)
set(allowed_files files engine regex platform)
set(allowed_settings settings form platform)
set(allowed_tools tools settings engine regex form platform)
set(allowed_app app tools settings files engine regex form platform)
set(allowed_cli cli app tools settings files engine regex form platform)

# The engine and the codec know the window only through the hook that lets
# it breathe during long work.
set(narrow_form_include "form/pending_messages.h")

set(problems "")
foreach(folder platform regex form engine files settings tools app cli)
  file(GLOB sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH name "${ROOT}" "${source}")
    get_filename_component(base "${source}" NAME)
    file(STRINGS "${source}" includes REGEX "^#include [\"<]")
    foreach(line IN LISTS includes)
      if(line MATCHES "^#include \"([a-z_]+)/([^\"]+)\"")
        set(target "${CMAKE_MATCH_1}")
        set(header "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
        if(target STREQUAL "form" AND (folder STREQUAL "engine" OR folder STREQUAL "files"))
          if(NOT header STREQUAL narrow_form_include)
            string(APPEND problems "${name}: ${header} (only ${narrow_form_include} from form/)\n")
          endif()
          continue()
        endif()
        if(NOT target IN_LIST allowed_${folder})
          string(APPEND problems "${name}: ${header} (${folder}/ may not include ${target}/)\n")
        endif()
      elseif(line MATCHES "^#include <Q")
        # Qt belongs to the adapters, the windows and the program's main.
        if(NOT (base MATCHES "^qt_" OR base MATCHES "_window" OR name STREQUAL "app/main.cpp"))
          string(APPEND problems "${name}: ${line} (Qt outside the adapters and windows)\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the layers:\n${problems}")
endif()
message(STATUS "Every include keeps to the layers.")
