# Run by CPack after it made the packages. The debugging symbols package
# (.ddeb) that CPack makes lists its files in md5sums by their paths in the
# build folder, so that dpkg --verify and lintian find none of them; this
# rebuilds it with md5sums of its own paths, the symbol files readable but not
# executable, and /usr/share/doc/<name>-dbgsym linked to the program's
# documentation folder (copyright, changelog) on which it depends, as Debian's
# own -dbgsym packages have it. Packed with gzip, as CPack packs.
find_program(LCT_DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.ddeb$")
    continue()
  endif()
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND "${LCT_DPKG_DEB}" --raw-extract "${package}" "${tree}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb could not unpack ${package}")
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${tree}" "${tree}/usr/*")
  set(md5sums "")
  foreach(file IN LISTS files)
    file(CHMOD "${tree}/${file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 "${tree}/${file}" sum)
    string(APPEND md5sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE "${tree}/DEBIAN/md5sums" "${md5sums}")
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK "${CPACK_PACKAGE_NAME}" "${tree}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym"
       SYMBOLIC)
  execute_process(COMMAND "${LCT_DPKG_DEB}" --root-owner-group -Zgzip
                          --build "${tree}" "${package}"
                  RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb could not build ${package}")
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
