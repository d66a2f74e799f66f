// SPDX-License-Identifier: MIT
#pragma once

#include "LibraryCompiler.h"
#include "SlotTable.h"

#include <string>

namespace qurimo {

// The authoring text of a decoded table: for each filled slot in slot order, its English line
// and its Chinese line. Code page 936 lines end with CR LF, as authoring files on the desktop
// platform do; UTF-8 lines end with LF.
std::string DumpLibrary(const SlotTable& decoded, AuthoringEncoding encoding);

// Reads the library file at path (it must exist) and decodes every string.
SlotTable ReadDecodedLibrary(const std::string& path);

} // namespace qurimo
