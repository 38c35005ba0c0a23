# What `cmake --install` puts where, and the Debian package CPack makes of it.

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Found by the program through <bin>/../lib/quorvane; the sqlite3 tool loads it to salvage a
# damaged catalogue.
install(TARGETS quorvane-dbpage LIBRARY DESTINATION lib/quorvane)
# Found by the program through <bin>/../share/quorvane when the catalogue's folder lacks them.
install(FILES
          ${PROJECT_SOURCE_DIR}/data/Zembo1.rpt
          ${PROJECT_SOURCE_DIR}/data/Zembo2.rpt
          ${PROJECT_SOURCE_DIR}/data/Quorvane.hlp
          ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/VodiZav.Mid
          ${QUORVANE_SHARE_BUILD_DIR}/Zembo-template.mdb
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvane)
install(FILES ${PROJECT_SOURCE_DIR}/data/quorvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${QUORVANE_ICON_BUILD_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The package's maintainer, named in its control file and in its changelog entry.
set(QUORVANE_MAINTAINER "Quorvane Works <hello@quorvane.example>")

# The changelog entry of this version, dated by SOURCE_DATE_EPOCH when it is set, else by the
# last commit, so that the same tree makes the same package; outside a checkout, by today.
set(release_time "$ENV{SOURCE_DATE_EPOCH}")
if(release_time STREQUAL "")
  find_package(Git QUIET)
  if(Git_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE release_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
  endif()
endif()
if(release_time STREQUAL "")
  string(TIMESTAMP release_time "%s" UTC)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C
                        date -u -d @${release_time} "+%a, %d %b %Y %H:%M:%S +0000"
                OUTPUT_VARIABLE QUORVANE_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

# The changelog and the manual page, gzipped as Debian keeps them (-n: no name or time in
# the header, so the same text makes the same bytes). The manual page names the installed
# files where they are: its %DATADIR% and %LIBDIR% are filled in at install time, for the
# prefix installed to (make install's, or the package's /usr).
set(QUORVANE_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/share/doc/quorvane)
set(QUORVANE_MAN_BUILD_DIR ${CMAKE_BINARY_DIR}/share/man/man1)
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in ${QUORVANE_DOC_BUILD_DIR}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/quorvane.1 ${QUORVANE_MAN_BUILD_DIR}/quorvane.1 @ONLY)
set(gzipped)
foreach(plain ${QUORVANE_DOC_BUILD_DIR}/changelog)
  add_custom_command(OUTPUT ${plain}.gz
                     COMMAND gzip -9nfk ${plain}
                     DEPENDS ${plain}
                     COMMENT "Compressing ${plain}")
  list(APPEND gzipped ${plain}.gz)
endforeach()
add_custom_target(packaged_documents ALL DEPENDS ${gzipped})
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright ${QUORVANE_DOC_BUILD_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvane)
install(CODE "
  file(READ \"${QUORVANE_MAN_BUILD_DIR}/quorvane.1\" page)
  string(REPLACE %DATADIR% \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\" page \"\${page}\")
  string(REPLACE %LIBDIR% \"\${CMAKE_INSTALL_PREFIX}/lib\" page \"\${page}\")
  set(placed \"${QUORVANE_MAN_BUILD_DIR}/installed/quorvane.1\")
  file(WRITE \"\${placed}\" \"\${page}\")
  execute_process(COMMAND gzip -9nf \"\${placed}\" COMMAND_ERROR_IS_FATAL ANY)
  file(INSTALL \"\${placed}.gz\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1\")
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_CONTACT "${QUORVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of a personal collection of recordings")
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quorvane keeps the artist, title, category and format of each recording in
one SQLite file, with views, searches, counts and printed reports.
Each user's catalogue lives in ~/.local/share/quorvane/Zembo.mdb.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries the binary links (Qt 6, SQLite, FluidSynth) become Depends through
# dpkg-shlibdeps, run on the staged files by PackageDepends.cmake rather than by CPack, which
# would add maintainer scripts calling ldconfig; the About window's tune only needs a General
# MIDI sound font to be heard.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageDepends.cmake)
# The salvage of a damaged catalogue runs the sqlite3 tool, which no library brings in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "sqlite3")
# Fonts for names in every script (Arabic, Hebrew, Greek, Cyrillic, Hangul, CJK, emoji; the
# reports draw emoji in Symbola's outlines).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "timgm6mb-soundfont | fluid-soundfont-gm, fonts-noto-core, fonts-noto-cjk, fonts-noto-color-emoji, fonts-symbola")
include(CPack)
