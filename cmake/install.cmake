# `cmake --install` lays the game out as a desktop expects it:
#   bin/voltrace2                        the program
#   share/voltrace2/Data/                its archives, music and fonts
#   share/applications/<id>.desktop      the menu entry
#   share/metainfo/<id>.metainfo.xml     the software centre's page
#   share/icons/hicolor/NxN/apps/<id>.png
# The program finds share/voltrace2 from its own folder, so the whole tree
# may be moved to another prefix. Saves go to the player's data folder when
# share/voltrace2/Data/Save cannot be written.
include(GNUInstallDirs)

# Reverse domain name of the score service's host, as desktop ids are.
set(VT_APP_ID "example.voltrace2.Voltrace2" CACHE STRING "Desktop application id")
set(VT_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/voltrace2)

file(RELATIVE_PATH vt_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/voltrace2)
target_compile_definitions(vt_platform_sdl PRIVATE VT_DATA_FROM_BIN="${vt_data_from_bin}")

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

install(TARGETS voltrace2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Saves written while playing or testing in the build folder stay there.
install(DIRECTORY ${VT_DATA_DIR}/ DESTINATION ${VT_INSTALL_DATA_DIR}/Data PATTERN Save EXCLUDE PATTERN "*.part" EXCLUDE)
install(FILES ${VT_PACKAGING_DIR}/${VT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VT_PACKAGING_DIR}/${VT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${VT_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The installed game: validated desktop files, and a start from elsewhere.
find_program(VT_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(VT_APPSTREAMCLI appstreamcli)
if(VT_DESKTOP_FILE_VALIDATE AND VT_APPSTREAMCLI)
  add_test(NAME InstalledGame COMMAND sh ${CMAKE_SOURCE_DIR}/tests/packaging/install_test.sh ${CMAKE_BINARY_DIR} ${VT_APP_ID})
endif()
