// SPDX-License-Identifier: MIT
// What compile and check share: how they read an authoring file, and what they note on it.
#pragma once

#include "LibraryCompiler.h"
#include "ToolCommand.h"

namespace qurimo::tool {

AuthoringOptions authoringOptions(const Arguments& args);

// The notes on what was read of input: a close call between two encodings, pairs swapped.
void noteReading(const Console& console, const std::string& input, const AuthoringCheck& check);

} // namespace qurimo::tool
