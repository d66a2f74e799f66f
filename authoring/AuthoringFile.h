// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"
#include "RuntimeError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace qurimo {

// The input path that stands for standard input, as for other command-line tools.
inline constexpr std::string_view StandardInput = "-";

// How messages name the authoring file at path: the path itself, or "标准输入".
std::string inputName(const std::string& path);

// Run-time error 9 for the line of name past the last pair a library holds, with what to do.
RuntimeError tooManyPairs(const std::string& name, long line, AuthoringFormat format,
                          Audience audience);

// Splits an authoring file into its lines, at most maxLines of them. A line ends at CR, CR LF
// or a lone LF; the terminator is not part of the line; a last line without one is a line,
// and no empty line follows a final terminator.
std::vector<std::string_view> splitLines(std::string_view bytes, std::size_t maxLines = SIZE_MAX);

// The lines of an authoring file as Unicode text, with the encoding they were read in.
struct AuthoringText {
    std::vector<std::u16string> lines;
    AuthoringEncoding encoding; // Codepage936, Utf8, Utf16Le or Utf16Be
    AuthoringFormat format;     // Lines or Tsv
    // Why reading stopped before the end of the file: bytes that do not decode, or a 603rd
    // line, which no authoring file that compiles has (nothing after it is looked at). The
    // lines before it are checked first, so that errors come in the order of the file.
    std::optional<RuntimeError> stop;
    // What the file lets its group and others do (077 for a pipe): a compile never makes its
    // output more readable than its input.
    mode_t sharedAtMost = 077;
    // Detected, with the other encoding decoding the file too and weighing nearly as well (see
    // DetectedEncoding::close): the reader is told which was taken and how to force the other.
    bool closeCall = false;
};

// Decodes the bytes of an authoring file. A UTF-16 byte-order mark makes them UTF-16
// whatever encoding is asked for; without a mark, bytes that look like UTF-16 (many NULs on
// one side of each pair) are run-time error 5 saying so. Otherwise they are read in encoding,
// or for Detect in the one detected in the light of format, where UTF-8 that spells out
// surrogates (CESU-8) is taken for the broken UTF-8 it is. A UTF-8 byte-order mark counts
// only where what follows it is UTF-8, or when UTF-8 is asked for. No mark is part of the
// first line. Format Detect decodes as Tsv where the lines so read hold tab-separated pairs,
// otherwise as Lines. A line of alternating lines longer than any that could be stored is error 6
// before it is decoded. Errors name the file as name and word their remedies for audience.
AuthoringText decodeAuthoring(std::string_view bytes, AuthoringEncoding encoding,
                              AuthoringFormat format, const std::string& name, Audience audience);

// Reads the authoring file at path (standard input for "-") and decodes it as decodeAuthoring
// does. A missing file is run-time error 53 (76 when its folder is missing); anything but a
// regular file, given by name, and a file longer than any authoring file can be, is 75, raised
// before reading. Standard input may be a pipe, and is read up to that length.
AuthoringText readAuthoringLines(const std::string& path, AuthoringEncoding encoding,
                                 AuthoringFormat format, Audience audience);

// How the error messages name an encoding: "UTF-8", "代码页 936 (GBK)", "UTF-16 LE"...
std::string encodingName(AuthoringEncoding encoding);

} // namespace qurimo
