# Run by CPack on the staged files, before it splits out the debugging symbols
# and packs them: removes from every ELF file the sections that Debian's strip
# removes and CPack's objcopy --strip-unneeded keeps (.comment, the names and
# versions of the compilers that made each object; .note, unused).
find_program(LCT_OBJCOPY objcopy)
if(NOT LCT_OBJCOPY)
  message(WARNING "objcopy not found: the .comment sections stay in the binaries")
  return()
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  execute_process(COMMAND "${LCT_OBJCOPY}" --remove-section=.comment --remove-section=.note
                          "${file}"
                  RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objcopy could not remove the unneeded sections of ${file}: ${error}")
  endif()
endforeach()
