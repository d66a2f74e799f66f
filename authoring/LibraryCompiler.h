// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>

namespace qurimo {

enum class AuthoringEncoding {
    Detect,      // by what the bytes read as: UTF-8 or code page 936, see detectEncoding
    Codepage936, // the authoring file of the desktop platform; a UTF-8 byte-order mark still wins
    Utf8,
    Utf16Le, // only ever found by its byte-order mark, which wins over any encoding asked for
    Utf16Be,
};

enum class AuthoringFormat {
    Lines, // lines alternating English and Chinese
    Tsv,   // one pair a line, English TAB Chinese, or an Anki or Tatoeba export (see parseTsv)
};

// Whom an error tells what to do about the file: the window's user, in the editor the file
// was written with, or qurimo-lib's user, with its options and other tools.
enum class Advice {
    Editor,
    CommandLine,
};

struct AuthoringOptions {
    AuthoringEncoding encoding = AuthoringEncoding::Detect;
    AuthoringFormat format = AuthoringFormat::Lines;
    // Traditional Chinese characters become simplified ones (ICU's Traditional-Simplified
    // transliterator) before the texts are checked and stored.
    bool simplified = false;
    Advice advice = Advice::Editor;
};

struct AuthoringCheck {
    int pairs = 0;
    AuthoringEncoding encoding = AuthoringEncoding::Utf8; // what the file was read as
    // A tab-separated file with the Chinese first on every line, stored English first.
    bool swappedColumns = false;
};

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
// pair k goes to slot k, encoded. given itself is not changed.
CompiledLibrary CompileLibrary(const std::string& inputPath, const std::string& outputPath,
                               const SlotTable& given, const AuthoringOptions& options = {});

// Reads and checks the authoring file at inputPath exactly as CompileLibrary does, with the
// same errors, and writes nothing.
AuthoringCheck CheckAuthoringFile(const std::string& inputPath,
                                  const AuthoringOptions& options = {});

} // namespace qurimo
