// SPDX-License-Identifier: MIT
#pragma once

#include "AuthoringTypes.h"

#include <string_view>

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

} // namespace qurimo
