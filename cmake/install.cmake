# `cmake --install` lays the game out as a desktop expects it:
#   bin/voltrace2                        the program
#   share/voltrace2/Data/                its archives and music (VT_INSTALL_DATA_DIR)
#   share/voltrace2/screenshots/         the software centre's pictures
#   share/applications/<id>.desktop      the menu entry
#   share/metainfo/<id>.metainfo.xml     the software centre's page
#   share/icons/hicolor/NxN/apps/<id>.png
#   share/man/man6/voltrace2.6.gz        the manual page
#   share/doc/voltrace2/                 licence and changelog
# and the score service beside it:
#   sbin/voltrace2-scores, share/man/man8/voltrace2-scores.8.gz,
#   lib/systemd/system/voltrace2-scores.service, share/doc/voltrace2-scores/
#
# Debian's games layout (-DCMAKE_INSTALL_BINDIR=games
# -DCMAKE_INSTALL_DATADIR=share/games) moves only the program and its data:
# the desktop's and man's own folders hang off CMAKE_INSTALL_DATAROOTDIR,
# which stays share/. The program finds its data from its own folder, so the
# whole tree may be moved to another prefix. Saves go to the player's data
# folder, never into the installed tree.
#
# The fonts are not installed: the installed game takes them from the
# system's font packages through fontconfig. The build folder keeps its
# copies (and their licences) so that it plays as it is, anywhere.
include(GNUInstallDirs)

# Reverse domain name of the score service's host, as desktop ids are.
set(VT_APP_ID "example.voltrace2.Voltrace2" CACHE STRING "Desktop application id")
# The project's web site; the software centre's page links it and names the
# screenshots published there.
set(VT_HOMEPAGE "https://www.voltrace2.example" CACHE STRING "The game's web site")
set(VT_INSTALL_DATA_DIR "${CMAKE_INSTALL_DATADIR}/voltrace2" CACHE STRING
  "Where the game's Data folder goes, relative to the prefix")
set(VT_INSTALL_SYSTEMD_UNIT_DIR "lib/systemd/system" CACHE STRING
  "Where the score service's systemd unit goes, relative to the prefix")
set(VT_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc)

if(IS_ABSOLUTE "${VT_INSTALL_DATA_DIR}")
  set(vt_full_data_dir "${VT_INSTALL_DATA_DIR}")
else()
  set(vt_full_data_dir "${CMAKE_INSTALL_PREFIX}/${VT_INSTALL_DATA_DIR}")
endif()
file(RELATIVE_PATH vt_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${vt_full_data_dir})
target_compile_definitions(vt_platform_sdl PRIVATE VT_DATA_FROM_BIN="${vt_data_from_bin}")
message(STATUS "Data from the program's folder: ${vt_data_from_bin}")

set(VT_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/packaging/voltrace2.desktop.in ${VT_PACKAGING_DIR}/${VT_APP_ID}.desktop @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/voltrace2.metainfo.xml.in ${VT_PACKAGING_DIR}/${VT_APP_ID}.metainfo.xml @ONLY)

set(VT_ICON_DIR ${VT_PACKAGING_DIR}/icons)
# The window shows the same icon: a copy goes beside the archives.
add_custom_command(
  OUTPUT ${VT_ICON_DIR}/256x256/apps/${VT_APP_ID}.png ${VT_DATA_DIR}/Icon.png
  COMMAND voltrace2-assets --icons ${VT_ICON_DIR} ${VT_APP_ID}
  COMMAND ${CMAKE_COMMAND} -E copy ${VT_ICON_DIR}/64x64/apps/${VT_APP_ID}.png ${VT_DATA_DIR}/Icon.png
  DEPENDS voltrace2-assets
  COMMENT "Drawing the desktop icons"
  VERBATIM)
add_custom_target(vt_icons ALL DEPENDS ${VT_ICON_DIR}/256x256/apps/${VT_APP_ID}.png ${VT_DATA_DIR}/Icon.png)
add_dependencies(voltrace2 vt_icons)

# The software centre's pictures, taken by the script runner from the game
# itself: the main menu and a race under way.
set(VT_SCREENSHOT_DIR ${VT_PACKAGING_DIR}/screenshots)
set(VT_SCREENSHOTS ${VT_SCREENSHOT_DIR}/voltrace2-menu.png ${VT_SCREENSHOT_DIR}/voltrace2-race.png)
add_custom_command(
  OUTPUT ${VT_SCREENSHOTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VT_SCREENSHOT_DIR}
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
    XDG_DATA_HOME=${VT_PACKAGING_DIR}/screenshot-home
    $<TARGET_FILE:voltrace2-script> ${CMAKE_SOURCE_DIR}/packaging/screenshots.script
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VT_PACKAGING_DIR}/screenshot-home
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS voltrace2-script vt_data ${CMAKE_SOURCE_DIR}/packaging/screenshots.script
  COMMENT "Taking the software centre's screenshots"
  VERBATIM)
