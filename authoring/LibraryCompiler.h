// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>

namespace qurimo {

enum class AuthoringEncoding {
    Detect,      // by what the bytes read as: UTF-8 or code page 936, see detectEncoding
    Codepage936, // the authoring file of the desktop platform; a UTF-8 byte-order mark still wins
    Utf8,
};

enum class AuthoringFormat {
    Lines, // lines alternating English and Chinese
    Tsv,   // one pair a line, English TAB Chinese, or an Anki or Tatoeba export (see parseTsv)
};

// Compiles the authoring file at inputPath into the library file at outputPath. The whole
// input is read and checked before the output is opened, so an error (53, 62, 9, 5 for a
// character the scramble cannot carry or a malformed tab-separated line, 75 or 76 for the
// output, 75 for an output that is the input itself) writes nothing, and a write that fails
// midway leaves the output as it was. The result starts as a copy of given with every string
// cleared, keeping its Reserved values; pair k goes to slot k, encoded. given itself is not
// changed. Returns the table that was written.
SlotTable CompileLibrary(const std::string& inputPath, const std::string& outputPath,
                         const SlotTable& given,
                         AuthoringEncoding encoding = AuthoringEncoding::Detect,
                         AuthoringFormat format = AuthoringFormat::Lines);

struct AuthoringCheck {
    int pairs = 0;
    AuthoringEncoding encoding = AuthoringEncoding::Utf8; // what the file was read as
};

// Reads and checks the authoring file at inputPath exactly as CompileLibrary does, with the
// same errors, and writes nothing.
AuthoringCheck CheckAuthoringFile(const std::string& inputPath,
                                  AuthoringEncoding encoding = AuthoringEncoding::Detect,
                                  AuthoringFormat format = AuthoringFormat::Lines);

} // namespace qurimo
