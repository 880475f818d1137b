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

# The hook into the window's event loop belongs to the windows: the layers
# below them let the window breathe through what their caller hands them.
set(event_loop_hook "form/pending_messages.h")
set(event_loop_users form tools app cli)

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
        if(NOT target IN_LIST allowed_${folder})
          string(APPEND problems "${name}: ${header} (${folder}/ may not include ${target}/)\n")
        elseif(header STREQUAL event_loop_hook AND NOT folder IN_LIST event_loop_users)
          string(APPEND problems "${name}: ${header} (only the windows reach the event loop)\n")
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
