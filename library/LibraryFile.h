// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>
#include <string_view>

namespace qurimo {

enum class MissingFile {
    Create, // the window's way: a missing library file is created empty and read as empty
    Fail,   // run-time error 53, nothing created
};

// Resets every slot of table, then reads the 301 records of the library file at path into
// slots 0 to 300. The file is asked for reading and writing, as the window expects to own it;
// one that may only be read is read all the same. The end of the file is no error: a member
// it cuts stays empty and every member after it stays blank. Texts stay encoded.
void ReadLibraryFile(const std::string& path, SlotTable& table,
                     MissingFile missing = MissingFile::Create);

// Writes the 301 slots of table as 301 records from the first byte of the file at path,
// creating it if missing and never shortening it. A text whose code page 936 form exceeds
// 65,535 bytes is run-time error 6, raised before the file is touched.
void WriteLibraryFile(const std::string& path, const SlotTable& table);

// Fills table from the bytes of a library file, as ReadLibraryFile does after opening it.
void parseLibrary(std::string_view bytes, SlotTable& table);

// The bytes WriteLibraryFile puts into a file for table.
std::string serializeLibrary(const SlotTable& table, const std::string& path = {});

} // namespace qurimo
