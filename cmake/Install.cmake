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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_CONTACT "Quorvane maintainers <maintainers@quorvane.invalid>")
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
# dpkg-shlibdeps; the About window's tune only needs a General MIDI sound font to be heard.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The salvage of a damaged catalogue runs the sqlite3 tool, which no library brings in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "sqlite3")
# Fonts for names in every script (Arabic, Hebrew, Greek, Cyrillic, Hangul, CJK, emoji).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "timgm6mb-soundfont | fluid-soundfont-gm, fonts-noto-core, fonts-noto-cjk, fonts-noto-color-emoji")
include(CPack)
