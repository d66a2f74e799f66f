// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace qurimo {

enum class MissingFile {
    Create, // the window's way: a missing library file is created empty and read as empty
    Fail,   // run-time error 53, nothing created
};

// Resets every slot of table, then reads the 301 records of the library file at path into
// slots 0 to 300; a missing file is created empty first (MissingFile::Create). Links are
// followed; anything but a regular file (a pipe, a device, a folder) is run-time error 75
// without waiting on it. A file that may only be read is read all the same. The end of the
// file is no error: a member it cuts stays empty and every member after it stays blank.
// Texts stay encoded.
void ReadLibraryFile(const std::string& path, SlotTable& table,
                     MissingFile missing = MissingFile::Create);

// Writes the 301 slots of table as 301 records from the first byte of the file at path through
// replaceFile with OldTail::Keep: an existing longer file keeps its bytes beyond the new end.
// A text whose code page 936 form exceeds 65,535 bytes is run-time error 6, raised before any
// file is touched. sharedAtMost limits the file's group and other permissions (replaceFile).
void WriteLibraryFile(const std::string& path, const SlotTable& table, mode_t sharedAtMost = 077);

// Reads the library file at path as ReadLibraryFile does (it must exist: run-time error 53
// otherwise) and decodes every text, for those that show or check what a library holds.
SlotTable readDecodedLibrary(const std::string& path);

// Fills table from the bytes of a library file, as ReadLibraryFile does after opening it.
void parseLibrary(std::string_view bytes, SlotTable& table);

// Reads the whole of the library file at path, which must exist: anything but a regular file,
// and a file longer than any library file can be, is run-time error 75.
std::string readLibraryBytes(const std::string& path);

// The bytes WriteLibraryFile puts into a file for table.
std::string serializeLibrary(const SlotTable& table, const std::string& path = {});

} // namespace qurimo
