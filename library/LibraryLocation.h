// SPDX-License-Identifier: MIT
#pragma once

#include "LibraryFile.h"
#include "LibraryVerify.h"

#include <optional>
#include <string>
#include <string_view>

namespace qurimo {

// The name of the library the window finds by itself, beside the program or the user's own.
inline constexpr std::string_view LibraryFileName = "vorel.dat";

// Why the window reads the library it reads.
enum class LibrarySource {
    Argument,      // named on its command line
    PerUser,       // the user's own, set by `qurimo-lib use`
    BesideProgram, // LibraryFileName in the folder of the program's executable
};

struct LibraryLocation {
    std::string path;
    LibrarySource source;
};

// Only the library beside the program is created, empty, when missing; a missing file named on
// the command line, or a per-user library gone since it was looked for, is an error.
inline MissingFile whenMissing(LibrarySource source) {
    return source == LibrarySource::BesideProgram ? MissingFile::Create : MissingFile::Fail;
}

// The user's own library within the data home dataHomeShown: "$XDG_DATA_HOME" for a help text.
std::string perUserLibraryIn(std::string_view dataHomeShown);

// The user's own library: perUserLibraryIn(dataHome()). Only setOwnLibrary writes it.
std::string perUserLibraryPath();

// The library beside the program in programFolder, joined as it stands.
std::string libraryBeside(std::string_view programFolder);

// Refuses, with run-time error 75 saying which folder and why, the folder of the per-user
// library when another user could put another library in its place, as ssh refuses such a
// ~/.ssh: it and every folder above it must belong to the user or to root; it may be written
// by nobody else, and a folder above it by others only when it is sticky.
void requireOwnFolder(const std::string& folder);

// The library the window reads: the file named on its command line; else the per-user
// library when anything lies at its path (so that a broken one is reported rather than
// silently passed over); else libraryBeside(programFolder).
LibraryLocation locateLibrary(const std::optional<std::string>& argument,
                              const std::string& programFolder);

// Why the window reads the library it reads, in the program's language, for --help and
// `qurimo-lib use`.
std::string describeSource(LibrarySource source);

// The folder of the window's executable as qurimo-lib finds it: the real folder of the
// program `qurimo` beside qurimo-lib's own executable (installed, bin/qurimo links into
// lib/qurimo), or qurimo-lib's own folder when there is none.
std::string windowFolder();

// The library the window reads when given none, as qurimo-lib finds it, its folder refused
// (requireOwnFolder) when it is the user's own: what the window would read.
std::string windowLibrary();

// Makes the library file at source, when verifyLibrary finds it whole, the user's own: a
// byte-for-byte copy at perUserLibraryPath(), its missing folders made private to the user.
// Returns the report of source; when it names problems, nothing was written.
LibraryReport setOwnLibrary(const std::string& source);

// Removes the user's own library, so that the window reads the one beside it again; false
// when there was none.
bool removeOwnLibrary();

} // namespace qurimo
