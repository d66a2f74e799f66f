// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qurimo {

// Turns an errno from opening, reading or writing path into the matching run-time error:
// a missing folder is 76, a missing file 53, anything else 75.
[[noreturn]] void throwFileError(int errorNumber, const std::string& path);

} // namespace qurimo