add_custom_target(vt_screenshots ALL DEPENDS ${VT_SCREENSHOTS})

# The manual pages, compressed as Debian ships them (no name or date in the
# gzip header, so that packages build the same twice).
set(VT_MAN_PAGES ${VT_PACKAGING_DIR}/voltrace2.6.gz ${VT_PACKAGING_DIR}/voltrace2-scores.8.gz)
set(VT_CHANGELOG ${VT_PACKAGING_DIR}/changelog.gz)
find_program(VT_GZIP gzip REQUIRED)
foreach(page voltrace2.6 voltrace2-scores.8 changelog)
  add_custom_command(
    OUTPUT ${VT_PACKAGING_DIR}/${page}.gz
    COMMAND sh -c "${VT_GZIP} -9nc \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/packaging/${page} ${VT_PACKAGING_DIR}/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${page}
    VERBATIM)
endforeach()
add_custom_target(vt_docs ALL DEPENDS ${VT_MAN_PAGES} ${VT_CHANGELOG})

# The game.
install(TARGETS voltrace2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
# Saves written while playing or testing in the build folder stay there, and
# so do the fonts: the installed game uses the system's.
install(DIRECTORY ${VT_DATA_DIR}/ DESTINATION ${VT_INSTALL_DATA_DIR}/Data COMPONENT game
  PATTERN Save EXCLUDE PATTERN Fonts EXCLUDE PATTERN "*.part" EXCLUDE)
install(FILES ${VT_SCREENSHOTS} DESTINATION ${VT_INSTALL_DATA_DIR}/screenshots COMPONENT game)
install(FILES ${VT_PACKAGING_DIR}/${VT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications
  COMPONENT game)
install(FILES ${VT_PACKAGING_DIR}/${VT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo
  COMPONENT game)
install(DIRECTORY ${VT_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor COMPONENT game)
install(FILES ${VT_PACKAGING_DIR}/voltrace2.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/voltrace2.copyright DESTINATION ${VT_INSTALL_DOC_DIR}/voltrace2
  RENAME copyright COMPONENT game)
install(FILES ${VT_CHANGELOG} DESTINATION ${VT_INSTALL_DOC_DIR}/voltrace2 COMPONENT game)

# The score service. Its unit names the program by its installed path, so it
# is written when installing, under the prefix the install is made for.
install(TARGETS voltrace2-scores RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT scores)
install(FILES ${VT_PACKAGING_DIR}/voltrace2-scores.8.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man8 COMPONENT scores)
install(CODE "
  if(IS_ABSOLUTE \"${CMAKE_INSTALL_SBINDIR}\")
    set(VT_SCORES_PROGRAM \"${CMAKE_INSTALL_SBINDIR}/voltrace2-scores\")
  else()
    set(VT_SCORES_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_SBINDIR}/voltrace2-scores\")
  endif()
  configure_file(\"${CMAKE_SOURCE_DIR}/packaging/voltrace2-scores.service.in\"
    \"${VT_PACKAGING_DIR}/voltrace2-scores.service\" @ONLY)" COMPONENT scores)
install(FILES ${VT_PACKAGING_DIR}/voltrace2-scores.service DESTINATION ${VT_INSTALL_SYSTEMD_UNIT_DIR}
  COMPONENT scores)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/voltrace2-scores.copyright
  DESTINATION ${VT_INSTALL_DOC_DIR}/voltrace2-scores RENAME copyright COMPONENT scores)
install(FILES ${VT_CHANGELOG} DESTINATION ${VT_INSTALL_DOC_DIR}/voltrace2-scores COMPONENT scores)

if(BUILD_TESTING)
  # The installed game: validated desktop files, and a start from elsewhere.
  find_program(VT_DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(VT_APPSTREAMCLI appstreamcli)
  if(VT_DESKTOP_FILE_VALIDATE AND VT_APPSTREAMCLI)
    add_test(NAME InstalledGame COMMAND sh ${CMAKE_SOURCE_DIR}/tests/packaging/install_test.sh ${CMAKE_BINARY_DIR} ${VT_APP_ID})
  endif()
  # A distribution's build: games layout, no tests, no test libraries.
  add_test(NAME GamesLayout COMMAND sh ${CMAKE_SOURCE_DIR}/tests/packaging/layout_test.sh ${CMAKE_SOURCE_DIR})
  # The Debian packages: made, checked, installed, run and purged (as root).
  add_test(NAME DebianPackages COMMAND bash ${CMAKE_SOURCE_DIR}/tests/packaging/deb_test.sh ${CMAKE_BINARY_DIR} ${VT_APP_ID})
  set_tests_properties(DebianPackages PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
