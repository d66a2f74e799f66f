// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>

namespace qurimo {

enum class AuthoringEncoding {
    Codepage936, // the authoring file of the desktop platform; a UTF-8 byte-order mark still wins
    Utf8,
};

// Compiles the authoring file at inputPath, lines alternating English and Chinese, into the
// library file at outputPath. The whole input is read and checked before the output is
// opened, so an error (53, 62, 9, 5 for a character the scramble cannot carry, 75 or 76 for
// the output, 75 for an output that is the input itself) writes nothing, and a write that
// fails midway leaves the output as it was. The result starts as a copy of given with every string
// cleared, keeping its Reserved values; pair k goes to slot k, encoded. given itself is not
// changed. Returns the table that was written.
SlotTable CompileLibrary(const std::string& inputPath, const std::string& outputPath,
                         const SlotTable& given,
                         AuthoringEncoding encoding = AuthoringEncoding::Codepage936);

} // namespace qurimo
