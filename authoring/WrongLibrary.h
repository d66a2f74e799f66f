// SPDX-License-Identifier: MIT
#pragma once

#include "LibraryVerify.h"

#include <string>
#include <vector>

namespace qurimo {

// What both programs tell a user who gave path as a library that report does not find whole:
// the first problem, and where the file reads as an authoring file (alternating lines or
// tab-separated pairs, simplified or not), the commands that compile it and make it the
// user's library. A line each; none for a whole library.
std::vector<std::string> wrongLibraryReport(const std::string& path, const LibraryReport& report);

} // namespace qurimo
