// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace qurimo {

// What is wrong with a library file. The window reads any bytes as a library; this says
// whether they are one: 301 whole records whose texts decode to characters of code page 936
// that no control character is among.
struct LibraryReport {
    std::vector<std::string> problems; // in file order; empty for a whole library
    std::vector<std::string> notes;    // no faults: bytes after the 301st record
    int records = 0;                   // whole records read, up to 301
    int filledSlots = 0;
    SlotTable decoded; // what the window reads from the same bytes, decoded
};

// Reads the library file at path (it must exist) once and verifies it; a file that cannot be
// read or looked at is a run-time file error.
LibraryReport verifyLibraryFile(const std::string& path);

// Verifies the whole contents of a library file, already read.
LibraryReport verifyLibrary(std::string_view bytes);

} // namespace qurimo
