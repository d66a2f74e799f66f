# SPDX-License-Identifier: MIT
# The window's caption, from the project's version, stated once for the window and the manual
# pages. Its geometry is the layout table's alone: ui/WindowFacts.cpp writes both into
# ${CMAKE_BINARY_DIR}/window.sh for the scripts that drive the real window.
set(QURIMO_CAPTION "Qurimo V${PROJECT_VERSION}")
