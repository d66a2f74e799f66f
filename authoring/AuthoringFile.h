// SPDX-License-Identifier: MIT
#pragma once

#include "EncodingDetection.h"
#include "LibraryCompiler.h"

#include <string>
#include <string_view>
#include <vector>

namespace qurimo {

// Splits an authoring file into its lines. A line ends at CR, CR LF or a lone LF; the
// terminator is not part of the line; a last line without one is a line, and no empty line
// follows a final terminator.
std::vector<std::string_view> splitLines(std::string_view bytes);

// Reads the authoring file at path and returns its lines as Unicode text, decoded as
// decodeAuthoring does. A missing file is run-time error 53 (76 when its folder is missing);
// anything but a regular file, and a file longer than any authoring file can be, is 75,
// raised before reading.
AuthoringText readAuthoringLines(const std::string& path, AuthoringEncoding encoding);

} // namespace qurimo
