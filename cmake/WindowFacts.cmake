# SPDX-License-Identifier: MIT
# The window's caption and geometry for the scripts and tests that drive the real window, so
# that they are stated once: the caption here, from the project's version; the geometry in
# ui/Form1Layout.h, read from there. Writes ${CMAKE_BINARY_DIR}/window.sh, which the scripts
# source: QURIMO_CAPTION, QURIMO_CAPTION_PATTERN (a regular expression matching exactly the
# caption), QURIMO_WIDTH and QURIMO_HEIGHT, and per control QURIMO_<name> as
# "left top width height" in pixels of the client area.
set(QURIMO_CAPTION "Qurimo V${PROJECT_VERSION}")

set(_layout_header ${PROJECT_SOURCE_DIR}/ui/Form1Layout.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_layout_header})
file(READ ${_layout_header} _layout)

function(_qurimo_layout_constant name out)
    if(NOT _layout MATCHES "constexpr int ${name} = ([0-9]+);")
        message(FATAL_ERROR "ui/Form1Layout.h defines no ${name}")
    endif()
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()
_qurimo_layout_constant(TwipsPerPixel _twips)
_qurimo_layout_constant(ClientWidth _width)
_qurimo_layout_constant(ClientHeight _height)
math(EXPR _width "${_width} / ${_twips}")
math(EXPR _height "${_height} / ${_twips}")

set(_facts "# Written by CMake from the project version and ui/Form1Layout.h.\n")
string(REGEX REPLACE "([][.*^$\\])" "\\\\\\1" _pattern "${QURIMO_CAPTION}")
string(APPEND _facts "QURIMO_CAPTION='${QURIMO_CAPTION}'\n")
string(APPEND _facts "QURIMO_CAPTION_PATTERN='^${_pattern}$'\n")
string(APPEND _facts "QURIMO_WIDTH=${_width}\nQURIMO_HEIGHT=${_height}\n")
string(REGEX MATCHALL "\\{\"[A-Za-z0-9]+\", [0-9]+, [0-9]+, [0-9]+, [0-9]+," _rows "${_layout}")
if(NOT _rows)
    message(FATAL_ERROR "ui/Form1Layout.h holds no control rows")
endif()
foreach(_row IN LISTS _rows)
    string(REGEX MATCH "\"([A-Za-z0-9]+)\", ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)," _ "${_row}")
    set(_name ${CMAKE_MATCH_1})
    set(_pixels)
    foreach(_twip ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} ${CMAKE_MATCH_5})
        math(EXPR _pixel "${_twip} / ${_twips}")
        list(APPEND _pixels ${_pixel})
    endforeach()
    list(JOIN _pixels " " _pixels)
    string(APPEND _facts "QURIMO_${_name}='${_pixels}'\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/window.sh CONTENT "${_facts}" @ONLY)
