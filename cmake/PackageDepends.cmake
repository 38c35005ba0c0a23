# Run by CPack on the staged files, before it makes the Debian package: adds to the package's
# Depends the libraries its binaries link, as dpkg-shlibdeps finds them.
#
# CPack can run dpkg-shlibdeps itself (CPACK_DEBIAN_PACKAGE_SHLIBDEPS), but then also writes a
# postinst and a postrm that call ldconfig whenever a shared object lies under usr/lib, as the
# sqlite3 tool's page reader in usr/lib/quorvane does. Nothing links that module and dpkg's own
# trigger runs ldconfig anyway, so the package has no maintainer scripts.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(staging "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE staged LIST_DIRECTORIES false RELATIVE "${staging}" "${staging}/*")
set(binaries)
foreach(file IN LISTS staged)
  if(NOT IS_SYMLINK "${staging}/${file}")
    file(READ "${staging}/${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")  # ELF
      list(APPEND binaries "-e${file}")
    endif()
  endif()
endforeach()
if(NOT binaries)
  message(FATAL_ERROR "No binaries among the staged files in ${staging}")
endif()

# dpkg-shlibdeps wants a source package's control file where it runs.
file(MAKE_DIRECTORY "${staging}/debian")
file(WRITE "${staging}/debian/control" "")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C dpkg-shlibdeps -O ${binaries}
                WORKING_DIRECTORY "${staging}"
                RESULT_VARIABLE failed
                OUTPUT_VARIABLE substvars
                ERROR_VARIABLE complaints)
file(REMOVE_RECURSE "${staging}/debian")
if(failed OR NOT substvars MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps ${binaries} failed:\n${complaints}")
endif()
if(CPACK_DEBIAN_PACKAGE_DEPENDS)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${CMAKE_MATCH_1}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
endif()
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
