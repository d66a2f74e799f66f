// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"
#include "SlotTable.h"

#include <string>

namespace qurimo {

struct AuthoringCheck {
    int pairs = 0;
    AuthoringEncoding encoding = AuthoringEncoding::Utf8; // what the file was read as
    // A file with the Chinese first in every pair, stored English first.
    bool swappedPairs = false;
    // The encoding was detected in a close call (see AuthoringText::closeCall).
    bool closeCall = false;
};

// The note on such a file, for both programs: one line naming it as inputName does.
std::string swappedPairsNote(const std::string& inputPath);

struct CompiledLibrary {
    SlotTable table; // what was written
    AuthoringCheck check;
};

// Compiles the authoring file at inputPath (standard input for "-") into the library file at
// outputPath. The whole input is read and checked before the output is opened, so an error
// (53, 62, 9, 5 for a character the scramble cannot carry, bytes that do not decode or a
// malformed tab-separated line, 75 or 76 for the output, 75 for an output that is the input
// itself) writes nothing, and a write that fails midway leaves the output as it was. The
// result starts as a copy of given with every string cleared, keeping its Reserved values;
// pair k goes to slot k, encoded. given itself is not changed. The output lets its group and
// others do no more than the input does (a 0600 input makes a 0600 output).
CompiledLibrary CompileLibrary(const std::string& inputPath, const std::string& outputPath,
                               const SlotTable& given, const AuthoringOptions& options = {});

// Reads and checks the authoring file at inputPath exactly as CompileLibrary does, with the
// same errors, and writes nothing.
AuthoringCheck checkAuthoringFile(const std::string& inputPath,
                                  const AuthoringOptions& options = {});

} // namespace qurimo
