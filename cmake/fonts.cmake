# Ships the game's three faces in ${VT_DATA_DIR}/Fonts so that the built game
# finds them beside itself, whatever the player's machine has installed.
# Each face's licence goes with it: the copyright file of the Debian package
# that holds it, as <package>.copyright. This is the portable tree only; the
# installed game takes its fonts from the system (see install.cmake).
#
# For each face the game names, the face itself is taken if it is installed;
# otherwise a face of the same role (the font layer keeps the same order at
# run time). The files keep their own names, and Fonts/fonts.txt maps each
# face name to its file, one "Face name=file name" per line.

find_program(VT_FC_MATCH fc-match)
find_program(VT_DPKG_QUERY dpkg-query)

# Copies the licence of the package holding FILE beside the copied face.
function(vt_copy_font_licence file)
  if(NOT VT_DPKG_QUERY)
    message(WARNING "No licence copied for ${file}: dpkg-query not found")
    return()
  endif()
  execute_process(COMMAND ${VT_DPKG_QUERY} -S "${file}" OUTPUT_VARIABLE owner RESULT_VARIABLE failed ERROR_QUIET)
  string(REGEX MATCH "^[^:,]+" package "${owner}")
  if(failed OR NOT EXISTS "/usr/share/doc/${package}/copyright")
    message(WARNING "No licence found for ${file}: it belongs to no installed package")
    return()
  endif()
  configure_file("/usr/share/doc/${package}/copyright" "${VT_FONT_DIR}/${package}.copyright" COPYONLY)
endfunction()

# Sets OUT to the file of the first installed family among the candidates,
# each "fontconfig pattern|family the match must have".
function(vt_find_font out)
  set(${out} "" PARENT_SCOPE)
  foreach(candidate IN LISTS ARGN)
    string(REPLACE "|" ";" parts "${candidate}")
    list(GET parts 0 pattern)
    list(GET parts 1 family)
    execute_process(
      COMMAND ${VT_FC_MATCH} -f "%{family}\n%{file}" "${pattern}"
      OUTPUT_VARIABLE answer
      RESULT_VARIABLE failed
      ERROR_QUIET)
    if(failed)
      continue()
    endif()
    string(REPLACE "\n" ";" answer "${answer}")
    list(LENGTH answer n)
    if(n LESS 2)
      continue()
    endif()
    list(GET answer 0 families)
    list(GET answer 1 file)
    string(REPLACE "," ";" families "${families}")
    string(TOLOWER "${family}" wanted)
    foreach(f IN LISTS families)
      string(TOLOWER "${f}" f)
      if(f STREQUAL wanted AND EXISTS "${file}")
        set(${out} "${file}" PARENT_SCOPE)
        return()
      endif()
    endforeach()
  endforeach()
endfunction()

set(VT_FONT_DIR ${VT_DATA_DIR}/Fonts)
file(MAKE_DIRECTORY ${VT_FONT_DIR})
set(vt_font_map "")
if(VT_FC_MATCH)
  foreach(role
      "DS Crystal@DS Crystal|DS Crystal@Jura:medium|Jura@Play|Play"
      "Beast Impacted@Beast Impacted|Beast Impacted@PT Sans Narrow:bold|PT Sans Narrow"
      "Courier@Courier|Courier@Liberation Mono|Liberation Mono@DejaVu Sans Mono|DejaVu Sans Mono")
    string(REPLACE "@" ";" candidates "${role}")
    list(POP_FRONT candidates face)
    vt_find_font(file ${candidates} "DejaVu Sans|DejaVu Sans")
    if(file)
      get_filename_component(name "${file}" NAME)
      configure_file("${file}" "${VT_FONT_DIR}/${name}" COPYONLY)
      vt_copy_font_licence("${file}")
      string(APPEND vt_font_map "${face}=${name}\n")
      message(STATUS "Font \"${face}\": ${file}")
    else()
      message(WARNING "No font found for \"${face}\"; the game will look for one when it starts")
    endif()
  endforeach()
else()
  message(WARNING "fc-match not found; the game will look for its fonts when it starts")
endif()
file(CONFIGURE OUTPUT ${VT_FONT_DIR}/fonts.txt CONTENT "${vt_font_map}")
