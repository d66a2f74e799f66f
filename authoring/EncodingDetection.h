// SPDX-License-Identifier: MIT
#pragma once

#include "LibraryCompiler.h"

#include <string>
#include <string_view>
#include <vector>

namespace qurimo {

// The encoding the bytes of an authoring file are in, Codepage936 or Utf8, judged by what
// they read as. A UTF-8 byte-order mark followed by UTF-8 makes them UTF-8. Otherwise they are
// UTF-8 only when they are valid UTF-8 holding something besides ASCII, and either are no code
// page 936 text at all or read as UTF-8 as more typical Chinese text (common characters and
// punctuation weigh most) than they do as code page 936; a tie is code page 936. Chinese saved
// as code page 936 that is also valid UTF-8 (the bytes D0 A1 of "小" are U+0421, a Cyrillic
// letter) reads as code page 936 as wholly Chinese and as UTF-8 as letters of other scripts,
// so it stays code page 936. ASCII reads the same either way and is reported as UTF-8.
AuthoringEncoding detectEncoding(std::string_view bytes);

// The lines of an authoring file as Unicode text, with the encoding they were read in.
struct AuthoringText {
    std::vector<std::u16string> lines;
    AuthoringEncoding encoding; // Codepage936 or Utf8
};

// Decodes the bytes of an authoring file in encoding, or in the detected one for Detect. A
// byte-order mark counts only where what follows it is UTF-8, or when UTF-8 is asked for;
// it is not part of the first line.
AuthoringText decodeAuthoring(std::string_view bytes, AuthoringEncoding encoding);

// How the error messages name an encoding: "UTF-8" or "代码页 936 (GBK)".
std::string encodingName(AuthoringEncoding encoding);

} // namespace qurimo
