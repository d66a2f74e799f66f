// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"
#include "SlotTable.h"

#include <string>

namespace qurimo {

// The authoring text of a decoded table: for every slot from 0 up to the last one that holds
// any text, blank or not, its English line and its Chinese line, so that compiling the text
// gives back the same slots. Code page 936 lines end with CR LF, as authoring files on the desktop
// platform do; UTF-8 lines end with LF.
// The number of slots a dump writes: 0 up to the last slot that holds any text.
int DumpedSlots(const SlotTable& decoded);

std::string DumpLibrary(const SlotTable& decoded, AuthoringEncoding encoding);

// Reads the library file at path (it must exist and be a regular file) and decodes every
// string.
SlotTable ReadDecodedLibrary(const std::string& path);

} // namespace qurimo
