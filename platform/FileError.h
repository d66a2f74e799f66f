// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <sys/types.h>

namespace qurimo {

// Turns an errno from opening, reading or writing path into the matching run-time error:
// a missing folder is 76, a missing file 53, anything else 75.
// Why a file of the given mode, a folder say, is refused where a regular file is wanted.
std::string notRegularFileReason(mode_t mode);

[[noreturn]] void throwFileError(int errorNumber, const std::string& path);

} // namespace qurimo
